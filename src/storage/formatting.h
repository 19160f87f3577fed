#pragma once

#include "storage/track_config.h"

#include <string>
#include <string_view>

namespace cronovolta {

// The number in a text typed by the organiser or stored in a grid or file: the first ","
// counts as the decimal point, blanks and tabs are skipped wherever they are, reading
// stops at the first character that does not fit; no number gives 0.
double numericValue(std::string_view text);

// A lap total's value in the lap-total format, with a point ("25.00").
std::string lapTotalText(std::string_view text, const TrackConfig& config);
// Whether a lap total has no fraction of a lap; always true when comes are not used.
bool lapsAreWhole(std::string_view text, const TrackConfig& config);

// A lap total: whole laps without decimals, laps with comes in the lap-total format; a
// zero gives "" unless keepZero.
std::string formatLaps(std::string_view text, bool keepZero, const TrackConfig& config);
std::string formatLaps(double laps, bool keepZero, const TrackConfig& config);

// The letters of gap texts, from the active language's message table.
struct GapLetters {
    std::string_view lap = "v";
    std::string_view seconds = "s";
};

// The gap of a row to a reference row: "-2v" when the lap totals differ, "+1.3s" when they
// are equal, capped at "+99.9s".
std::string lapGap(std::string_view referenceLaps, std::string_view ownLaps,
                   std::string_view referenceTime, std::string_view ownTime,
                   const TrackConfig& config, const GapLetters& letters = {});

// The path with "\" appended unless it already ends in "\" or "/".
std::string withTrailingBackslash(std::string_view path);

// Window scaling from the 800 x 600 design (`scaleWindow`). Sizes are in twips.
inline constexpr double kScrollBarTwips = 285.0;

struct ScaleFactors {
    double sx = 1.0;
    double sy = 1.0;
    // Windows are scaled only on a screen other than 800 x 600.
    bool needsScaling() const { return sx != 1.0 || sy != 1.0; }
};

ScaleFactors screenScaleFactors(int widthPixels, int heightPixels);

struct ControlGeometry {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    double fontSize = 0; // 0: the control has no font
};

struct LineGeometry {
    double x1 = 0;
    double y1 = 0;
    double x2 = 0;
    double y2 = 0;
};

ControlGeometry scaleControl(const ControlGeometry& control, ScaleFactors scale);
LineGeometry scaleLine(const LineGeometry& line, ScaleFactors scale);

// A grid's scroll bars keep their thickness, so its columns and rows take up the
// difference: columns grow by sx + ex, rows by sy + ey.
struct GridFactors {
    double column = 1.0;
    double row = 1.0;
};

// width and height are the grid's size before scaling.
GridFactors gridScaleFactors(ScaleFactors scale, double width, double height,
                             bool horizontalScrollBar, bool verticalScrollBar);

} // namespace cronovolta

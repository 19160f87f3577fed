#include "storage/formatting.h"

#include "storage/number_format.h"

#include <charconv>

namespace cronovolta {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The extra factor a scaled grid gives its cells for one fixed-thickness scroll bar.
double scrollBarExtra(double factor, double size) {
    // A grid no larger than its scroll bar has no cells to grow.
    if (size <= kScrollBarTwips) {
        return 0.0;
    }
    return (factor - 1.0) * kScrollBarTwips / (size - kScrollBarTwips);
}

} // namespace

double numericValue(std::string_view text) {
    std::string number;
    bool comma = false;
    bool point = false;
    bool digits = false;
    for (char c : text) {
        if (isBlank(c)) {
            continue;
        }
        if (c == ',' && !comma) {
            comma = true;
            c = '.';
        }
        if (isDigit(c)) {
            digits = true;
        } else if (c == '.' && !point) {
            point = true;
        } else if ((c == '-' || c == '+') && number.empty()) {
            // a sign only at the start
        } else {
            break;
        }
        number.push_back(c);
    }
    if (!digits) {
        return 0.0;
    }
    std::size_t start = (number[0] == '-' || number[0] == '+') ? 1 : 0;
    double value = 0.0;
    auto [end, ec] = std::from_chars(number.data() + start, number.data() + number.size(), value,
                                     std::chars_format::fixed);
    (void)end;
    if (ec != std::errc()) {
        return 0.0;
    }
    return number[0] == '-' ? -value : value;
}

std::string lapTotalText(std::string_view text, const TrackConfig& config) {
    std::string total = formatNumber(numericValue(text), config.lapTotalFormat);
    if (auto comma = total.find(','); comma != std::string::npos) {
        total[comma] = '.';
    }
    return total;
}

bool lapsAreWhole(std::string_view text, const TrackConfig& config) {
    if (config.largestPartial == 0) {
        return true;
    }
    return lapTotalText(text, config).ends_with(config.decimalsText);
}

std::string formatLaps(double laps, bool keepZero, const TrackConfig& config) {
    if (laps == 0.0 && !keepZero) {
        return {};
    }
    const std::string text = formatNumber(laps, config.lapTotalFormat);
    return formatNumber(laps, lapsAreWhole(text, config) ? "0" : config.lapTotalFormat);
}

std::string formatLaps(std::string_view text, bool keepZero, const TrackConfig& config) {
    return formatLaps(numericValue(text), keepZero, config);
}

std::string lapGap(std::string_view referenceLaps, std::string_view ownLaps,
                   std::string_view referenceTime, std::string_view ownTime,
                   const TrackConfig& config, const GapLetters& letters) {
    if (referenceLaps != ownLaps) {
        double laps = numericValue(referenceLaps) - numericValue(ownLaps);
        return "-" + formatLaps(laps, true, config) + std::string(letters.lap);
    }
    double d = numericValue(referenceTime) - numericValue(ownTime);
    if (d > 99.9) {
        return "+99.9" + std::string(letters.seconds);
    }
    return formatNumber(d, "+0.0") + std::string(letters.seconds);
}

std::string withTrailingBackslash(std::string_view path) {
    std::string out(path);
    if (!out.ends_with('\\') && !out.ends_with('/')) {
        out.push_back('\\');
    }
    return out;
}

ScaleFactors screenScaleFactors(int widthPixels, int heightPixels) {
    return {widthPixels / 800.0, heightPixels / 600.0};
}

ControlGeometry scaleControl(const ControlGeometry& control, ScaleFactors scale) {
    return {control.left * scale.sx, control.top * scale.sy, control.width * scale.sx,
            control.height * scale.sy, control.fontSize * scale.sy};
}

LineGeometry scaleLine(const LineGeometry& line, ScaleFactors scale) {
    return {line.x1 * scale.sx, line.y1 * scale.sy, line.x2 * scale.sx, line.y2 * scale.sy};
}

GridFactors gridScaleFactors(ScaleFactors scale, double width, double height,
                             bool horizontalScrollBar, bool verticalScrollBar) {
    double ex = verticalScrollBar ? scrollBarExtra(scale.sx, width) : 0.0;
    double ey = horizontalScrollBar ? scrollBarExtra(scale.sy, height) : 0.0;
    return {scale.sx + ex, scale.sy + ey};
}

} // namespace cronovolta

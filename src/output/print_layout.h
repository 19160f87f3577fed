#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace cronovolta {

// Printed reports are placed on a grid of character columns and text lines of a 10-point
// monospaced font, so that the same pages can go to any printer or PDF writer.
inline constexpr double kBaseFontSize = 10.0;

enum class Orientation { Portrait, Landscape };

struct PrintItem {
    double column = 0.0; // left edge, in columns of the 10-point font
    int line = 0;        // from 0 at the top of its page
    double fontSize = kBaseFontSize;
    std::string text; // UTF-8, without surrounding blanks

    // Width in columns: a character of font size s is s / 10 columns wide.
    double width() const;
    double end() const { return column + width(); }
};

struct PrintPage {
    std::vector<PrintItem> items;
};

// Characters of a UTF-8 text (what one printed character column counts).
int characterCount(std::string_view text);
// The text without the blanks around it.
std::string_view trimBlanks(std::string_view text);

// Pages of text items placed at character columns, written top to bottom. A line that
// would fall below the last line of the page starts a new page, on which the page-start
// writer (the report's header) runs first.
class PrintLayout {
public:
    explicit PrintLayout(Orientation orientation = Orientation::Portrait, int linesPerPage = 68);

    Orientation orientation() const { return m_orientation; }
    int linesPerPage() const { return m_linesPerPage; }

    // Runs on every page after the first, at line 0 of the new page.
    void setPageStart(std::function<void(PrintLayout&)> writer) { m_pageStart = std::move(writer); }

    void setFontSize(double size) { m_fontSize = size; }
    double fontSize() const { return m_fontSize; }

    // The text starts at column x.
    void writeLeft(double x, std::string_view text);
    // The text ends at column x.
    void writeRight(double x, std::string_view text);
    // The text is centred on column x.
    void writeCentred(double x, std::string_view text);
    // The first "." (else the first ",") ends at column x; a text without either ends one
    // column before x, where its separator would stand.
    void writeDecimal(double x, std::string_view text);

    int line() const { return m_line; }
    void newLine(int count = 1);
    // Starts a new page unless `lines` more lines fit on this one.
    void ensureRoom(int lines);
    void newPage();

    const std::vector<PrintPage>& pages() const { return m_pages; }
    // The rightmost column any item reaches.
    double rightEdge() const;

private:
    void place(double x, std::string_view text);

    Orientation m_orientation;
    int m_linesPerPage;
    std::function<void(PrintLayout&)> m_pageStart;
    double m_fontSize = kBaseFontSize;
    int m_line = 0;
    std::vector<PrintPage> m_pages;
};

// Where the grid lands on a sheet, in points: one column is 6 points and one line 12
// points at full size; a sheet too small for the layout shrinks everything alike rather
// than cut what stands at its edge.
struct PageGeometry {
    double scale = 1.0;
    double left = 0.0; // origin of column 0 and line 0
    double top = 0.0;

    double x(double column) const { return left + column * kColumnPoints * scale; }
    // Baseline of a text line.
    double baseline(int line) const { return top + (line + kBaselineRatio) * kLinePoints * scale; }
    double fontPoints(double size) const { return size * scale; }

    static constexpr double kColumnPoints = 6.0;
    static constexpr double kLinePoints = 12.0;
    static constexpr double kBaselineRatio = 0.8;
};

// `width` and `height`: the printable area in points; `left` and `top`: its corner.
PageGeometry pageGeometry(const PrintLayout& layout, double width, double height, double left = 0.0,
                          double top = 0.0);

// A4 in points.
inline constexpr double kA4ShortPoints = 595.0;
inline constexpr double kA4LongPoints = 842.0;

} // namespace cronovolta

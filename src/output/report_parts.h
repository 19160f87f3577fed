#pragma once

#include "output/print_layout.h"
#include "output/printed_reports.h"

#include <functional>
#include <string>
#include <string_view>

namespace cronovolta {

// Where the page header's date ends on a portrait and a landscape sheet.
inline constexpr double kPortraitDateColumn = 90;
inline constexpr double kLandscapeDateColumn = 130;
// The small print of the secondary columns.
inline constexpr double kSmallFontSize = 6;

// Two empty lines, then the event's name at column 5 and its date ending at `dateColumn`.
void writePageHeader(PrintLayout& layout, const ReportEvent& event, double dateColumn);

// Every later page starts with the page header, an empty line and the report's headings.
// The report clears it (setPageStart(nullptr)) before the event goes out of scope.
void repeatOnEveryPage(PrintLayout& layout, const ReportEvent& event, double dateColumn,
                       std::function<void(PrintLayout&)> headings);

// Column titles of a grid layout string, one per column.
std::vector<std::string> layoutTitles(std::string_view layout);

// The first whole number in a rank text such as "3.-"; empty when there is none.
std::string rankNumber(std::string_view rankText);

// Lower case of the ASCII letters; accented capitals are rare in captions and stay.
std::string lowerAscii(std::string_view text);

} // namespace cronovolta

#pragma once

#include "output/print_layout.h"
#include "output/printed_reports.h"

#include <string>
#include <string_view>

namespace cronovolta {

// Two empty lines, then the event's name at column 5 and its date ending at `dateColumn`.
void writePageHeader(PrintLayout& layout, const ReportEvent& event, double dateColumn);

// Column titles of a grid layout string, one per column.
std::vector<std::string> layoutTitles(std::string_view layout);

// The first whole number in a rank text such as "3.-"; empty when there is none.
std::string rankNumber(std::string_view rankText);

// Lower case of the ASCII letters; accented capitals are rare in captions and stay.
std::string lowerAscii(std::string_view text);

} // namespace cronovolta

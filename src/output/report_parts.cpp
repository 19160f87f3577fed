#include "output/report_parts.h"

#include "texts/grid_layout.h"

#include <cctype>

namespace cronovolta {

void writePageHeader(PrintLayout& layout, const ReportEvent& event, double dateColumn) {
    layout.newLine(2);
    layout.writeLeft(5, event.name);
    layout.writeRight(dateColumn, event.date);
    layout.newLine();
}

void repeatOnEveryPage(PrintLayout& layout, const ReportEvent& event, double dateColumn,
                       std::function<void(PrintLayout&)> headings) {
    layout.setPageStart([&event, dateColumn, headings](PrintLayout& page) {
        writePageHeader(page, event, dateColumn);
        page.newLine();
        headings(page);
    });
}

std::vector<std::string> layoutTitles(std::string_view layout) {
    std::vector<std::string> titles;
    for (auto& column : parseGridLayout(layout)) {
        titles.push_back(std::move(column.title));
    }
    return titles;
}

std::string rankNumber(std::string_view rankText) {
    std::string digits;
    for (char c : rankText) {
        if (c >= '0' && c <= '9') {
            digits.push_back(c);
        } else if (!digits.empty()) {
            break;
        }
    }
    return digits;
}

std::string lowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

} // namespace cronovolta

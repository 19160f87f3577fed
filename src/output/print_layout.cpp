#include "output/print_layout.h"

#include <algorithm>

namespace cronovolta {

int characterCount(std::string_view text) {
    // Continuation bytes of UTF-8 (10xxxxxx) do not start a character.
    return static_cast<int>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::string_view trimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

double PrintItem::width() const {
    return characterCount(text) * fontSize / kBaseFontSize;
}

PrintLayout::PrintLayout(Orientation orientation, int linesPerPage)
    : m_orientation(orientation), m_linesPerPage(std::max(linesPerPage, 1)), m_pages(1) {}

void PrintLayout::place(double x, std::string_view text) {
    if (text.empty()) {
        return;
    }
    // The page breaks when something is written below its last line, so that a report
    // never ends on a page that holds only its header.
    if (m_line >= m_linesPerPage) {
        newPage();
    }
    m_pages.back().items.push_back(PrintItem{x, m_line, m_fontSize, std::string(text)});
}

void PrintLayout::writeLeft(double x, std::string_view text) {
    place(x, trimBlanks(text));
}

void PrintLayout::writeRight(double x, std::string_view text) {
    text = trimBlanks(text);
    place(x - m_fontSize / kBaseFontSize * characterCount(text), text);
}

void PrintLayout::writeCentred(double x, std::string_view text) {
    text = trimBlanks(text);
    place(x - m_fontSize / kBaseFontSize * (characterCount(text) / 2.0), text);
}

void PrintLayout::writeDecimal(double x, std::string_view text) {
    text = trimBlanks(text);
    auto separator = text.find('.');
    if (separator == std::string_view::npos) {
        separator = text.find(',');
    }
    const int position = separator == std::string_view::npos
                             ? characterCount(text) + 1
                             : characterCount(text.substr(0, separator)) + 1;
    place(x - m_fontSize / kBaseFontSize * position, text);
}

void PrintLayout::newLine(int count) {
    m_line += count;
}

void PrintLayout::ensureRoom(int lines) {
    if (m_line + lines > m_linesPerPage) {
        newPage();
    }
}

void PrintLayout::newPage() {
    m_pages.emplace_back();
    m_line = 0;
    if (m_pageStart) {
        // The header writer must not break the page again while it writes.
        auto writer = std::move(m_pageStart);
        const double size = m_fontSize;
        m_fontSize = kBaseFontSize;
        writer(*this);
        m_fontSize = size;
        m_pageStart = std::move(writer);
    }
}

double PrintLayout::rightEdge() const {
    double edge = 0.0;
    for (const auto& page : m_pages) {
        for (const auto& item : page.items) {
            edge = std::max(edge, item.end());
        }
    }
    return edge;
}

PageGeometry pageGeometry(const PrintLayout& layout, double width, double height, double left,
                          double top) {
    PageGeometry g;
    g.left = left;
    g.top = top;
    const double needWidth = std::max(layout.rightEdge(), 1.0) * PageGeometry::kColumnPoints;
    const double needHeight = layout.linesPerPage() * PageGeometry::kLinePoints;
    g.scale = std::min({1.0, width / needWidth, height / needHeight});
    g.scale = std::max(g.scale, 0.01);
    return g;
}

} // namespace cronovolta

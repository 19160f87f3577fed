#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace cronovolta::test {

// The pages of a PDF as poppler lays its text out (`pdftotext -layout`), one string per
// line; form feeds separate the pages. Empty when the tool fails.
inline std::vector<std::string> pdfTextLines(const std::filesystem::path& pdf) {
    std::vector<std::string> lines;
    const std::string command = "pdftotext -layout '" + pdf.string() + "' - 2>/dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return lines;
    }
    std::string line;
    for (int c = std::fgetc(pipe); c != EOF; c = std::fgetc(pipe)) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line.push_back(static_cast<char>(c));
        }
    }
    if (!line.empty()) {
        lines.push_back(line);
    }
    ::pclose(pipe);
    return lines;
}

// Pages of the text above, split at the form feeds.
inline std::vector<std::vector<std::string>> pdfTextPages(const std::filesystem::path& pdf) {
    std::vector<std::vector<std::string>> pages(1);
    for (auto line : pdfTextLines(pdf)) {
        while (!line.empty() && line.front() == '\f') {
            pages.emplace_back();
            line.erase(0, 1);
        }
        pages.back().push_back(line);
    }
    if (pages.back().empty() || (pages.back().size() == 1 && pages.back()[0].empty())) {
        pages.pop_back();
    }
    return pages;
}

// The character column of `needle` in a line of pdftotext output (UTF-8 counted as
// characters); -1 when it is not there.
inline int textColumn(const std::string& line, const std::string& needle) {
    const auto at = line.find(needle);
    if (at == std::string::npos) {
        return -1;
    }
    int column = 0;
    for (std::size_t i = 0; i < at; ++i) {
        if ((static_cast<unsigned char>(line[i]) & 0xC0) != 0x80) {
            ++column;
        }
    }
    return column;
}

} // namespace cronovolta::test

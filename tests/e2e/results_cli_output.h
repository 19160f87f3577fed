#pragma once

#include <string>
#include <vector>

#include "support/cli_run.h"

namespace cronovolta::test {

inline std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        out.push_back(text.substr(start, end - start));
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return out;
}

// The tab-separated cells of one output line.
inline std::vector<std::string> splitCells(const std::string& line) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (auto tab = line.find('\t'); tab != std::string::npos; tab = line.find('\t', start)) {
        out.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
    out.push_back(line.substr(start));
    return out;
}

} // namespace cronovolta::test

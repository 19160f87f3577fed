#include "results/laps_text.h"

#include "storage/number_format.h"

#include <cmath>
#include <cstdlib>

namespace cronovolta {
namespace {

std::string trimmedDecimals(double value) {
    std::string s = formatNumber(value, "0.0000");
    while (s.ends_with('0')) {
        s.pop_back();
    }
    if (s.ends_with('.')) {
        s.pop_back();
    }
    return s == "-0" ? "0" : s;
}

} // namespace

double cellValue(std::string_view text) {
    std::string s(text);
    if (auto comma = s.find(','); comma != std::string::npos) {
        s[comma] = '.';
    }
    std::string compact;
    for (char c : s) {
        if (c != ' ' && c != '\t') {
            compact.push_back(c);
        }
    }
    char* end = nullptr;
    double v = std::strtod(compact.c_str(), &end);
    return std::isfinite(v) ? v : 0.0;
}

std::string lapsText(double laps, const ConfigPista& track, bool keepZero) {
    const std::string& pattern =
        track.lapTotalFormat.empty() ? std::string("0") : track.lapTotalFormat;
    std::string text = formatNumber(laps, pattern);
    if (track.decimalsText.empty() || text.ends_with(track.decimalsText)) {
        text = formatNumber(laps, "0");
    }
    if (std::fabs(cellValue(text) - laps) > 0.00005) {
        text = trimmedDecimals(laps);
    }
    if (!keepZero && cellValue(text) == 0.0) {
        return {};
    }
    return text;
}

std::string lapGapText(double referenceLaps, double ownLaps, double referenceTie, double ownTie,
                       const ConfigPista& track, std::string_view lapLetter,
                       std::string_view secondsLetter) {
    if (lapsText(referenceLaps, track, true) != lapsText(ownLaps, track, true)) {
        return "-" + lapsText(referenceLaps - ownLaps, track, true) + std::string(lapLetter);
    }
    double d = referenceTie - ownTie;
    if (d > 99.9) {
        return "+99.9" + std::string(secondsLetter);
    }
    return formatNumber(d, "+0.0") + std::string(secondsLetter);
}

bool gapIsZero(std::string_view gap) {
    if (gap.empty()) {
        return false;
    }
    std::size_t i = (gap[0] == '+' || gap[0] == '-') ? 1 : 0;
    return cellValue(gap.substr(i)) == 0.0;
}

} // namespace cronovolta

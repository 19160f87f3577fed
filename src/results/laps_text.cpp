#include "results/laps_text.h"

#include "storage/formatting.h"
#include "storage/number_format.h"

#include <cmath>

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
    return numericValue(text);
}

std::string lapsText(double laps, const TrackConfig& track, bool keepZero) {
    std::string text = formatLaps(laps, true, track);
    if (std::fabs(numericValue(text) - laps) > 0.00005) {
        text = trimmedDecimals(laps);
    }
    if (!keepZero && numericValue(text) == 0.0) {
        return {};
    }
    return text;
}

std::string lapGapText(std::string_view referenceLaps, std::string_view ownLaps,
                       std::string_view referenceTie, std::string_view ownTie,
                       const TrackConfig& track, std::string_view lapLetter,
                       std::string_view secondsLetter) {
    std::string gap = lapGap(referenceLaps, ownLaps, referenceTie, ownTie, track,
                             GapLetters{lapLetter, secondsLetter});
    if (referenceLaps != ownLaps) {
        const double diff = numericValue(referenceLaps) - numericValue(ownLaps);
        std::string exact = lapsText(diff, track, true);
        if (exact != formatLaps(diff, true, track)) {
            gap = "-" + exact + std::string(lapLetter);
        }
    }
    return gap;
}

bool gapIsZero(std::string_view gap) {
    if (gap.empty()) {
        return false;
    }
    std::size_t i = (gap[0] == '+' || gap[0] == '-') ? 1 : 0;
    return numericValue(gap.substr(i)) == 0.0;
}

} // namespace cronovolta

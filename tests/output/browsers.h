#pragma once

#include "results/results_browser.h"
#include "results/series_builder.h"

#include <map>
#include <optional>
#include <vector>

namespace cronovolta::test {

// Browsers over in-memory series, one per programme type given.
inline auto sourceOf(std::map<ProgrammeType, std::vector<SeriesData>> programmes, int lanes,
                     int language = 0) {
    return [programmes, lanes,
            language](ProgrammeType programmeType) -> std::optional<ResultsBrowser> {
        auto it = programmes.find(programmeType);
        if (it == programmes.end()) {
            return std::nullopt;
        }
        BrowserSetup setup;
        setup.programmeType = programmeType;
        setup.seriesCount = static_cast<int>(it->second.size());
        setup.language = language;
        setup.track = trackWith(lanes);
        std::vector<SeriesData> series = it->second;
        ResultsBrowser b(setup,
                         [series](int s) { return series[static_cast<std::size_t>(s - 1)]; });
        b.open();
        return b;
    };
}

// Two drivers over two lanes and two heats: each drives each lane once.
inline SeriesData twoByTwo() {
    return SeriesBuilder(1, {"Anna", "Bernat"})
        .heat({{1, 10, 300.0f, 5.1f, 1, 10, 5.1f}, {2, 11, 295.0f, 4.9f, 2, 11, 4.9f}})
        .heat({{1, 19, 600.0f, 5.0f, 2, 9, 5.0f}, {2, 18, 610.0f, 4.9f, 1, 7, 5.3f}})
        .data();
}

} // namespace cronovolta::test

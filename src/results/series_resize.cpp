#include "results/series_resize.h"

#include <algorithm>

namespace cronovolta {

HeatResize resizeHeatBlocks(const std::vector<HeatResultRecord>& records, int heatsDone,
                            int oldCount, int newCount) {
    HeatResize out;
    for (int m = 1; m <= heatsDone; ++m) {
        auto header = std::find_if(records.begin(), records.end(), [m](const auto& r) {
            return r.isHeader() && r.headerHeatNumber() == m;
        });
        if (header == records.end()) {
            out.missingHeats.push_back(m);
            continue;
        }
        const std::size_t headerAt = out.records.size();
        out.records.push_back(*header);
        std::vector<bool> present(static_cast<std::size_t>(std::max(newCount, 0)) + 1, false);
        auto it = header + 1;
        for (int k = 0; k < header->headerRecordCount() && it != records.end() && !it->isHeader();
             ++k, ++it) {
            if (it->participant <= newCount) {
                out.records.push_back(*it);
                if (it->participant >= 1) {
                    present[static_cast<std::size_t>(it->participant)] = true;
                }
            }
        }
        for (int p = std::max(oldCount, 0) + 1; p <= newCount; ++p) {
            if (!present[static_cast<std::size_t>(p)]) {
                HeatResultRecord added;
                added.participant = static_cast<std::int16_t>(p);
                out.records.push_back(added);
            }
        }
        out.records[headerAt].adjustments =
            static_cast<std::int16_t>(out.records.size() - headerAt - 1);
    }
    return out;
}

std::vector<PenaltyRecord> penaltiesUpTo(const std::vector<PenaltyRecord>& records, int count) {
    std::vector<PenaltyRecord> out;
    std::copy_if(records.begin(), records.end(), std::back_inserter(out),
                 [count](const auto& r) { return r.participant <= count; });
    return out;
}

} // namespace cronovolta

// Lane-distribution tables "DISTRIBUCIONSnn.TXT" and what the progression reads from them.
#include "fuzz_check.h"
#include "results/progression.h"

using namespace cronovolta;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const DistributionTable table = parseDistributionTable(fuzz::asBytes(data, size));
    for (const DistributionLine& line : table.lines) {
        FUZZ_CHECK(line.participants >= 1 && line.direct >= 0);
        const auto found = lookupDistribution(table, line.participants);
        FUZZ_CHECK(found.has_value());
        FUZZ_CHECK(found->direct >= 0 && found->repechages >= 0 && found->repechages <= 8);
        for (int before = 0; before <= 12; ++before) {
            const int stage = stageForNewSeries(before, *found);
            FUZZ_CHECK(stage >= kNoProgression && stage <= kFinal);
        }
    }
    return 0;
}

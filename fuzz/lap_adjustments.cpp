// The race's lap adjustment journal "VLTAVLT.AJS".
#include "heat/lap_adjustments.h"
#include "fuzz_check.h"

using namespace cronovolta;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto adjustments = decodeLapAdjustments(fuzz::asBytes(data, size));
    FUZZ_CHECK(adjustments.size() == size / kLapAdjustmentSize);
    for (const LapAdjustment& adjustment : adjustments) {
        FUZZ_CHECK(adjustment.afterRecords >= -1);
        const auto again = decodeLapAdjustments(encodeLapAdjustment(adjustment));
        FUZZ_CHECK(again.size() == 1);
        // A NaN start never equals itself; the rest must come back as it was.
        FUZZ_CHECK(again[0].heat == adjustment.heat && again[0].lane == adjustment.lane &&
                   again[0].amount == adjustment.amount &&
                   again[0].afterRecords == adjustment.afterRecords);
    }
    return 0;
}

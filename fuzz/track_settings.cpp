// The track configuration "PISTA.CFG", and the counter set-up derived from it.
#include "counter/counter_decoder.h"
#include "fuzz_check.h"
#include "storage/track_config.h"

using namespace cronovolta;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const DecodedTrackConfig decoded = decodeTrackConfigChecked(fuzz::asBytes(data, size));
    const TrackConfig& track = decoded.config;
    // Every per-lane array is sized from these: they must hold whatever the file says.
    FUZZ_CHECK(track.lanes >= 1 && track.lanes <= kMaxLanes);
    FUZZ_CHECK(track.laneChangeOrder.size() == static_cast<std::size_t>(track.lanes) + 1);
    for (std::size_t i = 1; i < track.laneChangeOrder.size(); ++i) {
        FUZZ_CHECK(track.laneChangeOrder[i] >= 1 && track.laneChangeOrder[i] <= kMaxLanes);
    }
    FUZZ_CHECK(track.highestLane() >= 1 && track.highestLane() <= kMaxLanes);
    FUZZ_CHECK(!track.circuits.empty() && track.circuits.size() <= 4);
    // What the program keeps of a file, it writes so that it reads back the same and sound.
    const std::string saved = encodeTrackConfig(track);
    const DecodedTrackConfig again = decodeTrackConfigChecked(saved);
    FUZZ_CHECK(again.problems.empty());
    FUZZ_CHECK(encodeTrackConfig(again.config) == saved);
    for (int model = 0; model <= 4; ++model) {
        const CounterSetup setup = counterSetup(track, static_cast<CounterModel>(model));
        for (const LaneRange& lanes : setup.circuits) {
            // Lanes beyond the order are no lanes of a heat: the engine drops them.
            FUZZ_CHECK(lanes.last < lanes.first || (lanes.first >= 1 && lanes.last <= kMaxLanes));
        }
    }
    return 0;
}

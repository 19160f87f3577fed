// A series' files as the classification reads them: the event's "PISTA.CFG", the series'
// ".PAR", ".PEN" and ".DAD", ranked by every criterion.
#include "results/classification.h"
#include "fuzz_check.h"

using namespace cronovolta;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto parts = fuzz::splitParts(fuzz::asBytes(data, size), 4);
    SeriesData series;
    series.seriesNumber = 1;
    series.participants = decodeParticipantList(parts[1]);
    series.penalties = decodePenalties(parts[2]).records;
    series.heats = decodeHeatResultFile(parts[3]).records;
    series.heatFileMissing = parts[3].empty();
    Classification classification(decodeTrackConfig(parts[0]), size % 2);
    classification.addSeries(series, 0);
    classification.finishLoad();
    const std::size_t names = series.participants.names.size();
    for (int criterion = kTotalLaps; criterion <= kHeatFastestLap; ++criterion) {
        classification.rank(criterion);
        FUZZ_CHECK(classification.rows().size() <= series.heats.size());
        for (const ClassificationRow& row : classification.rows()) {
            FUZZ_CHECK(row.participant >= 1 && static_cast<std::size_t>(row.participant) <= names);
            FUZZ_CHECK(row.name == series.participants.names[row.participant - 1]);
            FUZZ_CHECK(row.heat >= 1);
        }
    }
    return 0;
}

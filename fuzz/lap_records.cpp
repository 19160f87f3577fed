// Lap files: the heat journal "VLTAVLT.TMP" and the series' ".VAV", with the search for a
// heat's block that every heat end runs over them.
#include "fuzz_check.h"
#include "heat/series_files.h"
#include "storage/lap_record.h"

using namespace cronovolta;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::asBytes(data, size);
    const LapFile file = decodeLapFile(bytes);
    FUZZ_CHECK(file.records.size() == size / kLapRecordSize);
    FUZZ_CHECK(file.partialTail == (size % kLapRecordSize != 0));
    FUZZ_CHECK(bytes.starts_with(encodeLapFile(file.records)));
    // A block is written where the search says: never beyond the end of the file, which
    // would leave a hole of zero records in it.
    for (int heat = 1; heat <= 40; ++heat) {
        if (auto start = lapBlockStart(file.records, heat)) {
            FUZZ_CHECK(*start <= file.records.size());
        }
    }
    return 0;
}

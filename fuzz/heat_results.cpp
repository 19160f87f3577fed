// Series results files ".DAD" and the heat blocks read from them.
#include "fuzz_check.h"
#include "heat/series_files.h"
#include "storage/heat_result_record.h"

using namespace cronovolta;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::asBytes(data, size);
    const HeatResultFile file = decodeHeatResultFile(bytes);
    const std::size_t whole = size / kHeatResultRecordSize +
                              (size % kHeatResultRecordSize >= kHeatResultUsedBytes ? 1 : 0);
    FUZZ_CHECK(file.records.size() == whole);
    // The used bytes of every record are written back unchanged.
    const std::string again = encodeHeatResultFile(file.records);
    for (std::size_t i = 0; i < file.records.size(); ++i) {
        const std::size_t at = i * kHeatResultRecordSize;
        FUZZ_CHECK(again.compare(at, kHeatResultUsedBytes, bytes, at, kHeatResultUsedBytes) == 0);
    }
    for (int heat = -1; heat <= 40; ++heat) {
        if (auto block = resultBlock(file.records, heat)) {
            FUZZ_CHECK(block->size() < file.records.size());
        }
    }
    return 0;
}

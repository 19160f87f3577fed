// Penalty files ".PEN".
#include "fuzz_check.h"
#include "storage/penalty_record.h"

using namespace cronovolta;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::asBytes(data, size);
    const PenaltyFile file = decodePenalties(bytes);
    const std::string again = encodePenalties(file.records);
    fuzz::checkRewritten(bytes, again, file.truncated || file.leftOut > 0);
    return 0;
}

// Participant lists ("PROVA.PAR" and the series' ".PAR").
#include "fuzz_check.h"
#include "storage/participant_list.h"

using namespace cronovolta;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::asBytes(data, size);
    const ParticipantList list = decodeParticipantList(bytes);
    const std::string again = encodeParticipantList(list);
    if (size < 2) {
        FUZZ_CHECK(list.names.empty());
        return 0;
    }
    fuzz::checkRewritten(bytes, again, list.truncated || list.leftOut > 0);
    return 0;
}

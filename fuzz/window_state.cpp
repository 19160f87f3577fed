// The main window's selections "ZTR4.INI".
#include "fuzz_check.h"
#include "storage/resume_file.h"

using namespace cronovolta;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto state = parseWindowState(fuzz::asBytes(data, size));
    if (!state) {
        return 0;
    }
    const auto again = parseWindowState(encodeWindowState(*state));
    FUZZ_CHECK(again.has_value());
    FUZZ_CHECK(again->eventIndex == state->eventIndex);
    FUZZ_CHECK(again->seriesIndexes == state->seriesIndexes);
    FUZZ_CHECK(again->infoShown == state->infoShown);
    return 0;
}

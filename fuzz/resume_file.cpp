// The heat resume file "ZTR4.TMP".
#include "storage/resume_file.h"
#include "fuzz_check.h"

#include <cmath>

using namespace cronovolta;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto state = parseResumeState(fuzz::asBytes(data, size));
    if (!state) {
        return 0;
    }
    // Only a state that names a heat may offer to resume one.
    FUZZ_CHECK(state->event >= 1 && state->seriesNumber >= 1 && state->heat >= 0);
    FUZZ_CHECK(state->programmeType >= ProgrammeType::FreePractice &&
               state->programmeType <= ProgrammeType::Race);
    FUZZ_CHECK(std::isfinite(state->heatStart) && state->heatStart >= 0.0f &&
               state->heatStart <= 86400.0f);
    // The file the program writes for that state reads back as the same heat; the start
    // time as the printed text keeps it.
    const std::string written = encodeResumeState(*state);
    const auto again = parseResumeState(written);
    FUZZ_CHECK(again.has_value());
    FUZZ_CHECK(again->event == state->event && again->programmeType == state->programmeType &&
               again->seriesNumber == state->seriesNumber && again->heat == state->heat);
    FUZZ_CHECK(encodeResumeState(*again) == written);
    return 0;
}

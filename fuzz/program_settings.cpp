// The program settings "ZENTOR.CFG".
#include "storage/program_settings.h"
#include "fuzz_check.h"

using namespace cronovolta;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const DecodedProgramSettings decoded = decodeProgramSettings(fuzz::asBytes(data, size));
    const ProgramSettings& settings = decoded.config;
    FUZZ_CHECK(settings.language == 0 || settings.language == 1);
    FUZZ_CHECK(!counterModelName(static_cast<int>(settings.counterModel)).empty());
    FUZZ_CHECK(settings.colours.size() == static_cast<std::size_t>(kColourSlots));
    FUZZ_CHECK(settings.lapFractionPolicy >= -1 && settings.autoScroll >= -1 &&
               settings.version != 0);
    const std::string saved = encodeProgramSettings(settings);
    const DecodedProgramSettings again = decodeProgramSettings(saved);
    FUZZ_CHECK(again.problems.empty());
    FUZZ_CHECK(encodeProgramSettings(again.config) == saved);
    return 0;
}

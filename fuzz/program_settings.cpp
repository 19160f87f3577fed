// The program settings "ZENTOR.CFG".
#include "fuzz_check.h"
#include "storage/config_prg.h"

using namespace cronovolta;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const DecodedConfigPrg decoded = decodeConfigPrg(fuzz::asBytes(data, size));
    const ConfigPrg& settings = decoded.config;
    FUZZ_CHECK(settings.language == 0 || settings.language == 1);
    FUZZ_CHECK(!counterModelName(static_cast<int>(settings.counterModel)).empty());
    FUZZ_CHECK(settings.colours.size() == static_cast<std::size_t>(kColourSlots));
    FUZZ_CHECK(settings.comesPolicy >= -1 && settings.autoScroll >= -1 && settings.version != 0);
    const std::string saved = encodeConfigPrg(settings);
    const DecodedConfigPrg again = decodeConfigPrg(saved);
    FUZZ_CHECK(again.problems.empty());
    FUZZ_CHECK(encodeConfigPrg(again.config) == saved);
    return 0;
}

// The event catalogue "PROVES.LLS".
#include "fuzz_check.h"
#include "storage/event_files.h"

using namespace cronovolta;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::asBytes(data, size);
    const Catalog catalog = decodeCatalog(bytes);
    // Names read from disk come back byte for byte: a sound file is rewritten unchanged,
    // a damaged one as its whole entries.
    const std::string again = encodeCatalog(catalog.entries);
    FUZZ_CHECK(catalog.truncated ? bytes.starts_with(again) && again.size() < bytes.size()
                                 : again == bytes);
    return 0;
}

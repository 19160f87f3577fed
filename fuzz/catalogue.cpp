// The event catalogue "PROVES.LLS".
#include "fuzz_check.h"
#include "storage/event_files.h"

using namespace cronovolta;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::asBytes(data, size);
    const Catalog catalog = decodeCatalog(bytes);
    const std::string again = encodeCatalog(catalog.entries);
    fuzz::checkRewritten(bytes, again, catalog.truncated || catalog.leftOut > 0);
    return 0;
}

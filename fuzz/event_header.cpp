// The event header "PROVA.DAD".
#include "fuzz_check.h"
#include "storage/event_files.h"

using namespace cronovolta;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const EventHeaderRead read = decodeEventHeader(fuzz::asBytes(data, size));
    if (!read.complete) {
        return 0;
    }
    // What was read whole is written back so that it reads the same.
    const EventHeaderRead again = decodeEventHeader(encodeEventHeader(read.header));
    FUZZ_CHECK(again.complete);
    FUZZ_CHECK(again.header.seriesCounts == read.header.seriesCounts);
    FUZZ_CHECK(again.header.name == read.header.name && again.header.date == read.header.date);
    return 0;
}

// The DS030 lap counter's byte stream.
#include "counter_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    cronovolta::fuzz::fuzzDecoder(cronovolta::fuzz::asBytes(data, size),
                                  cronovolta::CounterModel::DS030);
    return 0;
}

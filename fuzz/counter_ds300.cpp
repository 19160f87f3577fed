// The frames of the DS300 family (DS300, DS300 & DS4port, DS200); the first byte's top
// bits pick the model.
#include "counter_stream.h"

using namespace cronovolta;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr CounterModel kModels[] = {CounterModel::DS300, CounterModel::DS300DS4port,
                                        CounterModel::DS200};
    const auto model = size == 0 ? kModels[0] : kModels[data[0] / 64 % 3];
    fuzz::fuzzDecoder(fuzz::asBytes(data, size), model);
    return 0;
}

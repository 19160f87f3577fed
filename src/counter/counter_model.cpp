#include "counter/counter_model.h"

#include <cctype>
#include <string>

namespace cronovolta {
namespace {

std::string squeezed(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c != ' ' && c != '\t') {
            out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
    }
    return out;
}

} // namespace

std::string_view counterModelName(CounterModel model) {
    const std::string_view name = counterModelName(static_cast<int>(model));
    return name.empty() ? std::string_view("?") : name;
}

bool sendsFrames(CounterModel model) {
    return model == CounterModel::DS300 || model == CounterModel::DS300DS4port ||
           model == CounterModel::DS200;
}

std::optional<CounterModel> counterModelFromName(std::string_view name) {
    const std::string key = squeezed(name);
    if (key.size() == 1 && key[0] >= '0' && key[0] <= '4') {
        return static_cast<CounterModel>(key[0] - '0');
    }
    for (int model = 0; !counterModelName(model).empty(); ++model) {
        if (key == squeezed(counterModelName(model))) {
            return static_cast<CounterModel>(model);
        }
    }
    if (key == "DS4PORT" || key == "DS300+DS4PORT") {
        return CounterModel::DS300DS4port;
    }
    return std::nullopt;
}

int counterBaudRate(CounterModel model) {
    switch (model) {
    case CounterModel::DS003:
        return 1200;
    case CounterModel::DS030:
    case CounterModel::DS200:
        return 4800;
    case CounterModel::DS300:
    case CounterModel::DS300DS4port:
        return 56000;
    }
    return 4800;
}

int laneOfBit(std::uint8_t mask, CounterModel model) {
    if (mask == 0 || (mask & (mask - 1)) != 0) {
        return 0;
    }
    int bit = 0;
    while ((mask >> bit) != 1) {
        ++bit;
    }
    return model == CounterModel::DS200 ? bit + 1 : 8 - bit;
}

std::uint8_t laneMask(int lane, CounterModel model) {
    if (lane < 1 || lane > 8) {
        return 0;
    }
    const int bit = model == CounterModel::DS200 ? lane - 1 : 8 - lane;
    return static_cast<std::uint8_t>(1u << bit);
}

int bcdValue(std::uint8_t byte) {
    const int high = byte >> 4;
    const int low = byte & 0x0F;
    if (high > 9) {
        return 0;
    }
    return low > 9 ? high : high * 10 + low;
}

std::uint8_t toBcd(int value) {
    value = value < 0 ? 0 : value % 100;
    return static_cast<std::uint8_t>(((value / 10) << 4) | (value % 10));
}

} // namespace cronovolta

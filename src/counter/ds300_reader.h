#pragma once

#include "counter/counter_decoder.h"

#include <array>
#include <cstdint>

namespace cronovolta {

// Byte positions (0-based) of the 21-byte frame of the DS300, DS300 & DS4port and DS200.
namespace ds300 {
inline constexpr std::size_t kFrameSize = 21;
inline constexpr std::uint8_t kFrameStart = 0xE0;
inline constexpr std::uint8_t kFrameEnd = 0xEB;
inline constexpr std::size_t kBox = 4;
inline constexpr std::size_t kStatus = 8;
inline constexpr std::size_t kMask = 10;
inline constexpr std::size_t kMinutes = 14; // then seconds, hundredths, ten-thousandths
using Frame = std::array<std::uint8_t, kFrameSize>;
} // namespace ds300

// The DS300 family: fixed frames, repeated by the counter; a frame equal to the circuit's
// previous one is dropped.
class Ds300Reader final : public CounterDecoder {
public:
    Ds300Reader(const CounterSetup& setup, HeatControl& heat);

    void read(int circuit, std::string_view bytes, double now) override;
    void resetCircuit(int circuit) override;

private:
    struct Circuit {
        LaneRange lanes;
        ds300::Frame buffer{};
        std::size_t size = 0;
        ds300::Frame last{};
        bool hasLast = false;
        UntrustedLanes untrusted;
    };

    void frameByte(Circuit& circuit, std::uint8_t byte, double now);
    void completeFrame(Circuit& circuit, double now);
    void idleStatus(std::uint8_t status, double now);
    void runningStatus(Circuit& circuit, double now);

    CounterModel m_model;
    HeatControl& m_heat;
    std::vector<Circuit> m_circuits;
};

} // namespace cronovolta

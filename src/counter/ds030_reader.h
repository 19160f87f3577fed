#pragma once

#include "counter/counter_decoder.h"

#include <array>
#include <cstdint>

namespace cronovolta {

// The DS030: single status bytes and lane reports of a lane mask followed by three BCD time
// bytes (seconds, hundredths, ten-thousandths), with filler bytes in between.
class Ds030Reader final : public CounterDecoder {
public:
    Ds030Reader(const CounterSetup& setup, HeatControl& heat);

    void read(int circuit, std::string_view bytes, double now) override;
    void resetCircuit(int circuit) override;

private:
    struct Circuit {
        LaneRange lanes;
        int lane = 0;         // lane of the report whose time bytes are awaited
        int timeBytes = -1;   // time bytes received so far; -1 when no report is open
        bool outside = false; // the open report's lane lies outside the circuit
        std::array<std::uint8_t, 3> time{};
        UntrustedLanes untrusted;
    };

    void statusOrLane(Circuit& circuit, std::uint8_t byte, double now);
    void timeByte(Circuit& circuit, std::uint8_t byte, double now);

    CounterModel m_model;
    HeatControl& m_heat;
    std::vector<Circuit> m_circuits;
};

} // namespace cronovolta

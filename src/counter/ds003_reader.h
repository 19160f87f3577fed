#pragma once

#include "counter/counter_decoder.h"

#include <string>

namespace cronovolta {

// The DS003 runs the heat itself and sends one result block at the end: anything, STX,
// one 11-character record per track lane (4 digits laps, 6 digits fastest lap in
// ten-thousandths, a separator), EOT. The block replays the heat at once.
class Ds003Reader final : public CounterDecoder {
public:
    // Longest block kept while waiting for its EOT; 64 lanes need 705 characters.
    static constexpr std::size_t kMaxBlock = 4096;

    Ds003Reader(const CounterSetup& setup, HeatControl& heat);

    void read(int circuit, std::string_view bytes, double now) override;
    void resetCircuit(int circuit) override;

private:
    void completeBlock(std::string& buffer, double now);

    CounterSetup m_setup;
    HeatControl& m_heat;
    std::vector<std::string> m_buffers;
};

// A field read the classic way: blanks ignored, an optional sign, digits with an optional
// decimal point, stopping at the first other character; nothing readable gives 0.
double fieldValue(std::string_view field);

} // namespace cronovolta

#pragma once

#include "storage/program_settings.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace cronovolta {

// Tells when a circuit's bytes keep arriving but do not fit the configured counter model:
// a counter of another model, or one at another line speed, answering on the port. Bytes
// are sorted by form alone (whatever the heat's state): whole messages of the model against
// bytes that fit none.
class ForeignCounterWatch {
public:
    static constexpr double kWindowSeconds = 3.0;
    static constexpr std::uint32_t kMinimumForeign = 16;

    ForeignCounterWatch(CounterModel model, int circuits);

    // True once per circuit (until reset) when a window of a few seconds held mostly bytes
    // that fit no message of the model.
    bool read(int circuit, std::string_view bytes, double now);
    void reset(int circuit);

private:
    struct Circuit {
        int state = 0;             // bytes of the message being read; 0 between messages
        std::uint32_t pending = 0; // bytes taken into it so far
        bool allZero = true;
        std::uint32_t fitting = 0;
        std::uint32_t foreign = 0;
        double windowStart = -1.0;
        bool told = false;
    };

    void byte(Circuit& c, std::uint8_t b);
    void ds030(Circuit& c, std::uint8_t b);
    void frames(Circuit& c, std::uint8_t b);
    void block(Circuit& c, std::uint8_t b);
    static bool opens(Circuit& c, std::uint8_t b, std::uint8_t start);
    void close(Circuit& c, bool fits);

    CounterModel m_model;
    std::vector<Circuit> m_circuits;
};

} // namespace cronovolta

#pragma once

#include "storage/program_settings.h"

#include <cstdint>
#include <string>
#include <vector>

namespace cronovolta {

// What a lap counter signals, independent of its byte codes.
enum class CounterSignal { Red, Green, Start, Pause, RestartRed, RestartGreen, Resume, End };

// One lane of a DS003 result block.
struct CounterResult {
    int laps = 0;
    int fastestTenThousandths = 0; // 123456 is 12.3456 s
};

// Writes the bytes a counter of the given model sends: the inverse of the decoders.
// Counter lanes are numbered from 1 within the counter; a DS300 & DS4port counts lanes 9..16
// in the box after `firstBox`, and so on.
class CounterEncoder {
public:
    explicit CounterEncoder(CounterModel model, int firstBox = 1);

    // The bytes of a status signal; empty when the model has no such signal.
    std::string signal(CounterSignal signal);
    // A lane report with the counter's lap time in ten-thousandths of a second (taken modulo
    // the model's range); `fillers` DS030 filler bytes are spread between its bytes.
    std::string lap(int counterLane, std::int64_t tenThousandths, int fillers = 0);
    // The DS003 block: a preamble, STX, one record per track lane from lane 1, EOT.
    static std::string resultBlock(const std::vector<CounterResult>& lanes);

    // What the decoder makes of a lap time once it has been through the bytes.
    std::int64_t wireTime(std::int64_t tenThousandths) const;

private:
    std::string frame(std::uint8_t status, std::uint8_t box, std::uint8_t mask,
                      std::int64_t tenThousandths);

    CounterModel m_model;
    int m_firstBox;
    std::uint8_t m_sequence = 0;
};

} // namespace cronovolta

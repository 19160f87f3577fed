#include "counter/counter_encoder.h"

#include "counter/counter_model.h"
#include "counter/ds300_reader.h"

#include <cstdio>

namespace cronovolta {
namespace {

std::uint8_t ds030Code(CounterSignal signal) {
    switch (signal) {
    case CounterSignal::Red:
        return 0xA0;
    case CounterSignal::Green:
        return 0xA1;
    case CounterSignal::Start:
    case CounterSignal::Resume:
        return 0xA2;
    case CounterSignal::Pause:
        return 0xA3;
    case CounterSignal::End:
        return 0xA4;
    case CounterSignal::RestartRed:
    case CounterSignal::RestartGreen:
        break;
    }
    return 0;
}

std::uint8_t ds300Code(CounterSignal signal) {
    switch (signal) {
    case CounterSignal::Red:
        return 0xA1;
    case CounterSignal::Green:
    case CounterSignal::RestartGreen:
        return 0xA2;
    case CounterSignal::Start:
    case CounterSignal::Resume:
        return 0xA3;
    case CounterSignal::End:
        return 0xA4;
    case CounterSignal::Pause:
        return 0xA5;
    case CounterSignal::RestartRed:
        return 0xA6;
    }
    return 0;
}

} // namespace

CounterEncoder::CounterEncoder(CounterModel model, int firstBox)
    : m_model(model), m_firstBox(firstBox) {}

std::int64_t CounterEncoder::wireTime(std::int64_t tenThousandths) const {
    if (tenThousandths < 0) {
        return 0;
    }
    // Two BCD digits of seconds on a DS030, two of minutes on the frame models.
    return tenThousandths % (sendsFrames(m_model) ? 100LL * 600000 : 1000000);
}

std::string CounterEncoder::signal(CounterSignal signal) {
    if (m_model == CounterModel::DS030) {
        const std::uint8_t code = ds030Code(signal);
        // The counter sends both of its end codes; the decoder treats them alike.
        if (signal == CounterSignal::End && (m_sequence++ & 1) != 0) {
            return std::string(1, static_cast<char>(0xA5));
        }
        return code == 0 ? std::string() : std::string(1, static_cast<char>(code));
    }
    if (sendsFrames(m_model)) {
        std::uint8_t code = ds300Code(signal);
        if (signal == CounterSignal::End && (m_sequence & 1) != 0) {
            code = 0xA7;
        }
        return frame(code, static_cast<std::uint8_t>(m_firstBox), 0, 0);
    }
    return {};
}

std::string CounterEncoder::lap(int counterLane, std::int64_t tenThousandths, int fillers) {
    const std::int64_t t = wireTime(tenThousandths);
    const int box = m_firstBox + (counterLane - 1) / 8;
    const int local = (counterLane - 1) % 8 + 1;
    const std::uint8_t mask = laneMask(local, m_model);
    if (sendsFrames(m_model)) {
        return frame(0, static_cast<std::uint8_t>(box), mask, t);
    }
    if (m_model != CounterModel::DS030) {
        return {};
    }
    static constexpr std::uint8_t kFillers[] = {0xA6, 0xA7, 0xB3};
    const std::uint8_t digits[] = {toBcd(static_cast<int>(t / 10000)),
                                   toBcd(static_cast<int>(t / 100 % 100)),
                                   toBcd(static_cast<int>(t % 100))};
    std::string out(1, static_cast<char>(mask));
    for (std::size_t i = 0; i < 3; ++i) {
        if (fillers > static_cast<int>(i)) {
            out += static_cast<char>(kFillers[(static_cast<std::size_t>(fillers) + i) % 3]);
        }
        out += static_cast<char>(digits[i]);
    }
    return out;
}

std::string CounterEncoder::frame(std::uint8_t status, std::uint8_t box, std::uint8_t mask,
                                  std::int64_t tenThousandths) {
    ds300::Frame f{};
    f[0] = ds300::kFrameStart;
    // The counter fills an unused byte with a running number, so that two reports with equal
    // contents are not taken for one repeated frame.
    f[1] = m_sequence++;
    f[ds300::kBox] = box;
    f[ds300::kStatus] = status;
    f[ds300::kMask] = mask;
    const std::int64_t t = tenThousandths;
    f[ds300::kMinutes] = toBcd(static_cast<int>(t / 600000));
    f[ds300::kMinutes + 1] = toBcd(static_cast<int>(t / 10000 % 60));
    f[ds300::kMinutes + 2] = toBcd(static_cast<int>(t / 100 % 100));
    f[ds300::kMinutes + 3] = toBcd(static_cast<int>(t % 100));
    f[20] = ds300::kFrameEnd;
    return std::string(f.begin(), f.end());
}

std::string CounterEncoder::resultBlock(const std::vector<CounterResult>& lanes) {
    std::string out = "\r\n";
    out += '\x02';
    for (const auto& lane : lanes) {
        char record[32];
        std::snprintf(record, sizeof record, "%04d%06d ", lane.laps % 10000,
                      lane.fastestTenThousandths % 1000000);
        out += record;
    }
    out += '\x04';
    return out;
}

} // namespace cronovolta

#include "storage/track_config.h"

#include "storage/record_io.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace cronovolta {
namespace {

constexpr std::size_t kLanesOffset = 29;
constexpr std::size_t kOrderOffset = 31;
constexpr std::size_t kSplitOffset = 299;
constexpr std::size_t kSplitEnd = 309;
constexpr std::size_t kSplitThreshold = 300; // split fields exist only in longer files
constexpr int kMaxCircuits = 4;
constexpr int kMaxLargestPartial = 9999;

int digitCount(int value) {
    int digits = 1;
    while (value >= 10) {
        value /= 10;
        ++digits;
    }
    return digits;
}

// Replaces the entries marked 0 by the smallest lane numbers no other position uses, so
// that a damaged order is still a set of distinct lanes.
void fillFreeLanes(std::vector<std::int16_t>& order) {
    std::array<bool, kMaxLanes + 1> used{};
    for (std::size_t i = 1; i < order.size(); ++i) {
        if (order[i] != 0) {
            used[static_cast<std::size_t>(order[i])] = true;
        }
    }
    int next = 1;
    for (std::size_t i = 1; i < order.size(); ++i) {
        if (order[i] != 0) {
            continue;
        }
        while (used[static_cast<std::size_t>(next)]) {
            ++next;
        }
        used[static_cast<std::size_t>(next)] = true;
        order[i] = static_cast<std::int16_t>(next);
    }
}

// The first lane that the circuit-count rule gives circuit c (1-based) of `count`.
std::int16_t ruleFirstLane(int lanes, int count, int c) {
    return static_cast<std::int16_t>(
        std::lround(static_cast<double>(lanes) / count * (c - 1) + 1.0));
}

// Returns the number of circuits the file stands for, 0 when it ends before the count.
int readCircuits(ByteReader& r, DecodedTrackConfig& out) {
    TrackConfig& c = out.config;
    int count = r.i16();
    if (!r.ok()) {
        return 0; // keep the default circuits
    }
    if (count < 1 || count > kMaxCircuits) {
        out.problems.push_back("the number of connections (" + std::to_string(count) +
                               ") is not 1 to 4");
        count = std::clamp(count, 1, kMaxCircuits);
    }
    c.circuits.assign(static_cast<std::size_t>(count), CircuitConfig{});
    std::array<bool, kMaxCircuits + 1> portUsed{};
    std::vector<std::size_t> badPorts;
    for (int i = 0; i < count; ++i) {
        auto& circuit = c.circuits[static_cast<std::size_t>(i)];
        std::int16_t port = r.i16();
        std::int16_t first = r.i16();
        if (!r.ok()) {
            out.problems.push_back("the file ends inside the connections");
            c.circuits.resize(static_cast<std::size_t>(i));
            break;
        }
        if (port < 1 || port > kMaxCircuits || portUsed[static_cast<std::size_t>(port)]) {
            out.problems.push_back("connection " + std::to_string(i + 1) + " has port " +
                                   std::to_string(port));
            badPorts.push_back(static_cast<std::size_t>(i));
        } else {
            portUsed[static_cast<std::size_t>(port)] = true;
            circuit.port = port;
        }
        circuit.firstLane = first;
    }
    for (std::size_t i : badPorts) {
        int p = 1;
        while (portUsed[static_cast<std::size_t>(p)]) {
            ++p;
        }
        portUsed[static_cast<std::size_t>(p)] = true;
        c.circuits[i].port = static_cast<std::int16_t>(p);
    }
    return count;
}

// Missing circuits and impossible first lanes follow the circuit-count rule; runs once
// the lane count is known.
void completeCircuits(int count, DecodedTrackConfig& out) {
    TrackConfig& c = out.config;
    if (count == 0) {
        return; // nothing was read: the defaults stand
    }
    std::array<bool, kMaxCircuits + 1> portUsed{};
    for (const auto& circuit : c.circuits) {
        portUsed[static_cast<std::size_t>(circuit.port)] = true;
    }
    for (int i = static_cast<int>(c.circuits.size()); i < count; ++i) {
        int p = 1;
        while (portUsed[static_cast<std::size_t>(p)]) {
            ++p;
        }
        portUsed[static_cast<std::size_t>(p)] = true;
        c.circuits.push_back({static_cast<std::int16_t>(p), ruleFirstLane(c.lanes, count, i + 1)});
    }
    for (std::size_t i = 0; i < c.circuits.size(); ++i) {
        auto& first = c.circuits[i].firstLane;
        if (first < 1) {
            out.problems.push_back("connection " + std::to_string(i + 1) + " starts at lane " +
                                   std::to_string(first));
            first = ruleFirstLane(c.lanes, count, static_cast<int>(i) + 1);
        }
    }
}

void readOrder(ByteReader& r, DecodedTrackConfig& out) {
    TrackConfig& c = out.config;
    c.laneChangeOrder.assign(static_cast<std::size_t>(c.lanes) + 1, 0);
    std::array<bool, kMaxLanes + 1> used{};
    bool truncated = false;
    for (int i = 1; i <= c.lanes; ++i) {
        std::int16_t lane = r.i16();
        if (!r.ok()) {
            truncated = true;
            break;
        }
        if (lane < 1 || lane > kMaxLanes || used[static_cast<std::size_t>(lane)]) {
            out.problems.push_back("position " + std::to_string(i) +
                                   " of the lane-change order holds lane " + std::to_string(lane));
            continue;
        }
        used[static_cast<std::size_t>(lane)] = true;
        c.laneChangeOrder[static_cast<std::size_t>(i)] = lane;
    }
    if (truncated) {
        out.problems.push_back("the file ends inside the lane-change order");
    }
    fillFreeLanes(c.laneChangeOrder);
}

void defaultSplitFields(TrackConfig& c) {
    c.partials = 3;
    c.partialLane = static_cast<std::int16_t>(std::max(1, c.lanes - 1));
    c.speedLane = c.lanes;
    c.speedDistance = 40;
}

void readSplit(std::string_view bytes, DecodedTrackConfig& out) {
    TrackConfig& c = out.config;
    defaultSplitFields(c);
    c.splitTiming = false;
    if (bytes.size() <= kSplitThreshold) {
        return;
    }
    ByteReader r(bytes, kSplitOffset);
    if (r.i16() != -1) {
        return;
    }
    c.splitTiming = true;
    r.i16(); // partials: always 3
    std::int16_t partialLane = r.i16();
    std::int16_t speedLane = r.i16();
    std::int16_t speedDistance = r.i16();
    if (!r.ok()) {
        out.problems.push_back("the file ends inside the split-timing settings");
        return;
    }
    if (partialLane >= 1 && partialLane <= kMaxLanes) {
        c.partialLane = partialLane;
    } else {
        out.problems.push_back("the partial lane is " + std::to_string(partialLane));
    }
    if (speedLane >= 1 && speedLane <= kMaxLanes) {
        c.speedLane = speedLane;
    } else {
        out.problems.push_back("the speed lane is " + std::to_string(speedLane));
    }
    int distance = std::abs(static_cast<int>(speedDistance));
    c.speedDistance = static_cast<std::int16_t>(distance == 0 || distance > 32767 ? 40 : distance);
}

} // namespace

std::string lapTotalFormatFor(int largestPartial) {
    if (largestPartial <= 0) {
        return "0";
    }
    return "0." + std::string(static_cast<std::size_t>(digitCount(largestPartial) - 1), '0');
}

void deriveTrackConfig(TrackConfig& config) {
    config.lanes = static_cast<std::int16_t>(std::clamp<int>(config.lanes, 1, kMaxLanes));
    std::size_t wanted = static_cast<std::size_t>(config.lanes) + 1;
    std::size_t had = config.laneChangeOrder.size();
    config.laneChangeOrder.resize(wanted);
    for (std::size_t i = std::max<std::size_t>(had, 1); i < wanted; ++i) {
        config.laneChangeOrder[i] = static_cast<std::int16_t>(i);
    }
    std::int16_t highest = 0;
    for (std::size_t i = 1; i < wanted; ++i) {
        highest = std::max(highest, config.laneChangeOrder[i]);
    }
    config.laneChangeOrder[0] = highest;
    config.lapTotalFormat = lapTotalFormatFor(config.largestPartial);
    auto point = config.lapTotalFormat.find('.');
    config.decimalsText =
        point == std::string::npos ? std::string() : config.lapTotalFormat.substr(point + 1);
}

TrackConfig defaultTrackConfig() {
    TrackConfig c;
    c.minimumLap = 0.0f;
    c.largestPartial = 0;
    c.circuits = {{1, 1}, {2, 9}};
    c.lanes = kMaxLanes;
    c.storedLanes = kMaxLanes;
    c.laneChangeOrder.clear();
    c.splitTiming = false;
    c.partials = 3;
    c.partialLane = 10;
    c.speedLane = 11;
    c.speedDistance = 40;
    deriveTrackConfig(c);
    return c;
}

std::string encodeTrackConfig(const TrackConfig& config) {
    ByteWriter w;
    w.f32(config.minimumLap);
    w.i16(config.largestPartial);
    w.zeros(3);
    std::size_t circuits = std::min<std::size_t>(config.circuits.size(), kMaxCircuits);
    w.i16(static_cast<std::int16_t>(circuits));
    for (std::size_t i = 0; i < circuits; ++i) {
        w.i16(config.circuits[i].port);
        w.i16(config.circuits[i].firstLane);
    }
    w.zeros(kLanesOffset - w.size());
    int lanes = std::clamp<int>(config.lanes, 1, kMaxLanes);
    w.i16(static_cast<std::int16_t>(lanes));
    for (int i = 1; i <= lanes; ++i) {
        auto pos = static_cast<std::size_t>(i);
        w.i16(pos < config.laneChangeOrder.size() ? config.laneChangeOrder[pos]
                                                  : static_cast<std::int16_t>(i));
    }
    if (config.splitTiming) {
        w.zeros(kSplitOffset - w.size());
        w.i16(-1);
        w.i16(config.partials);
        w.i16(config.partialLane);
        w.i16(config.speedLane);
        w.i16(config.speedDistance);
    }
    return w.take();
}

DecodedTrackConfig decodeTrackConfigChecked(std::string_view bytes) {
    DecodedTrackConfig out;
    TrackConfig& c = out.config;
    c = TrackConfig{};
    ByteReader r(bytes);
    float minimumLap = r.f32();
    if (r.ok()) {
        if (std::isfinite(minimumLap)) {
            c.minimumLap = minimumLap;
        } else {
            out.problems.push_back("the minimum lap time is not a number");
        }
    }
    std::int16_t largestPartial = r.i16();
    if (r.ok()) {
        c.largestPartial =
            static_cast<std::int16_t>(std::clamp<int>(largestPartial, 0, kMaxLargestPartial));
        if (c.largestPartial != largestPartial) {
            out.problems.push_back("the largest partial (" + std::to_string(largestPartial) +
                                   ") is not 0 to 9999");
        }
    }
    r.skip(3);
    int circuitCount = readCircuits(r, out);

    ByteReader lanesReader(bytes, kLanesOffset);
    std::int16_t lanes = lanesReader.i16();
    if (lanesReader.ok()) {
        c.storedLanes = lanes;
        c.lanes = static_cast<std::int16_t>(std::clamp<int>(lanes, 1, kMaxLanes));
        if (lanes < 1) {
            out.problems.push_back("the number of lanes is " + std::to_string(lanes));
        }
    } else {
        out.problems.push_back("the file ends before the number of lanes");
    }
    completeCircuits(circuitCount, out);
    readOrder(lanesReader, out);
    readSplit(bytes, out);
    deriveTrackConfig(c);
    return out;
}

TrackConfig decodeTrackConfig(std::string_view bytes) {
    return decodeTrackConfigChecked(bytes).config;
}

std::expected<DecodedTrackConfig, std::string> loadTrackConfigChecked(const fs::path& file) {
    auto bytes = readFileBytes(file);
    if (!bytes) {
        return std::unexpected(bytes.error());
    }
    return decodeTrackConfigChecked(*bytes);
}

std::expected<TrackConfig, std::string> loadTrackConfig(const fs::path& file) {
    auto decoded = loadTrackConfigChecked(file);
    if (!decoded) {
        return std::unexpected(decoded.error());
    }
    return std::move(decoded->config);
}

IoResult saveTrackConfig(const fs::path& file, const TrackConfig& config) {
    return writeFileAtomic(file, encodeTrackConfig(config));
}

} // namespace cronovolta

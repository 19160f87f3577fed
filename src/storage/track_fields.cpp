#include "storage/track_fields.h"

#include "storage/event_files.h"
#include "storage/formatting.h"
#include "storage/number_format.h"
#include "storage/participant_list.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace cronovolta {
namespace {

constexpr int kMaxCircuits = 4;

// The integer part of a typed number, kept within what the fields can hold.
int wholeNumber(std::string_view text) {
    double v = std::trunc(numericValue(text));
    return static_cast<int>(std::clamp(v, -32768.0, 32767.0));
}

void resetOrder(TrackConfig& config) {
    config.laneChangeOrder.clear();
    deriveTrackConfig(config);
}

bool validCircuit(const TrackConfig& config, int circuit) {
    return circuit >= 1 && circuit <= static_cast<int>(config.circuits.size());
}

std::string leaveLaneField(std::int16_t& lane, const TrackConfig& config, std::string_view text) {
    lane = static_cast<std::int16_t>(std::clamp(wholeNumber(text), 1, int{config.lanes}));
    return std::to_string(lane);
}

// The heat counter of a series: the first 16 bits of its participant file.
int heatCounter(const fs::path& eventFolder, ProgrammeType programmeType, int seriesNumber) {
    auto list = readParticipantList(participantFile(eventFolder, programmeType, seriesNumber));
    return list ? list->heatsDone : 0;
}

} // namespace

void prepareTrackDialog(TrackConfig& config) {
    if (config.lanesAboveMaximum()) {
        config.lanes = kMaxLanes;
        config.storedLanes = kMaxLanes;
        resetOrder(config);
    }
}

std::string leaveLaneCount(TrackConfig& config, std::string_view text) {
    int lanes = std::clamp(wholeNumber(text), 1, kMaxLanes);
    if (lanes != config.lanes) {
        config.lanes = static_cast<std::int16_t>(lanes);
        config.storedLanes = config.lanes;
        config.speedLane = config.lanes;
        config.partialLane = static_cast<std::int16_t>(std::max(1, lanes - 1));
        resetOrder(config);
    }
    return std::to_string(lanes);
}

OrderBoxChange leaveOrderBox(TrackConfig& config, int position, std::string_view text) {
    if (position < 1 || position > config.lanes) {
        return {};
    }
    deriveTrackConfig(config);
    auto& order = config.laneChangeOrder;
    auto lane = static_cast<std::int16_t>(std::clamp(wholeNumber(text), 1, kMaxLanes));
    auto here = static_cast<std::size_t>(position);
    OrderBoxChange change;
    for (std::size_t j = 1; j < order.size(); ++j) {
        if (j != here && order[j] == lane) {
            order[j] = order[here];
            change.swappedPosition = static_cast<int>(j);
            break;
        }
    }
    order[here] = lane;
    deriveTrackConfig(config);
    change.text = std::to_string(lane);
    return change;
}

int nextOrderBox(int position, int lanes) {
    return position >= lanes ? 1 : position + 1;
}

std::string leaveMinimumLap(TrackConfig& config, std::string_view text) {
    double v = numericValue(text);
    std::string shown;
    if (v < 0) {
        shown = "00.00";
    } else if (v > 99.99) {
        shown = "99.99";
    } else {
        shown = formatNumber(v, "0.00");
    }
    config.minimumLap = static_cast<float>(numericValue(shown));
    return shown;
}

std::string leaveLargestPartial(TrackConfig& config, std::string_view text) {
    int v = std::clamp(wholeNumber(text), 0, 9999);
    config.largestPartial = static_cast<std::int16_t>(v);
    deriveTrackConfig(config);
    return std::to_string(v);
}

void chooseCircuitCount(TrackConfig& config, int count) {
    count = std::clamp(count, 1, kMaxCircuits);
    config.circuits.assign(static_cast<std::size_t>(count), CircuitConfig{});
    for (int c = 1; c <= count; ++c) {
        auto& circuit = config.circuits[static_cast<std::size_t>(c - 1)];
        circuit.port = static_cast<std::int16_t>(c);
        double first = static_cast<double>(config.lanes) / count * (c - 1) + 1;
        circuit.firstLane = static_cast<std::int16_t>(numericValue(formatNumber(first, "0")));
    }
}

int choosePort(TrackConfig& config, int circuit, int port) {
    if (!validCircuit(config, circuit) || port < 1 || port > kMaxCircuits) {
        return 0;
    }
    auto& mine = config.circuits[static_cast<std::size_t>(circuit - 1)];
    int gaveUp = 0;
    for (std::size_t k = 0; k < config.circuits.size(); ++k) {
        auto& other = config.circuits[k];
        if (&other != &mine && other.port == port) {
            other.port = mine.port;
            gaveUp = static_cast<int>(k) + 1;
            break;
        }
    }
    mine.port = static_cast<std::int16_t>(port);
    return gaveUp;
}

std::string portCaption(int port) {
    return "COM" + std::to_string(port);
}

int circuitBeyondLanes(const TrackConfig& config) {
    for (std::size_t c = 0; c < config.circuits.size(); ++c) {
        if (config.circuits[c].firstLane > config.lanes) {
            return static_cast<int>(c) + 1;
        }
    }
    return 0;
}

std::string leaveFirstLane(TrackConfig& config, int circuit, std::string_view text) {
    if (!validCircuit(config, circuit)) {
        return {};
    }
    auto& circuits = config.circuits;
    auto index = static_cast<std::size_t>(circuit - 1);
    if (!firstLaneEditable(circuit)) {
        return std::to_string(circuits[index].firstLane);
    }
    // A lane beyond the last one a track can have is no start of a counter's block.
    int first = std::min(std::abs(wholeNumber(text)), kMaxLanes);
    int previous = circuits[index - 1].firstLane;
    // Pushing a block on never takes it past the last lane a track can have.
    if (previous > first) {
        first = std::min(previous + 1, kMaxLanes);
    }
    circuits[index].firstLane = static_cast<std::int16_t>(first);
    for (std::size_t k = index + 1; k < circuits.size(); ++k) {
        if (circuits[k].firstLane < circuits[k - 1].firstLane) {
            circuits[k].firstLane =
                static_cast<std::int16_t>(std::min(circuits[k - 1].firstLane + 1, kMaxLanes));
        }
    }
    return std::to_string(first);
}

void chooseSplitTiming(TrackConfig& config, bool on) {
    config.splitTiming = on;
}

std::string leavePartials(TrackConfig& config, std::string_view text) {
    config.partials = static_cast<std::int16_t>(wholeNumber(text));
    return std::string(text);
}

std::string leavePartialLane(TrackConfig& config, std::string_view text) {
    return leaveLaneField(config.partialLane, config, text);
}

std::string leaveSpeedLane(TrackConfig& config, std::string_view text) {
    return leaveLaneField(config.speedLane, config, text);
}

std::string leaveSpeedDistance(TrackConfig& config, std::string_view text) {
    int distance = std::min(std::abs(wholeNumber(text)), 32767);
    config.speedDistance = static_cast<std::int16_t>(distance == 0 ? 40 : distance);
    return std::to_string(config.speedDistance);
}

bool heatsAlreadyRun(const fs::path& eventFolder) {
    if (heatCounter(eventFolder, ProgrammeType::OfficialPractice, 1) > 0 ||
        heatCounter(eventFolder, ProgrammeType::SuperPole, 1) > 0) {
        return true;
    }
    auto header = readEventHeader(eventFolder / kEventHeaderFileName);
    int races = header ? header->header.seriesCounts[index(ProgrammeType::Race) - 1] : 0;
    for (int s = 1; s <= races; ++s) {
        if (heatCounter(eventFolder, ProgrammeType::Race, s) > 0) {
            return true;
        }
    }
    return false;
}

} // namespace cronovolta

// The Super Pole's runs and its split timing.
#include "heat/super_pole_run.h"
#include "heat/heat_panel.h"

#include "storage/number_format.h"

#include <cmath>
#include <system_error>

namespace cronovolta {

void SuperPoleRun::open(bool superPole, bool splitDisplay, const fs::path& dataDir,
                        const ColourSlots& colours) {
    m_model = SuperPoleModel{};
    m_dataDir = dataDir;
    m_colours = colours;
    if (superPole) {
        m_model.shown = true;
        m_model.splitDisplay = splitDisplay;
        fs::path picture = dataDir / "INFOGRAF" / "0000.GIF";
        std::error_code ec;
        if (fs::exists(picture, ec)) {
            m_model.images[0] = picture;
        }
    }
}

void SuperPoleRun::resetForHeat() {
    m_activeLane = 0;
    m_splitStored = false;
}

void SuperPoleRun::clearRuns() {
    m_model.onTrack.clear();
    m_model.timing.clear();
    m_model.timing.push_back({});
    m_model.splits.clear();
}

void SuperPoleRun::startRun(const std::string& partialHeading, const std::string& speedHeading) {
    auto& timing = m_model.timing;
    if (timing.empty()) {
        timing.push_back({});
    }
    std::array<std::string, spcol::Count> row;
    row[spcol::Run] = std::to_string(timing.size());
    row[spcol::Name] = m_model.onTrack;
    row[spcol::Lane] = std::to_string(m_activeLane);
    row[spcol::Lap] = "0.0";
    timing.push_back(row);
    if (m_model.splits.empty()) {
        m_model.splits.push_back({SplitCell{partialHeading}, {partialHeading}, {speedHeading}});
    }
    m_model.splits.push_back({});
}

void SuperPoleRun::finishRun(const std::string& lapTextShown) {
    if (m_model.timing.size() >= 2) {
        m_model.timing.back()[spcol::Lap] = lapTextShown;
    }
}

void SuperPoleRun::writeSectorValue(int column, double value, const std::string& text) {
    if (m_model.splits.size() < 2 || m_model.timing.size() < 2) {
        return;
    }
    SplitCell& cell = m_model.splits.back()[static_cast<std::size_t>(column - 1)];
    cell.text = text;
    cell.colour = -1;
    m_model.timing.back()[static_cast<std::size_t>(spcol::Split1 + column - 1)] = text;
    if (m_model.splits.size() > 2) {
        int rank = sectorRank(m_model, column, value);
        static constexpr int kSlotByRank[] = {0, 1, 5, 2};
        cell.colour = rank <= 3 ? m_colours.slot[static_cast<std::size_t>(kSlotByRank[rank])]
                                : kQbBrightWhite;
        fs::path picture = sectorPicture(m_dataDir, column, rank);
        std::error_code ec;
        if (fs::exists(picture, ec)) {
            m_model.images[static_cast<std::size_t>(column)] = picture;
        }
    }
    rememberSectorValue(m_model, column, value);
}

void SuperPoleRun::storeSplit(float time, int lane) {
    m_splitStored = true;
    m_splitStoredTime = time;
    m_splitStoredLane = lane;
}

SuperPoleRun::SensorReading SuperPoleRun::sensor(int lane, float crossing, float counterTime,
                                                 double sinceRun, const TrackConfig& track) {
    const auto& current = m_model.splits.back();
    SensorReading reading;
    if (lane == track.partialLane) {
        if (current[0].text.empty()) {
            reading.kind = kSplitFirst;
        } else if (current[1].text.empty()) {
            reading.kind = kSplitSecond;
            storeSplit(crossing, lane);
        } else {
            reading.kind = kSplitBothFilled;
        }
        if (reading.kind != kSplitBothFilled) {
            reading.value = static_cast<float>(sinceRun);
            writeSectorValue(reading.kind == kSplitFirst ? 1 : 2, sinceRun,
                             formatNumber(sinceRun, "0.00"));
        }
        return reading;
    }
    // Two crossings of the speed input, or the second split and the speed input, frame
    // the trap; the counter's own lap time is the finer measure when it has one.
    double between = m_splitStoredLane == lane && counterTime != 0.0f
                         ? static_cast<double>(counterTime)
                         : static_cast<double>(crossing) - m_splitStoredTime;
    if (!m_splitStored || between <= 0.0) {
        reading.kind = kSplitSpeedStart;
        storeSplit(crossing, lane);
    } else {
        double speed = std::fabs(track.speedDistance / 100.0 / between * 3.6);
        reading.kind = kSplitSpeed;
        reading.value = static_cast<float>(speed);
        m_splitStored = false;
        writeSectorValue(3, speed, formatNumber(speed, "0.00"));
    }
    return reading;
}

void SuperPoleRun::replaySensor(int lane, const LapRecord& record) {
    if (record.splitKind == kSplitFirst || record.splitKind == kSplitSecond) {
        int column = record.splitKind == kSplitFirst ? 1 : 2;
        writeSectorValue(column, record.splitValue, formatSingle(record.splitValue, "0.00"));
        if (column == 2) {
            storeSplit(record.crossingTime, lane);
        }
    } else if (record.splitKind == kSplitSpeedStart) {
        storeSplit(record.crossingTime, lane);
    } else if (record.splitKind == kSplitSpeed) {
        m_splitStored = false;
        writeSectorValue(3, record.splitValue, formatSingle(record.splitValue, "0.00"));
    }
}

} // namespace cronovolta

#include "heat/standings_records.h"

#include "storage/number_format.h"

#include <cmath>

namespace cronovolta {

std::int16_t toInt16(double value) {
    if (!std::isfinite(value)) {
        return 0;
    }
    double r = std::nearbyint(value); // banker's rounding, as a 16-bit conversion rounds
    if (r > 32767.0) {
        return 32767;
    }
    if (r < -32768.0) {
        return -32768;
    }
    return static_cast<std::int16_t>(r);
}

void fillStandingsRow(StandingsGrid& grid, int row, const HeatResultRecord& record,
                      const std::string& name, ProgrammeType programmeType,
                      const TrackConfig& config) {
    const bool race = programmeType == ProgrammeType::Race;
    int number = record.participant;
    grid.setText(row, col::RaceNumber, std::to_string(number));
    grid.setText(row, col::Name, name);
    grid.setText(row, col::SeriesLaps, formatLaps(record.seriesLaps, false, config));
    if (race) {
        grid.setText(row, col::OrderTime,
                     record.seriesLaps != 0.0f ? formatSingle(-record.crossingTime, "0.00")
                                               : std::to_string(-number));
    } else {
        grid.setText(row, col::OrderTime,
                     record.fastestLap != 0.0f ? std::string("0") : std::to_string(number));
    }
    grid.setText(row, col::Fastest, formatSingle(record.fastestLap, "0.0000;;\\ \\"));
    grid.setText(row, col::FastestTime, formatSingle(record.crossingTime, "0.00"));
    grid.setText(row, col::FastestLane, formatNumber(record.fastestLane, "#;;\\ \\"));
    grid.setMarker(row, record.lastLaneRank < 0);
    grid.setText(row, col::Lane, formatNumber(record.lane, "#;;\\ \\"));
    grid.setText(row, col::HeatLaps, formatLaps(record.heatLaps, false, config));
    grid.setText(row, col::Adjustments, formatNumber(record.adjustments, "+#;-#;\\ \\"));
    grid.setText(row, col::LastLap,
                 record.lastLap == 1.0f ? std::string("+1")
                                        : formatSingle(record.lastLap, "0.0000;;\\ \\"));
    grid.setText(row, col::HeatFastest, formatSingle(record.heatFastestLap, "0.0000;;\\ \\"));
    if (record.heatRank > 0.0f) {
        grid.setText(row, col::HeatRank,
                     formatSingle(record.heatRank,
                                  programmeType == ProgrammeType::SuperPole ? "0.00;;\\ \\" : "0"));
    } else {
        grid.setText(row, col::HeatRank, "");
    }
    grid.setText(row, col::HeatKey1, formatSingle(record.sortKey1, "0.00;;\\ \\"));
    grid.setText(row, col::HeatKey2, formatSingle(record.sortKey2, "0.00;;\\ \\"));
}

HeatResultRecord recordFromStandingsRow(const StandingsGrid& grid, int row,
                                        ProgrammeType programmeType, int lastLane) {
    auto single = [&](int column) { return static_cast<float>(grid.value(row, column)); };
    HeatResultRecord rec;
    rec.participant = toInt16(grid.value(row, col::RaceNumber));
    rec.seriesLaps = single(col::SeriesLaps);
    if (programmeType == ProgrammeType::Race) {
        rec.crossingTime = rec.seriesLaps > 0.0f ? -single(col::OrderTime) : 0.0f;
    } else {
        rec.crossingTime = single(col::FastestTime);
    }
    rec.fastestLap = single(col::Fastest);
    rec.fastestLane = toInt16(grid.value(row, col::FastestLane));
    std::int16_t rank = toInt16(grid.value(row, col::HeatRank));
    bool crossedLast = lastLane > 0 && grid.value(row, col::Lane) == lastLane &&
                       grid.value(row, col::HeatLaps) >= 1.0;
    rec.lastLaneRank = crossedLast ? static_cast<std::int16_t>(-rank) : rank;
    rec.lane = toInt16(grid.value(row, col::Lane));
    rec.heatLaps = single(col::HeatLaps);
    rec.adjustments = toInt16(grid.value(row, col::Adjustments));
    rec.lastLap = single(col::LastLap);
    rec.heatFastestLap = single(col::HeatFastest);
    rec.heatRank = single(col::HeatRank);
    rec.sortKey1 = single(col::HeatKey1);
    rec.sortKey2 = single(col::HeatKey2);
    return rec;
}

} // namespace cronovolta

#include "heat/standings_layout.h"

#include <algorithm>

namespace cronovolta {

StandingsRowSize standingsRowSize(int participants) {
    int shown = std::min(participants, 24);
    if (shown <= 12) {
        return {600, 14};
    }
    if (shown <= 14) {
        return {525, 12};
    }
    if (shown <= 16) {
        return {450, 12};
    }
    if (shown <= 18) {
        return {400, 10};
    }
    if (shown <= 20) {
        return {375, 10};
    }
    return {310, 10};
}

std::array<int, col::Count> standingsColumnWidths(ProgrammeType programmeType) {
    std::array<int, col::Count> w{};
    w[col::Rank] = 450;
    w[col::Name] = 2300;
    w[col::GapLeader] = 1075;
    w[col::GapPrevious] = 1075;
    w[col::Heats] = 400;
    w[col::Lane] = 600;
    w[col::HeatLaps] = 1000;
    w[col::LastLap] = 1075;
    w[col::HeatFastest] = 1075;
    w[col::HeatRank] = 450;
    switch (programmeType) {
    case ProgrammeType::OfficialPractice:
        w[col::Fastest] = 1400;
        w[col::FastestLane] = 600;
        break;
    case ProgrammeType::SuperPole:
        // One driver a heat: the series' fastest laps and their gaps are what counts.
        w[col::Fastest] = 1400;
        w[col::FastestLane] = 600;
        for (int c : {col::Heats, col::Lane, col::HeatLaps, col::LastLap, col::HeatFastest,
                      col::HeatRank}) {
            w[static_cast<std::size_t>(c)] = 0;
        }
        break;
    case ProgrammeType::Race:
        w[col::SeriesLaps] = 1500;
        w[col::Adjustments] = 500;
        break;
    default:
        break;
    }
    return w;
}

} // namespace cronovolta

#include "live/live_heat.h"

#include "heat/standings_layout.h"
#include "live/live_texts.h"
#include "storage/formatting.h"

#include <algorithm>

namespace cronovolta::live {
namespace {

bool blankText(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c == ' '; });
}

LiveTable standingsTable(const HeatEngine& engine) {
    LiveTable table;
    const StandingsGrid& grid = engine.standings();
    const auto& headings = engine.standingsHeadings();
    std::vector<int> columns{col::Rank, col::Name};
    for (int c : engine.visibleStandingsColumns()) {
        columns.push_back(c);
    }
    for (int c : columns) {
        table.columns.push_back(c < static_cast<int>(headings.size())
                                    ? headings[static_cast<std::size_t>(c)]
                                    : std::string());
        table.align += c == col::Name ? 'l' : c == col::Rank ? 'c' : 'r';
    }
    for (int r = 1; r <= grid.rowCount(); ++r) {
        if (blankText(grid.text(r, col::Name))) {
            continue;
        }
        std::vector<std::string> row;
        for (int c : columns) {
            row.push_back(grid.shownText(r, c));
        }
        table.rows.push_back(std::move(row));
    }
    return table;
}

// Free practice has no standings: each lane's driver, laps, last and fastest lap.
LiveTable lanesTable(const HeatEngine& engine, const LiveTexts& t) {
    LiveTable table;
    table.columns = {t.lane, t.name, t.laps, t.lastLap, t.fastestLap};
    table.align = "clrrr";
    const LapLanes& lanes = engine.lanes();
    for (int lane = 1; lane <= lanes.highestLane(); ++lane) {
        if (!lanes.takesPart(lane)) {
            continue;
        }
        const LanePanel& p = lanes.panel(lane);
        const int laps = p.lapCount();
        std::string last = p.rows.size() > 2 ? p.rows.back() : std::string();
        table.rows.push_back({std::to_string(lane), p.pilot, laps > 0 ? std::to_string(laps) : "",
                              last, p.fastestLap});
    }
    return table;
}

void setFastestLap(const HeatEngine& engine, LiveSnapshot& s) {
    const LapLanes& lanes = engine.lanes();
    double best = 0.0;
    for (int lane = 1; lane <= lanes.highestLane(); ++lane) {
        const LanePanel& p = lanes.panel(lane);
        const double value = lanes.takesPart(lane) ? numericValue(p.fastestLap) : 0.0;
        if (value > 0.0 && (best == 0.0 || value < best)) {
            best = value;
            s.head["fastestTime"] = p.fastestLap;
            s.head["fastestName"] = p.pilot;
            s.head["fastestLane"] = std::to_string(lane);
        }
    }
}

} // namespace

LiveSnapshot idleSnapshot(const LiveContext& context) {
    const LiveTexts& t = liveTexts(context.language);
    LiveSnapshot s;
    s.head = {{"lang", t.lang},
              {"title", t.title},
              {"event", context.eventName},
              {"heatLabel", t.heat},
              {"fastestLabel", t.fastest},
              {"standingsLabel", t.standings},
              {"classificationLabel", t.classification},
              {"pausedLabel", t.paused},
              {"offlineLabel", t.offline},
              {"state", "idle"},
              {"stateText", t.noHeat}};
    s.classification = context.classification;
    return s;
}

LiveSnapshot heatSnapshot(const HeatEngine& engine, const LiveContext& context) {
    LiveSnapshot s = idleSnapshot(context);
    if (!engine.programmeOpen()) {
        return s;
    }
    const LiveTexts& t = liveTexts(context.language);
    const ProgrammeRequest& programme = engine.programme();
    const auto& captions = heatTexts(context.language).programmeCaptions;
    std::string series = captions[static_cast<std::size_t>(index(programme.programmeType))];
    if (programme.programmeType >= ProgrammeType::FreePractice) {
        series += " " + (programme.seriesListText.empty() ? std::to_string(programme.seriesNumber)
                                                          : programme.seriesListText);
    }
    std::erase(series, '&');
    s.head["series"] = series;
    s.head["heat"] = engine.heatNumber() > 0 ? std::to_string(engine.heatNumber()) : "";
    s.head["clock"] = engine.panel().clock;
    s.head["state"] = engine.heatPaused() ? "paused" : engine.heatRunning() ? "running" : "idle";
    s.head["stateText"] = engine.heatPaused() ? t.paused : engine.heatRunning() ? "" : t.noHeat;
    s.standings = programme.programmeType >= ProgrammeType::OfficialPractice
                      ? standingsTable(engine)
                      : lanesTable(engine, t);
    setFastestLap(engine, s);
    return s;
}

} // namespace cronovolta::live

#pragma once

#include "heat/standings_grid.h"
#include "output/print_layout.h"
#include "results/results_browser.h"

#include <string>
#include <vector>

namespace cronovolta {

// What heads every page: the event as the main window shows it.
struct ReportEvent {
    std::string name;
    std::string date;
    int language = 0;
};

// The heat just run, as the heat panel knows it.
struct HeatReport {
    ProgrammeType programmeType = ProgrammeType::Race;
    int seriesCount = 1;
    std::string seriesText; // the series list's entry of the series
    int heat = 0;
};

// The classification of the heat just run, from the standings grid and its headings.
PrintLayout layoutClassificationReport(const ReportEvent& event, const HeatReport& heat,
                                       const StandingsGrid& grid,
                                       const std::vector<std::string>& headings);

// The results browser's list as it stands, with its selector settings.
PrintLayout layoutResultsReport(const ReportEvent& event, const ResultsBrowser& browser);

// The lap grid of the browser's heat: one column per lane, in bands of lanes.
struct QuadrantShape {
    Orientation orientation = Orientation::Portrait;
    int lanesPerBand = 4;
    int bands = 1;
    int linesPerPage = 68;
};
QuadrantShape quadrantShape(int lanes);
PrintLayout layoutQuadrantReport(const ReportEvent& event, const ResultsBrowser& browser);

} // namespace cronovolta

// The lap grid of a series after one heat: one column per lane, in bands of lanes.
#include "output/printed_reports.h"
#include "output/report_parts.h"
#include "results/results_texts.h"
#include "storage/event_files.h"

#include <algorithm>
#include <map>
#include <tuple>

namespace cronovolta {
namespace {

// Where the closing value stands; the gaps and the penalty keep to its left.
struct Columns {
    double closing = 0;
    double gapFirst() const { return closing - 28; }
    double gapPrevious() const { return closing - 16; }
    double penalty() const { return closing - 8; }
};

double laneColumn(int place) {
    return 15.0 * (place + 1) + 15;
}

using LapKey = std::tuple<int, int, int, int>; // series, participant, lane, pass

// The row of each participant's laps on every lane and pass up to the heat shown.
struct QuadrantLaps {
    std::map<LapKey, int> rows;
    int passes = 1;
};

QuadrantLaps lapsUpTo(const Classification& list, int heat) {
    QuadrantLaps laps;
    for (std::size_t i = 0; i < list.rows().size(); ++i) {
        const auto& row = list.rows()[i];
        if (row.heat <= heat) {
            const int pass = static_cast<int>(row.values[kColPass]);
            laps.rows[{row.seriesNumber, row.participant, row.lane, pass}] = static_cast<int>(i);
            laps.passes = std::max(laps.passes, pass);
        }
    }
    return laps;
}

// What every part of the grid's page needs to know.
struct QuadrantGrid {
    const ResultsTexts& rt;
    const Classification& list;
    const std::vector<int>& lanes;
    QuadrantShape shape;
    Columns columns;
    bool penalty = false;
    bool race = false;
    std::vector<std::string> titles;

    std::string title(int column) const {
        return static_cast<std::size_t>(column) < titles.size()
                   ? titles[static_cast<std::size_t>(column)]
                   : std::string();
    }
};

void writeHeading(PrintLayout& p, const QuadrantGrid& g) {
    p.writeLeft(5, g.title(kColName));
    p.setFontSize(kSmallFontSize);
    p.writeRight(g.columns.gapFirst(), g.title(kColGapFirst));
    p.writeRight(g.columns.gapPrevious(), g.title(kColGapPrevious));
    if (g.penalty) {
        p.writeRight(g.columns.penalty(), g.title(kColPenalty));
    }
    p.setFontSize(kBaseFontSize);
    p.writeRight(g.columns.closing, g.race ? g.rt.quadrantColumnRace : g.rt.quadrantColumnOther);
    p.newLine();
    for (int band = 0; band < g.shape.bands; ++band) {
        for (int place = 0; place < g.shape.lanesPerBand; ++place) {
            const std::size_t i = static_cast<std::size_t>(band * g.shape.lanesPerBand + place);
            if (i < g.lanes.size()) {
                p.writeCentred(laneColumn(place),
                               g.title(kColLane) + " " + std::to_string(g.lanes[i]));
            }
        }
        p.newLine();
    }
    p.newLine();
}

// A participant's line, then its lane values band by band and pass by pass.
void writeParticipant(PrintLayout& p, const QuadrantGrid& g, const QuadrantLaps& laps,
                      const ClassificationRow& row) {
    const int valueColumn = g.race ? kColHeatLaps : kColHeatFastest;
    const int closingColumn = g.race ? kColTotal : kColFastest;
    p.writeRight(4, rankNumber(row.cells[kColRank]));
    p.writeLeft(4, "-" + row.cells[kColName]);
    // Small print keeps the gaps apart from the lane values below them.
    p.setFontSize(kSmallFontSize);
    p.writeRight(g.columns.gapFirst(), row.cells[kColGapFirst]);
    p.writeRight(g.columns.gapPrevious(), row.cells[kColGapPrevious]);
    if (g.penalty) {
        p.writeRight(g.columns.penalty(), row.cells[kColPenalty]);
    }
    p.setFontSize(kBaseFontSize);
    p.writeRight(g.columns.closing, row.cells[static_cast<std::size_t>(closingColumn)]);
    p.newLine();
    for (int band = 0; band < g.shape.bands; ++band) {
        for (int pass = 1; pass <= laps.passes; ++pass) {
            if (laps.passes > 1) {
                p.writeLeft(10, g.title(kColPass) + " " + std::to_string(pass));
            }
            for (int place = 0; place < g.shape.lanesPerBand; ++place) {
                const std::size_t i = static_cast<std::size_t>(band * g.shape.lanesPerBand + place);
                if (i >= g.lanes.size()) {
                    break;
                }
                auto found = laps.rows.find({row.seriesNumber, row.participant, g.lanes[i], pass});
                if (found != laps.rows.end()) {
                    const auto& cells =
                        g.list.rows()[static_cast<std::size_t>(found->second)].cells;
                    p.writeDecimal(laneColumn(place), cells[static_cast<std::size_t>(valueColumn)]);
                }
            }
            p.newLine();
        }
    }
}

} // namespace

QuadrantShape quadrantShape(int lanes) {
    if (lanes >= 5 && lanes <= 6) {
        return {Orientation::Landscape, 6, 1, 48};
    }
    if (lanes >= 7 && lanes <= 8) {
        return {Orientation::Portrait, 4, 2, 68};
    }
    if (lanes >= 9 && lanes <= 12) {
        return {Orientation::Landscape, 6, 2, 48};
    }
    if (lanes > 12) {
        return {Orientation::Portrait, 4, (lanes - 1) / 4 + 1, 68};
    }
    return {};
}

PrintLayout layoutQuadrantReport(const ReportEvent& event, const ResultsBrowser& browser) {
    const ResultsTexts& rt = resultsTexts(event.language);
    const Classification& list = browser.list();
    const bool race = browser.setup().programmeType == ProgrammeType::Race;
    const std::vector<int>& lanes = list.lanes();
    const QuadrantShape shape = quadrantShape(static_cast<int>(lanes.size()));
    const bool landscape = shape.orientation == Orientation::Landscape;
    const double dateColumn = landscape ? kLandscapeDateColumn : kPortraitDateColumn;
    const Columns columns{15.0 * shape.lanesPerBand + 32};
    const bool penalty = list.columnWidth(kColPenalty) > 0;
    const int heat = browser.selectedHeat();
    const QuadrantGrid grid{rt,      list,    lanes, shape,
                            columns, penalty, race,  layoutTitles(rt.listLayout)};
    const QuadrantLaps laps = lapsUpTo(list, heat);
    auto heading = [&grid](PrintLayout& p) { writeHeading(p, grid); };

    PrintLayout p(shape.orientation, shape.linesPerPage);
    writePageHeader(p, event, dateColumn);
    p.writeLeft(5, (race ? rt.quadrantTitleRace : rt.quadrantTitleOther) + std::to_string(heat));
    p.newLine(2);
    heading(p);
    repeatOnEveryPage(p, event, dateColumn, heading);
    const int blockLines = shape.bands * laps.passes + 1;
    for (int r : browser.visibleRows()) {
        p.ensureRoom(blockLines);
        writeParticipant(p, grid, laps, list.rows()[static_cast<std::size_t>(r)]);
    }
    p.setPageStart(nullptr);
    return p;
}

} // namespace cronovolta

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

PrintLayout ImprimirQuadrant(const ReportEvent& event, const ResultsBrowser& browser) {
    const ResultsTexts& rt = resultsTexts(event.language);
    const Classification& list = browser.list();
    const bool race = browser.setup().programa == ProgrammeType::Race;
    const std::vector<int>& lanes = list.lanes();
    const QuadrantShape shape = quadrantShape(static_cast<int>(lanes.size()));
    const bool landscape = shape.orientation == Orientation::Landscape;
    const double dateColumn = landscape ? kLandscapeDateColumn : kPortraitDateColumn;
    const Columns columns{15.0 * shape.lanesPerBand + 32};
    const bool penalty = list.columnWidth(kColPenalty) > 0;
    const int heat = browser.selectedHeat();
    const auto titles = layoutTitles(rt.listLayout);
    auto title = [&titles](int column) {
        return static_cast<std::size_t>(column) < titles.size()
                   ? titles[static_cast<std::size_t>(column)]
                   : std::string();
    };

    // The laps of every participant on every lane and pass up to the heat shown.
    std::map<LapKey, int> laps;
    int passes = 1;
    for (std::size_t i = 0; i < list.rows().size(); ++i) {
        const auto& row = list.rows()[i];
        if (row.heat <= heat) {
            const int pass = static_cast<int>(row.values[kColPass]);
            laps[{row.serie, row.participant, row.lane, pass}] = static_cast<int>(i);
            passes = std::max(passes, pass);
        }
    }
    const int valueColumn = race ? kColHeatLaps : kColHeatFastest;
    const int closingColumn = race ? kColTotal : kColFastest;

    auto heading = [&](PrintLayout& p) {
        p.EscriureA(5, title(kColName));
        p.setFontSize(kSmallFontSize);
        p.EscriureDreta(columns.gapFirst(), title(kColGapFirst));
        p.EscriureDreta(columns.gapPrevious(), title(kColGapPrevious));
        if (penalty) {
            p.EscriureDreta(columns.penalty(), title(kColPenalty));
        }
        p.setFontSize(kBaseFontSize);
        p.EscriureDreta(columns.closing, race ? rt.quadrantColumnRace : rt.quadrantColumnOther);
        p.newLine();
        for (int band = 0; band < shape.bands; ++band) {
            for (int place = 0; place < shape.lanesPerBand; ++place) {
                const std::size_t i = static_cast<std::size_t>(band * shape.lanesPerBand + place);
                if (i < lanes.size()) {
                    p.EscriureCentre(laneColumn(place),
                                     title(kColLane) + " " + std::to_string(lanes[i]));
                }
            }
            p.newLine();
        }
        p.newLine();
    };

    PrintLayout p(shape.orientation, shape.linesPerPage);
    writePageHeader(p, event, dateColumn);
    p.EscriureA(5, (race ? rt.quadrantTitleRace : rt.quadrantTitleOther) + std::to_string(heat));
    p.newLine(2);
    heading(p);
    repeatOnEveryPage(p, event, dateColumn, heading);
    const int blockLines = shape.bands * passes + 1;
    for (int r : browser.visibleRows()) {
        const auto& row = list.rows()[static_cast<std::size_t>(r)];
        p.ensureRoom(blockLines);
        p.EscriureDreta(4, rankNumber(row.cells[kColRank]));
        p.EscriureA(4, "-" + row.cells[kColName]);
        // Small print keeps the gaps apart from the lane values below them.
        p.setFontSize(kSmallFontSize);
        p.EscriureDreta(columns.gapFirst(), row.cells[kColGapFirst]);
        p.EscriureDreta(columns.gapPrevious(), row.cells[kColGapPrevious]);
        if (penalty) {
            p.EscriureDreta(columns.penalty(), row.cells[kColPenalty]);
        }
        p.setFontSize(kBaseFontSize);
        p.EscriureDreta(columns.closing, row.cells[static_cast<std::size_t>(closingColumn)]);
        p.newLine();
        for (int band = 0; band < shape.bands; ++band) {
            for (int pass = 1; pass <= passes; ++pass) {
                if (passes > 1) {
                    p.EscriureA(10, title(kColPass) + " " + std::to_string(pass));
                }
                for (int place = 0; place < shape.lanesPerBand; ++place) {
                    const std::size_t i =
                        static_cast<std::size_t>(band * shape.lanesPerBand + place);
                    if (i >= lanes.size()) {
                        break;
                    }
                    auto found = laps.find({row.serie, row.participant, lanes[i], pass});
                    if (found != laps.end()) {
                        const auto& cells =
                            list.rows()[static_cast<std::size_t>(found->second)].cells;
                        p.EscriureDecimal(laneColumn(place),
                                          cells[static_cast<std::size_t>(valueColumn)]);
                    }
                }
                p.newLine();
            }
        }
    }
    p.setPageStart(nullptr);
    return p;
}

} // namespace cronovolta

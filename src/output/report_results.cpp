// The results browser's list, printed with its selector settings.
#include "output/print_texts.h"
#include "output/printed_reports.h"
#include "output/report_parts.h"
#include "results/results_texts.h"

#include <algorithm>

namespace cronovolta {
namespace {

// Row 0 is the headings row: it has no position.
void writeRow(PrintLayout& p, const Classification& list,
              const std::array<std::string, kClassColumnCount>& cells, bool headings) {
    if (!headings) {
        if (auto rank = rankNumber(cells[kColRank]); !rank.empty()) {
            p.writeRight(8, rank);
            p.writeLeft(8, ".-");
        }
    }
    p.writeLeft(10, cells[kColName]);
    p.setFontSize(kSmallFontSize);
    p.writeCentred(35, cells[kColSeriesNumber]);
    p.writeCentred(40, cells[kColPass]);
    p.writeCentred(45, cells[kColLane]);
    p.writeCentred(50, cells[kColHeat]);
    p.setFontSize(kBaseFontSize);
    for (int c : {kColTotal, kColFastest, kColHeatLaps, kColHeatFastest}) {
        if (list.columnWidth(c) > 0) {
            p.writeRight(65, cells[static_cast<std::size_t>(c)]);
        }
    }
    p.setFontSize(kSmallFontSize);
    p.writeRight(78, cells[kColGapFirst]);
    p.writeRight(87, cells[kColGapPrevious]);
    if (list.columnWidth(kColPenalty) > 0) {
        p.writeRight(92, cells[kColPenalty]);
    }
    p.setFontSize(kBaseFontSize);
    p.newLine();
}

// A label ending at `column`, a blank, then the selector's text.
void writeSelector(PrintLayout& p, double column, const std::string& label,
                   const ResultsBrowser& browser, ResultsBrowser::Filter filter) {
    p.writeRight(column, label);
    const auto& entries = browser.entries(filter);
    const int selected = browser.selected(filter);
    if (selected >= 0 && selected < static_cast<int>(entries.size())) {
        p.writeLeft(column + 1, entries[static_cast<std::size_t>(selected)]);
    }
}

} // namespace

PrintLayout layoutResultsReport(const ReportEvent& event, const ResultsBrowser& browser) {
    using F = ResultsBrowser::Filter;
    const PrintTexts& t = printTexts(event.language);
    const ResultsTexts& rt = resultsTexts(event.language);
    const Classification& list = browser.list();
    std::array<std::string, kClassColumnCount> titles;
    auto layout = layoutTitles(rt.listLayout);
    for (std::size_t c = 0; c < titles.size() && c < layout.size(); ++c) {
        titles[c] = layout[c];
    }
    auto headingBlock = [&](PrintLayout& p) {
        writeRow(p, list, titles, true);
        p.newLine();
    };

    PrintLayout p;
    writePageHeader(p, event, kPortraitDateColumn);
    const ProgrammeType programmeType =
        std::clamp(browser.setup().programmeType, ProgrammeType::Practice, ProgrammeType::Race);
    p.writeLeft(5, t.classification +
                       t.programmeCaptions[static_cast<std::size_t>(index(programmeType))]);
    p.newLine(2);
    writeSelector(p, 20, rt.seriesLabel, browser, F::kSeries);
    writeSelector(p, 50, rt.participantLabel, browser, F::kParticipant);
    p.newLine();
    writeSelector(p, 20, rt.passLabel, browser, F::kPass);
    writeSelector(p, 50, rt.laneLabel, browser, F::kLane);
    writeSelector(p, 80, rt.heatLabel, browser, F::kHeat);
    p.newLine();
    p.writeRight(20, rt.criterionLabel);
    const int criterion = std::clamp(browser.criterion(), 1, 4);
    p.writeLeft(21, withoutAccelerators(rt.criteria[static_cast<std::size_t>(criterion - 1)]));
    p.newLine(2);
    headingBlock(p);
    repeatOnEveryPage(p, event, kPortraitDateColumn, headingBlock);
    for (int r : browser.visibleRows()) {
        writeRow(p, list, list.rows()[static_cast<std::size_t>(r)].cells, false);
    }
    p.setPageStart(nullptr);
    return p;
}

} // namespace cronovolta

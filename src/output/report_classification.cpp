// The classification of the heat just run, printed from the heat panel.
#include "output/print_texts.h"
#include "output/printed_reports.h"
#include "output/report_parts.h"
#include "storage/event_files.h"
#include "storage/number_format.h"

#include <algorithm>

namespace cronovolta {
namespace {

// Row 0 is the headings row: it has no position.
void writeRow(PrintLayout& p, int row, bool race, const std::vector<std::string>& cells) {
    auto cell = [&cells](int column) -> const std::string& {
        return cells[static_cast<std::size_t>(column)];
    };
    auto bracketed = [&cell](int column) {
        return trimBlanks(cell(column)).empty() ? std::string() : "[" + cell(column) + "]";
    };
    if (row >= 1) {
        p.writeRight(8, std::to_string(row));
        p.writeLeft(8, ".-");
    }
    p.writeLeft(10, cell(col::Name));
    if (race) {
        p.writeRight(40, cell(col::SeriesLaps));
    } else {
        p.writeRight(38, cell(col::Fastest));
    }
    p.writeCentred(45, bracketed(col::FastestLane));
    // The gap headings are wider than the gaps and would run into the lane's heading.
    p.setFontSize(row == 0 ? kSmallFontSize : kBaseFontSize);
    p.writeRight(55, cell(col::GapLeader));
    p.writeRight(65, cell(col::GapPrevious));
    p.setFontSize(kBaseFontSize);
    p.writeCentred(74, bracketed(col::Lane));
    p.writeRight(85, cell(col::HeatLaps));
    p.writeRight(95, cell(col::HeatFastest));
    p.newLine();
}

} // namespace

PrintLayout layoutClassificationReport(const ReportEvent& event, const HeatReport& heat,
                                       const StandingsGrid& grid,
                                       const std::vector<std::string>& headings) {
    const PrintTexts& t = printTexts(event.language);
    const bool race = heat.programmeType == ProgrammeType::Race;
    std::vector<std::string> titles = headings;
    titles.resize(col::Count);
    auto headingBlock = [&](PrintLayout& p) {
        writeRow(p, 0, race, titles);
        p.newLine();
    };

    PrintLayout p;
    writePageHeader(p, event, kPortraitDateColumn);
    std::string title =
        t.classification +
        lowerAscii(t.programmeCaptions[static_cast<std::size_t>(
            index(std::clamp(heat.programmeType, ProgrammeType::Practice, ProgrammeType::Race)))]);
    if (heat.seriesCount > 1) {
        title += " - " + t.seriesLabel + heat.seriesText;
    }
    p.writeLeft(5, title);
    p.newLine();
    p.writeLeft(5, t.finishedHeat + printedNumber(static_cast<float>(heat.heat)));
    p.newLine(3);
    headingBlock(p);
    repeatOnEveryPage(p, event, kPortraitDateColumn, headingBlock);
    std::vector<std::string> cells(col::Count);
    for (int r = 1; r <= grid.rowCount(); ++r) {
        for (int c = 0; c < col::Count; ++c) {
            cells[static_cast<std::size_t>(c)] = grid.shownText(r, c);
        }
        writeRow(p, r, race, cells);
    }
    p.setPageStart(nullptr);
    return p;
}

} // namespace cronovolta

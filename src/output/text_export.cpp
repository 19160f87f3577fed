#include "output/text_export.h"

#include "storage/platform.h"

#include "results/results_source.h"
#include "results/results_texts.h"
#include "storage/event_files.h"
#include "storage/formatting.h"
#include "storage/number_format.h"
#include "storage/text_encoding.h"
#include "texts/grid_layout.h"
#include "texts/language_tables.h"

#include <map>
#include <memory>
#include <tuple>

namespace cronovolta {
namespace {

constexpr std::size_t kSinkBytes = 1 << 20;

constexpr int kSteps = 18;
constexpr double kNoTime = 99.0; // a value above it is a lap time that was never set

enum TitleRow {
    kGridsTitle = 0,
    kAfterHeatTitle,
    kLapsTableTitle,
    kFastestTableTitle,
    kLaneTitle,
    kLaneTableTitle,
    kHeatTitle,
    kHeatTableTitle,
    kParticipantTitle,
    kAllHeatsTitle,
};

// Column titles of the classification list, without their alignment marks.
std::vector<std::string> columnHeaders(int language) {
    std::vector<std::string> out;
    for (const GridColumn& column : parseGridLayout(resultsTexts(language).listLayout)) {
        out.push_back(column.title);
    }
    out.resize(kClassColumnCount);
    return out;
}

bool timeCriterion(int criterion) {
    return criterion == kFastestLap || criterion == kHeatFastestLap;
}

class Report {
public:
    Report(ResultsBrowser& browser, ProgrammeType programmeType, const ExportOptions& options,
           std::string& out)
        : m_b(browser), m_programmeType(programmeType), m_options(options), m_out(out),
          m_headers(columnHeaders(options.language)) {
        m_participantCount = count(ResultsBrowser::kParticipant);
        m_laneCount = count(ResultsBrowser::kLane);
        m_passCount = count(ResultsBrowser::kPass);
        m_heatCount = count(ResultsBrowser::kHeat);
    }

    int heats() const { return m_heatCount; }

    void grids();
    void afterEachHeat(int criterion, int valueColumn);
    void byLane(int criterion, int valueColumn);
    void byHeat(int criterion, int valueColumn);
    void byParticipant(int criterion, int valueColumn);
    void allHeats(int criterion, int valueColumn);

private:
    // Positions of the participants (rows, in the participant filter's order) by column.
    // Only the cells entered are held: a damaged file may make thousands of columns, of
    // which each participant fills a few.
    struct PositionTable {
        int columns = 0;
        std::vector<std::string> names;
        std::vector<std::map<int, std::string>> cells;
    };

    int count(ResultsBrowser::Filter f) const {
        return std::max(0, static_cast<int>(m_b.entries(f).size()) - 1);
    }
    void line(std::string_view text = {}) {
        m_out += text;
        m_out += "\r\n";
        if (m_options.sink && m_out.size() >= kSinkBytes) {
            m_options.sink(m_out);
            m_out.clear();
        }
    }
    std::string title(int row) const {
        return std::string(messageText(9, row, m_options.language));
    }
    const std::string& header(int column) const {
        return m_headers[static_cast<std::size_t>(column)];
    }
    const ClassificationRow& row(int index) const {
        return m_b.list().rows()[static_cast<std::size_t>(index)];
    }
    static std::string cell(const ClassificationRow& r, int column) {
        return r.cells[static_cast<std::size_t>(column)];
    }
    static int position(const ClassificationRow& r) {
        return static_cast<int>(numericValue(cell(r, kColRank)));
    }
    static std::string positionText(const ClassificationRow& r) {
        return formatNumber(position(r), "0") + ".-";
    }
    // Every selector at "all", then the criterion.
    void reset(int criterion) {
        m_b.selectParticipant(0);
        m_b.selectLane(0);
        m_b.selectPass(0);
        m_b.selectHeat(0);
        m_b.selectCriterion(criterion);
    }
    // The visible rows that a report writes: with a time criterion, rows without a time
    // end the block, as they all sort last.
    std::vector<int> written(int criterion, int valueColumn) const {
        std::vector<int> rows = m_b.visibleRows();
        if (timeCriterion(criterion)) {
            for (std::size_t i = 0; i < rows.size(); ++i) {
                if (row(rows[i]).values[static_cast<std::size_t>(valueColumn)] > kNoTime) {
                    rows.resize(i);
                    break;
                }
            }
        }
        return rows;
    }
    void dataLines(const std::vector<int>& rows, int valueColumn) {
        for (int i : rows) {
            const ClassificationRow& r = row(i);
            line("\t" + positionText(r) + "\t" + r.name + "\t(" + header(kColLane) +
                 cell(r, kColLane) + ")\t" + cell(r, valueColumn) + "\t" + cell(r, kColGapFirst) +
                 "\t" + cell(r, kColGapPrevious));
        }
        line();
    }
    PositionTable newTable(int columns) const {
        PositionTable t;
        t.columns = columns;
        const auto& names = m_b.entries(ResultsBrowser::kParticipant);
        for (int j = 1; j <= m_participantCount; ++j) {
            t.names.push_back(names[static_cast<std::size_t>(j)]);
        }
        t.cells.resize(t.names.size());
        return t;
    }
    void enter(PositionTable& t, const ClassificationRow& r, int column, std::string text) const {
        for (int j = 1; j <= m_participantCount; ++j) {
            if (m_b.seriesOfEntries()[static_cast<std::size_t>(j)] == r.seriesNumber &&
                m_b.numberOfEntries()[static_cast<std::size_t>(j)] == r.participant) {
                t.cells[static_cast<std::size_t>(j - 1)][column] = std::move(text);
                return;
            }
        }
    }
    void writeTable(int titleRow, const std::vector<std::string>& headings,
                    const PositionTable& t) {
        line(title(titleRow));
        line();
        std::string heading = "\t" + header(kColName) + "\t";
        for (const std::string& h : headings) {
            heading += h + "\t";
        }
        line(heading);
        for (std::size_t j = 0; j < t.names.size(); ++j) {
            std::string text = "\t" + t.names[j];
            auto entered = t.cells[j].begin();
            for (int column = 1; column <= t.columns; ++column) {
                text += '\t';
                if (entered != t.cells[j].end() && entered->first == column) {
                    text += entered->second;
                    ++entered;
                }
            }
            line(text);
        }
        line();
    }
    void gridHeading() {
        std::string heading = "\t" + header(kColName) + "\t";
        for (int i = 1; i <= m_laneCount; ++i) {
            heading += header(kColLane) + " " +
                       m_b.entries(ResultsBrowser::kLane)[static_cast<std::size_t>(i)] + "\t";
        }
        line(heading);
    }
    // Rows of one participant by (lane, pass), over every heat.
    using Driven = std::map<std::tuple<int, int, int, int>, int>;
    Driven drivenRows() const {
        Driven out;
        const auto& rows = m_b.list().rows();
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const auto& r = rows[i];
            out.emplace(std::make_tuple(r.seriesNumber, r.participant, r.lane,
                                        static_cast<int>(r.values[kColPass])),
                        static_cast<int>(i));
        }
        return out;
    }
    // One grid line: per lane driven in that pass the cell `laneValue` makes (nothing for
    // a lane not driven, so the following cells move left), then the closing value.
    template <class LaneValue>
    void gridLine(const Driven& driven, const ClassificationRow& r, int pass, LaneValue laneValue,
                  const std::string& closing) {
        std::string text = "\t" + r.name + "\t";
        for (int i = 1; i <= m_laneCount; ++i) {
            const int lane = static_cast<int>(
                numericValue(m_b.entries(ResultsBrowser::kLane)[static_cast<std::size_t>(i)]));
            auto it = driven.find(std::make_tuple(r.seriesNumber, r.participant, lane, pass));
            if (it != driven.end()) {
                text += laneValue(row(it->second)) + "\t";
            }
        }
        line(text + closing);
    }

    ResultsBrowser& m_b;
    ProgrammeType m_programmeType;
    const ExportOptions& m_options;
    std::string& m_out;
    std::vector<std::string> m_headers;
    int m_participantCount = 0;
    int m_laneCount = 0;
    int m_passCount = 0;
    int m_heatCount = 0;
};

void Report::grids() {
    reset(m_programmeType == ProgrammeType::Race ? kTotalLaps : kFastestLap);
    m_b.selectHeat(m_heatCount);
    const Driven driven = drivenRows();
    const std::vector<int> rows = m_b.visibleRows();
    auto fastestAsTime = [](const ClassificationRow& r) {
        return formatNumber(numericValue(cell(r, kColHeatFastest)), "0.0000");
    };
    auto heatLaps = [](const ClassificationRow& r) { return cell(r, kColHeatLaps); };
    auto fastestIfSet = [](const ClassificationRow& r) {
        return r.values[kColHeatFastest] > kNoTime ? std::string() : cell(r, kColHeatFastest);
    };
    line(title(kGridsTitle));
    line();
    if (!m_options.separateGrids) {
        gridHeading();
        for (int i : rows) {
            for (int k = 1; k <= m_passCount; ++k) {
                gridLine(driven, row(i), k, fastestAsTime, cell(row(i), kColFastest));
                gridLine(driven, row(i), k, heatLaps, cell(row(i), kColTotal));
            }
        }
        line();
        return;
    }
    gridHeading();
    for (int i : rows) {
        for (int k = 1; k <= m_passCount; ++k) {
            gridLine(driven, row(i), k, heatLaps, cell(row(i), kColTotal));
        }
    }
    line();
    gridHeading();
    for (int i : rows) {
        for (int k = 1; k <= m_passCount; ++k) {
            gridLine(driven, row(i), k, fastestIfSet, cell(row(i), kColFastest));
        }
    }
    line();
}

void Report::afterEachHeat(int criterion, int valueColumn) {
    reset(criterion);
    PositionTable table = newTable(m_heatCount);
    std::vector<std::string> headings;
    for (int h = 1; h <= m_heatCount; ++h) {
        m_b.selectExactHeat(h);
        line(title(kAfterHeatTitle) + printedNumber(static_cast<float>(h)));
        line();
        const std::vector<int> rows = written(criterion, valueColumn);
        for (int i : rows) {
            const ClassificationRow& r = row(i);
            enter(table, r, h,
                  criterion == kTotalLaps ? strValue(static_cast<float>(position(r)))
                                          : cell(r, valueColumn));
        }
        dataLines(rows, valueColumn);
        headings.push_back(printedNumber(static_cast<float>(h)));
    }
    writeTable(criterion == kTotalLaps ? kLapsTableTitle : kFastestTableTitle, headings, table);
}

void Report::byLane(int criterion, int valueColumn) {
    reset(criterion);
    const int columns = m_passCount * m_laneCount;
    PositionTable table = newTable(columns);
    std::vector<std::string> headings;
    std::string passWord = resultsTexts(m_options.language).passLabel;
    passWord.pop_back();
    for (char& ch : passWord) {
        if (ch >= 'a' && ch <= 'z') {
            ch = static_cast<char>(ch - 32);
        }
    }
    int column = 0;
    for (int k = 1; k <= m_passCount; ++k) {
        m_b.selectPass(k);
        for (int i = 1; i <= m_laneCount; ++i) {
            m_b.selectLane(i);
            const std::string& lane =
                m_b.entries(ResultsBrowser::kLane)[static_cast<std::size_t>(i)];
            std::string heading = title(kLaneTitle) + " " + lane;
            if (m_passCount >= 2) {
                heading += " " + passWord + printedNumber(static_cast<float>(k));
                headings.push_back(header(kColLane) + lane + " " + header(kColPass) +
                                   formatNumber(k, "0"));
            } else {
                headings.push_back(printedNumber(static_cast<float>(numericValue(lane))));
            }
            line(heading);
            line();
            const std::vector<int> rows = written(criterion, valueColumn);
            ++column;
            for (int r : rows) {
                enter(table, row(r), column, strValue(static_cast<float>(position(row(r)))));
            }
            dataLines(rows, valueColumn);
        }
    }
    writeTable(kLaneTableTitle, headings, table);
}

void Report::byHeat(int criterion, int valueColumn) {
    reset(criterion);
    PositionTable table = newTable(m_heatCount);
    std::vector<std::string> headings;
    for (int h = 1; h <= m_heatCount; ++h) {
        m_b.selectExactHeat(h);
        line(title(kHeatTitle) + printedNumber(static_cast<float>(h)));
        line();
        const std::vector<int> rows = written(criterion, valueColumn);
        for (int r : rows) {
            enter(table, row(r), h, strValue(static_cast<float>(position(row(r)))));
        }
        dataLines(rows, valueColumn);
        headings.push_back(printedNumber(static_cast<float>(h)));
    }
    writeTable(kHeatTableTitle, headings, table);
}

void Report::byParticipant(int criterion, int valueColumn) {
    reset(criterion);
    for (int j = 1; j <= m_participantCount; ++j) {
        m_b.selectParticipant(j);
        line(title(kParticipantTitle) + " " +
             m_b.entries(ResultsBrowser::kParticipant)[static_cast<std::size_t>(j)]);
        line();
        for (int i : written(criterion, valueColumn)) {
            const ClassificationRow& r = row(i);
            std::string text = "\t" + positionText(r) + "\t" + header(kColLane) + cell(r, kColLane);
            if (m_passCount > 1) {
                text += " " + header(kColPass) + cell(r, kColPass);
            }
            line(text + "\t(" + header(kColHeat) + cell(r, kColHeat) + ")\t" +
                 cell(r, valueColumn) + "\t" + cell(r, kColGapFirst) + "\t" +
                 cell(r, kColGapPrevious));
        }
        line();
    }
}

void Report::allHeats(int criterion, int valueColumn) {
    reset(criterion);
    line(title(kAllHeatsTitle));
    line();
    for (int i : written(criterion, valueColumn)) {
        const ClassificationRow& r = row(i);
        std::string text =
            "\t" + positionText(r) + "\t" + r.name + "\t(" + header(kColLane) + cell(r, kColLane);
        if (m_passCount > 1) {
            text += " " + header(kColPass) + cell(r, kColPass);
        }
        line(text + ")\t(" + header(kColHeat) + cell(r, kColHeat) + ")\t" + cell(r, valueColumn));
    }
    line();
}

} // namespace

std::string exportText(const BrowserSource& source, const ExportOptions& options,
                       const ExportProgress& progress) {
    std::string out;
    if (progress.info) {
        progress.info(options.eventLine);
    }
    for (ProgrammeType t :
         {ProgrammeType::OfficialPractice, ProgrammeType::SuperPole, ProgrammeType::Race}) {
        std::optional<ResultsBrowser> browser = source(t);
        if (!browser) {
            continue;
        }
        const std::string caption(tableCaption("Portada", "Marc", index(t), options.language));
        out += caption + "\r\n" + std::string(100, '-') + "\r\n\r\n";
        Report report(*browser, t, options, out);
        if (report.heats() == 0) {
            continue;
        }
        const std::string work = options.eventLine + " - " + caption;
        auto step = [&](int k) {
            if (progress.step) {
                progress.step(6 * (index(t) - index(ProgrammeType::OfficialPractice)) + k, kSteps,
                              work);
            }
        };
        step(1);
        report.grids();
        step(2);
        report.afterEachHeat(kTotalLaps, kColTotal);
        report.afterEachHeat(kFastestLap, kColFastest);
        step(3);
        report.byLane(kHeatLaps, kColHeatLaps);
        report.byLane(kHeatFastestLap, kColHeatFastest);
        step(4);
        report.byHeat(kHeatLaps, kColHeatLaps);
        report.byHeat(kHeatFastestLap, kColHeatFastest);
        step(5);
        report.byParticipant(kHeatLaps, kColHeatLaps);
        report.byParticipant(kHeatFastestLap, kColHeatFastest);
        step(6);
        report.allHeats(kHeatLaps, kColHeatLaps);
        report.allHeats(kHeatFastestLap, kColHeatFastest);
    }
    return out;
}

IoResult exportEvent(const EventFiles& event, const fs::path& target, bool separateGrids,
                     std::vector<std::string>& problems, const ExportProgress& progress) {
    // Written as it is made, under a temporary name renamed over the target at the end.
    fs::path tmp = target;
    tmp += ".tmp~";
    std::error_code ignored;
    fs::remove(tmp, ignored);
    auto file = platform::File::open(tmp, platform::Access::Truncate, {.refuseLinks = true});
    if (!file) {
        return std::unexpected(describeIoError(target, reasonOf(file.error())));
    }
    std::error_code failed;
    ExportOptions options;
    options.sink = [&](std::string_view lines) {
        if (!failed) {
            failed = file->write(utf8ToWindows1252(lines));
        }
    };
    options.language = event.language;
    options.separateGrids = separateGrids;
    std::string date;
    if (auto header = readEventHeader(event.eventDir / kEventHeaderFileName)) {
        date = header->header.date;
    }
    options.eventLine = std::string(messageText(msgkey::kExportingText, event.language)) + " " +
                        event.eventName + " (" + date + ")";
    auto fileProblems = std::make_shared<std::vector<std::string>>();
    BrowserSource source = [&](ProgrammeType programmeType) -> std::optional<ResultsBrowser> {
        if (event.seriesCounts[static_cast<std::size_t>(index(programmeType))] < 1) {
            return std::nullopt;
        }
        ResultsBrowser browser = makeResultsBrowser(event, programmeType, 1, fileProblems);
        browser.open();
        for (auto& p : describeProblems(browser, {}, event.language)) {
            problems.push_back(std::move(p));
        }
        return browser;
    };
    options.sink(exportText(source, options, progress));
    problems.insert(problems.end(), fileProblems->begin(), fileProblems->end());
    if (!failed) {
        failed = file->sync();
    }
    if (const std::error_code closed = file->close(); !failed) {
        failed = closed;
    }
    if (!failed) {
        failed = platform::replaceFile(tmp, target);
    }
    if (failed) {
        fs::remove(tmp, ignored);
        return std::unexpected(describeIoError(target, reasonOf(failed)));
    }
    return {};
}

} // namespace cronovolta

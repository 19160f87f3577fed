#include "live/live_classification.h"

#include "live/live_json.h"
#include "results/results_source.h"
#include "results/results_texts.h"
#include "storage/event_files.h"
#include "storage/lap_record.h"
#include "texts/grid_layout.h"

#include <algorithm>
#include <memory>

namespace cronovolta::live {
namespace {

char alignLetter(ColumnAlignment a) {
    return a == ColumnAlignment::Centre ? 'c' : a == ColumnAlignment::Right ? 'r' : 'l';
}

} // namespace

const std::vector<std::string>& classificationKeys() {
    static const std::vector<std::string> kKeys{
        "rank",        "series",      "number",         "name",     "pass",        "lane",
        "heat",        "total",       "totalTie",       "fastest",  "fastestTie",  "heatLaps",
        "heatLapsTie", "heatFastest", "heatFastestTie", "gapFirst", "gapPrevious", "penalty"};
    return kKeys;
}

std::expected<LiveClassification, std::string> loadLiveClassification(const fs::path& dataDir,
                                                                      int event,
                                                                      ProgrammeType programmeType,
                                                                      int seriesNumber) {
    if (programmeType < ProgrammeType::OfficialPractice || programmeType > ProgrammeType::Race) {
        return std::unexpected("no classification for programme type " +
                               std::to_string(index(programmeType)));
    }
    auto files = openEventFiles(dataDir, event);
    if (!files) {
        return std::unexpected(files.error());
    }
    const int count = files->seriesCounts[static_cast<std::size_t>(index(programmeType))];
    if (seriesNumber < 0 || seriesNumber > count || count == 0) {
        return std::unexpected(
            "event " + std::to_string(event) + " has no series " +
            (seriesNumber == 0 ? std::string() : std::to_string(seriesNumber) + " ") + "of type " +
            std::string(seriesPrefix(programmeType)));
    }
    LiveClassification out;
    out.event = event;
    out.eventName = files->eventName;
    out.programmeType = programmeType;
    out.seriesNumber = seriesNumber;
    out.problems = files->problems;
    auto problems = std::make_shared<std::vector<std::string>>();
    ResultsBrowser browser =
        makeResultsBrowser(*files, programmeType, std::max(seriesNumber, 1), problems);
    browser.open();
    if (seriesNumber != 0) {
        problems->clear();
        browser.selectSeries(seriesNumber);
    }
    auto described = describeProblems(browser, *problems, -1);
    out.problems.insert(out.problems.end(), described.begin(), described.end());
    for (const auto& column : parseGridLayout(resultsTexts(files->language).listLayout)) {
        out.titles.push_back(column.title);
        out.align += alignLetter(column.alignment);
    }
    out.titles.resize(kClassColumnCount);
    out.align.resize(kClassColumnCount, 'l');
    for (int c = 0; c < kClassColumnCount; ++c) {
        out.shown.push_back(browser.list().columnWidth(c) > 0);
    }
    for (int i : browser.visibleRows()) {
        const auto& cells = browser.list().rows()[static_cast<std::size_t>(i)].cells;
        std::vector<std::string> row;
        for (const auto& cell : cells) {
            // The grid's stand-in for "no time" would read as a real lap.
            row.push_back(cell == kNoLapTimeText ? std::string() : cell);
        }
        out.rows.push_back(std::move(row));
    }
    return out;
}

std::string classificationJson(const LiveClassification& list) {
    const auto& keys = classificationKeys();
    JsonWriter w;
    w.beginObject();
    w.key("event").value(list.event);
    w.key("eventName").value(list.eventName);
    w.key("type").value(seriesPrefix(list.programmeType));
    if (list.seriesNumber == 0) {
        w.key("series").value("all");
    } else {
        w.key("series").value(list.seriesNumber);
    }
    w.key("columns").beginArray();
    for (std::size_t c = 0; c < keys.size(); ++c) {
        w.beginObject().key("key").value(keys[c]).key("title").value(list.titles[c]);
        w.key("shown").value(static_cast<bool>(list.shown[c])).endObject();
    }
    w.endArray();
    w.key("rows").beginArray();
    for (const auto& row : list.rows) {
        w.beginObject();
        for (std::size_t c = 0; c < keys.size() && c < row.size(); ++c) {
            w.key(keys[c]).value(row[c]);
        }
        w.endObject();
    }
    w.endArray();
    w.key("problems").strings(list.problems);
    w.endObject();
    return w.take();
}

LiveTable classificationTable(const LiveClassification& list) {
    LiveTable table;
    std::vector<std::size_t> columns;
    for (std::size_t c = 0; c < list.shown.size(); ++c) {
        if (list.shown[c]) {
            columns.push_back(c);
            table.columns.push_back(list.titles[c]);
            table.align += list.align[c];
        }
    }
    for (const auto& row : list.rows) {
        std::vector<std::string> cells;
        for (std::size_t c : columns) {
            cells.push_back(c < row.size() ? row[c] : std::string());
        }
        table.rows.push_back(std::move(cells));
    }
    return table;
}

LiveContext selectionContext(const fs::path& dataDir, int event, ProgrammeType programmeType,
                             int seriesNumber, int language) {
    LiveContext context;
    context.language = language;
    if (event <= 0) {
        return context;
    }
    if (auto files = openEventFiles(dataDir, event)) {
        context.eventName = files->eventName;
    }
    if (programmeType >= ProgrammeType::OfficialPractice) {
        if (auto list = loadLiveClassification(dataDir, event, programmeType, seriesNumber)) {
            context.classification = classificationTable(*list);
        }
    }
    return context;
}

ServeSelection defaultServeSelection(const fs::path& dataDir) {
    ServeSelection out;
    // The folders, not the catalogue: reading it may mean rebuilding it, and serving
    // results writes nothing.
    std::error_code ec;
    while (out.event < 32767 && fs::is_directory(eventFolder(dataDir, out.event + 1), ec)) {
        ++out.event;
    }
    if (out.event > 0) {
        if (auto files = openEventFiles(dataDir, out.event)) {
            for (ProgrammeType t :
                 {ProgrammeType::Race, ProgrammeType::SuperPole, ProgrammeType::OfficialPractice}) {
                if (files->seriesCounts[static_cast<std::size_t>(index(t))] > 0) {
                    out.programmeType = t;
                    break;
                }
            }
        }
    }
    return out;
}

} // namespace cronovolta::live

#include "results/entrants_files.h"

#include "results/series_resize.h"
#include "storage/event_files.h"
#include "storage/heat_result_record.h"
#include "storage/penalty_record.h"
#include "storage/text_encoding.h"

#include <algorithm>
#include <numeric>
#include <utility>

namespace cronovolta {
namespace {

bool fileExists(const fs::path& p) {
    std::error_code ec;
    return fs::exists(p, ec);
}

std::expected<ParticipantList, std::string> readList(const fs::path& file,
                                                     std::vector<std::string>& notes) {
    auto list = readParticipantList(file);
    if (list) {
        auto damage = participantListDamage(file, *list);
        notes.insert(notes.end(), damage.begin(), damage.end());
    }
    return list;
}

// Heats 1..n whose headers the results file holds.
int storedHeats(const std::vector<HeatResultRecord>& records) {
    std::vector<bool> seen(32768);
    for (const auto& r : records) {
        if (r.isHeader() && r.headerHeatNumber() >= 1) {
            seen[static_cast<std::size_t>(r.headerHeatNumber())] = true;
        }
    }
    int n = 0;
    while (n + 1 < static_cast<int>(seen.size()) && seen[static_cast<std::size_t>(n + 1)]) {
        ++n;
    }
    return n;
}

// A damaged heat counter must not decide the size of the list: it counts no more heats
// than the series' results file holds, when there is one, and none below 0.
void boundHeatCounter(const EntrantsContext& ctx, ParticipantList& list,
                      std::vector<std::string>& notes) {
    const fs::path par = participantFile(ctx.eventDir, ctx.programmeType, ctx.seriesNumber);
    int bound = list.heatsDone < 0 ? 0 : list.heatsDone;
    const fs::path dad = ctx.eventDir / seriesFileName(ctx.programmeType, ctx.seriesNumber, ".DAD");
    if (ctx.programmeType >= ProgrammeType::OfficialPractice && list.heatsDone > 0 &&
        fileExists(dad)) {
        auto heats = readHeatResultFile(dad);
        bound = std::min(bound, heats ? storedHeats(heats->records) : 0);
    }
    if (bound != list.heatsDone) {
        notes.push_back(par.filename().string() + " counts " + std::to_string(list.heatsDone) +
                        " heats run, but " + std::to_string(bound) +
                        " are stored; the list is sized for " + std::to_string(bound));
        list.heatsDone = static_cast<std::int16_t>(bound);
    }
}

IoResult resizeHeats(const fs::path& file, int heatsDone, int oldCount, int newCount,
                     EntrantsSaved& saved) {
    auto heats = readHeatResultFile(file);
    if (!heats) {
        return std::unexpected(heats.error());
    }
    if (heats->leftOut > 0) {
        saved.notes.push_back(describeLeftOut(file, heats->leftOut, "1000 heats"));
    }
    auto resized = resizeHeatBlocks(heats->records, heatsDone, oldCount, newCount);
    for (int m : resized.missingHeats) {
        saved.notes.push_back(file.filename().string() + " has no block of heat " +
                              std::to_string(m) + "; it was left out");
    }
    saved.heatsResized = true;
    return writeHeatResultFile(file, resized.records);
}

IoResult shrinkPenalties(const fs::path& file, int count, EntrantsSaved& saved) {
    auto pens = readPenalties(file);
    if (!pens) {
        return std::unexpected(pens.error());
    }
    saved.penaltiesShrunk = true;
    return writePenalties(file, penaltiesUpTo(pens->records, count));
}

// The files hold Windows-1252 names: a character outside it is stored as "?", and the
// organiser is told which names changed.
void noteChangedNames(const ParticipantList& list, std::vector<std::string>& notes) {
    for (const auto& name : list.names) {
        std::string stored = windows1252ToUtf8(utf8ToWindows1252(name));
        if (stored != name) {
            notes.push_back("\"" + name + "\" is stored as \"" + stored +
                            "\": names keep Windows-1252 characters only");
        }
    }
}

} // namespace

fs::path entrantsFile(const EntrantsContext& ctx) {
    switch (entrantsMode(ctx)) {
    case EntrantsMode::GeneralList:
        return ctx.dataDir / "PROVA.PAR";
    case EntrantsMode::EventEntrants:
        return ctx.eventDir / "PROVA.PAR";
    case EntrantsMode::SeriesParticipants:
        break;
    }
    return participantFile(ctx.eventDir, ctx.programmeType, ctx.seriesNumber);
}

std::expected<EntrantsOpened, std::string> openEntrants(EntrantsContext ctx) {
    std::vector<std::string> notes;
    auto list = readList(entrantsFile(ctx), notes);
    if (!list) {
        return std::unexpected(list.error());
    }
    const EntrantsMode mode = entrantsMode(ctx);
    if (mode == EntrantsMode::SeriesParticipants) {
        boundHeatCounter(ctx, *list, notes);
    }
    std::vector<std::string> source;
    bool sourceIsEntrants = false;
    if (mode != EntrantsMode::GeneralList) {
        fs::path from = ctx.dataDir / "PROVA.PAR";
        if (mode == EntrantsMode::SeriesParticipants && fileExists(ctx.eventDir / "PROVA.PAR")) {
            from = ctx.eventDir / "PROVA.PAR";
            sourceIsEntrants = true;
        }
        auto names = readList(from, notes);
        if (!names) {
            notes.push_back(names.error());
        } else {
            source = std::move(names->names);
        }
    }
    EntrantsModel model(std::move(ctx), std::move(*list), std::move(source), sourceIsEntrants);
    return EntrantsOpened{std::move(model), std::move(notes)};
}

std::expected<EntrantsSaved, std::string>
saveSeriesList(const fs::path& eventDir, ProgrammeType programmeType, int seriesNumber,
               const ParticipantList& list, int storedCount) {
    EntrantsSaved saved;
    saved.file = participantFile(eventDir, programmeType, seriesNumber);
    if (auto written = writeParticipantList(saved.file, list); !written) {
        return std::unexpected(written.error());
    }
    noteChangedNames(list, saved.notes);
    const int count = static_cast<int>(list.names.size());
    if (count == storedCount) {
        return saved;
    }
    const auto dad = eventDir / seriesFileName(programmeType, seriesNumber, ".DAD");
    if (fileExists(dad)) {
        if (auto r = resizeHeats(dad, list.heatsDone, storedCount, count, saved); !r) {
            return std::unexpected(r.error());
        }
    }
    const auto pen = eventDir / seriesFileName(programmeType, seriesNumber, ".PEN");
    if (count < storedCount && fileExists(pen)) {
        if (auto r = shrinkPenalties(pen, count, saved); !r) {
            return std::unexpected(r.error());
        }
    }
    return saved;
}

std::expected<EntrantsSaved, std::string> saveEntrants(const EntrantsModel& model) {
    const EntrantsContext& ctx = model.context();
    const ParticipantList list = model.listToSave();
    if (model.mode() == EntrantsMode::SeriesParticipants) {
        return saveSeriesList(ctx.eventDir, ctx.programmeType, ctx.seriesNumber, list,
                              model.storedCount());
    }
    EntrantsSaved saved;
    saved.file = entrantsFile(ctx);
    const std::size_t letters =
        std::accumulate(list.names.begin(), list.names.end(), std::size_t{0},
                        [](std::size_t sum, const std::string& n) { return sum + n.size(); });
    if (letters == 0) {
        std::error_code ec;
        fs::remove(saved.file, ec);
        if (ec) {
            return std::unexpected(describeIoError(saved.file, "cannot be deleted"));
        }
        saved.deleted = true;
        return saved;
    }
    if (auto written = writeParticipantList(saved.file, list); !written) {
        return std::unexpected(written.error());
    }
    noteChangedNames(list, saved.notes);
    return saved;
}

} // namespace cronovolta

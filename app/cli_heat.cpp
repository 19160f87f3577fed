// The replay command: a recorded counter byte stream run through the heat engine.
#include "cli_commands.h"

#include "heat/capture_replay.h"
#include "heat/heat_engine.h"
#include "storage/event_files.h"
#include "storage/resume_file.h"

#include <cctype>
#include <iostream>
#include <system_error>

namespace cronovolta::cli {
namespace {

constexpr const char* kReplayUsage =
    "replay EVENT TYPE SERIES CAPTURE [--recover]  (TYPE: 0..4 or LLR, OFC, SPP, CRS)";

std::optional<int> parseType(const std::string& word) {
    std::string upper;
    for (char c : word) {
        upper.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    }
    for (int t = kPractice; t <= kRace; ++t) {
        if (upper == std::to_string(t) || (t > 0 && upper == seriesPrefix(t))) {
            return t;
        }
    }
    return std::nullopt;
}

const char* commandName(HeatCommand command) {
    switch (command) {
    case HeatCommand::ListLaps:
        return "the lap listing";
    case HeatCommand::Print:
        return "the printed report";
    case HeatCommand::Correct:
        return "the correction screen";
    case HeatCommand::AskCancel:
        return "the cancel question (answered No)";
    case HeatCommand::EnterComes:
        return "the comes entry";
    default:
        return "a screen";
    }
}

// Prints the standings (or, without standings, the lanes) when a heat ends.
class StandingsPrinter : public HeatObserver {
public:
    StandingsPrinter(const HeatEngine& engine, std::ostream& out, std::ostream& err)
        : m_engine(engine), m_out(out), m_err(err) {}

    void heatEnded(int heat) override {
        m_out << "# heat " << heat << "\n";
        if (m_engine.programme().programa >= 2) {
            printStandings();
        } else {
            printLanes();
        }
    }
    void comesEntryDue(ComesEntry entry) override {
        m_err << "cronovolta-cli: note: the comes of heat " << m_engine.heatNumber()
              << (entry == ComesEntry::LastLaneOnly ? " (last lane only)" : "")
              << " are due; a replay enters none\n";
    }
    void problem(const std::string& message) override {
        m_err << "cronovolta-cli: " << message << "\n";
    }

private:
    void printStandings() {
        const auto& grid = m_engine.standings();
        const auto& headings = m_engine.standingsHeadings();
        auto columns = m_engine.visibleStandingsColumns();
        m_out << headings[col::Rank] << '\t' << headings[col::Dorsal] << '\t'
              << headings[col::Name];
        for (int c : columns) {
            m_out << '\t' << headings[static_cast<std::size_t>(c)];
        }
        m_out << '\n';
        for (int r = 1; r <= grid.rowCount(); ++r) {
            m_out << grid.text(r, col::Rank) << '\t' << grid.text(r, col::Dorsal) << '\t'
                  << grid.text(r, col::Name);
            for (int c : columns) {
                m_out << '\t' << grid.shownText(r, c);
            }
            m_out << '\n';
        }
    }
    void printLanes() {
        const auto& lanes = m_engine.lanes();
        for (int l = 1; l <= lanes.highestLane(); ++l) {
            if (lanes.takesPart(l)) {
                const auto& panel = lanes.panel(l);
                m_out << panel.title << '\t' << panel.rows[0] << '\t' << panel.fastestLap << '\n';
            }
        }
    }

    const HeatEngine& m_engine;
    std::ostream& m_out;
    std::ostream& m_err;
};

// The series of that type in the event's header (practice has one).
std::expected<int, std::string> seriesCount(const fs::path& dataDir, int event, int type) {
    if (type == kPractice) {
        return 1;
    }
    auto header = readCapcaleraProva(eventFolder(dataDir, event) / kEventHeaderFileName);
    if (!header) {
        return std::unexpected(header.error());
    }
    return header->header.seriesCounts[static_cast<std::size_t>(type - 1)];
}

// Start-up with the abnormal-end flag: the resume file names the heat. Without one (killed
// between the journal's creation and the resume file's), the event's journal names it by its
// own header when that is the series' next heat. The resume file stays until the recovered
// heat writes it anew, so a programme that cannot be opened can be recovered later.
std::expected<float, std::string> readResumeStart(const Invocation& inv, int event, int type,
                                                  int serie) {
    fs::path file = inv.dataDir / "ZTR4.TMP";
    auto state = readResumeFile(file);
    if (!state) {
        fs::path folder = eventFolder(inv.dataDir, event);
        auto journal = readLapFile(folder / "VLTAVLT.TMP");
        auto list = readParticipantList(participantFile(folder, type, serie));
        if (journal && list && !journal->records.empty() && journal->records.front().lane == 0 &&
            journal->records.front().lapTime == static_cast<float>(list->maniguesFetes + 1)) {
            return journalHeatStart(journal->records);
        }
        return std::unexpected("there is no interrupted heat to recover: " + file.string() +
                               " is missing or unreadable");
    }
    if (state->event != event || state->programa != type || state->serie != serie) {
        return std::unexpected(
            "the interrupted heat belongs to event " + std::to_string(state->event) + ", type " +
            std::to_string(state->programa) + ", series " + std::to_string(state->serie));
    }
    return state->heatStart;
}

} // namespace

ConfigPrg programSettings(const Invocation& inv) {
    fs::path file = inv.dataDir / "ZENTOR.CFG";
    std::error_code ec;
    if (fs::exists(file, ec)) {
        if (auto loaded = loadConfigPrg(file)) {
            return *loaded;
        } else {
            inv.err << "cronovolta-cli: " << loaded.error() << "; default settings used\n";
        }
    }
    return defaultConfigPrg();
}

std::expected<ReplayRequest, int> parseReplayRequest(const Invocation& inv,
                                                     const std::vector<std::string>& words,
                                                     const std::string& synopsis) {
    if (words.size() != 4) {
        return std::unexpected(usage(inv, synopsis));
    }
    auto event = parseInteger(words[0]);
    auto type = parseType(words[1]);
    auto serie = parseInteger(words[2]);
    if (!event || *event < 0 || *event > 32767 || !type || !serie || *serie < 1 || *serie > 32767) {
        return std::unexpected(usage(inv, synopsis));
    }
    int ev = static_cast<int>(*event);
    int se = static_cast<int>(*serie);
    if (*type != kPractice && ev < 1) {
        return std::unexpected(usage(inv, synopsis));
    }
    auto count = seriesCount(inv.dataDir, ev, *type);
    if (!count) {
        return std::unexpected(fail(inv, count.error()));
    }
    if (se > *count) {
        return std::unexpected(fail(inv, "event " + std::to_string(ev) + " has " +
                                             std::to_string(*count) + " series of type " +
                                             std::to_string(*type)));
    }
    return ReplayRequest{ev, *type, se, *count, words[3], false};
}

int runReplay(const Invocation& inv, const ReplayRequest& request, HeatEngine& engine) {
    auto text = readFileBytes(platform::pathFromUtf8(request.capture));
    if (!text) {
        return fail(inv, text.error());
    }
    CaptureContents capture = parseCapture(*text);
    for (const auto& problem : capture.problems) {
        inv.err << "cronovolta-cli: " << request.capture << ":" << problem.line << ": "
                << problem.message << " (line skipped)\n";
    }
    int ev = request.event;
    int se = request.serie;
    std::optional<float> resumeStart;
    if (request.recover) {
        auto start = readResumeStart(inv, ev, request.type, se);
        if (!start) {
            return fail(inv, start.error());
        }
        resumeStart = *start;
    }
    auto opened =
        engine.openProgramme({inv.dataDir, ev, request.type, se, request.seriesCount, ""});
    if (!opened) {
        return fail(inv, opened.error());
    }
    CaptureReplay replay(engine);
    replay.onUnhandled([&](double, HeatCommand command) {
        inv.err << "cronovolta-cli: note: a key asked for " << commandName(command)
                << ", which a replay does not open\n";
    });
    if (resumeStart) {
        double now = capture.events.empty() ? *resumeStart : capture.events.front().seconds;
        RecoveryOutcome outcome = engine.recoverHeat(*resumeStart, now);
        if (outcome == RecoveryOutcome::AlreadyStored || outcome == RecoveryOutcome::NotStarted) {
            std::error_code ec;
            fs::remove(inv.dataDir / "ZTR4.TMP", ec);
        }
        if (outcome == RecoveryOutcome::AlreadyStored) {
            inv.err << "cronovolta-cli: note: the interrupted heat had been stored already\n";
        } else if (outcome == RecoveryOutcome::NotStarted) {
            return fail(inv, "the heat could not be started again");
        }
        replay.heatRunningSince(now);
    }
    replay.play(capture.events);
    replay.finish(10.0);
    if (engine.heatRunning()) {
        inv.err << "cronovolta-cli: note: heat " << engine.heatNumber()
                << " was still running at the end of the capture; it is left as an "
                   "interrupted heat (replay it with --recover)\n";
        return kOk;
    }
    engine.closeProgramme();
    return kOk;
}

int cmdReplay(const Invocation& inv) {
    std::vector<std::string> words;
    bool recover = false;
    for (const auto& a : inv.args) {
        if (a == "--recover") {
            recover = true;
        } else {
            words.push_back(a);
        }
    }
    auto request = parseReplayRequest(inv, words, kReplayUsage);
    if (!request) {
        return request.error();
    }
    request->recover = recover;
    HeatEngine engine(programSettings(inv));
    StandingsPrinter printer(engine, inv.out, inv.err);
    engine.setObserver(&printer);
    return runReplay(inv, *request, engine);
}

} // namespace cronovolta::cli

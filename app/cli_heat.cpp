// The replay command: a recorded counter byte stream run through the heat engine.
#include "cli_commands.h"

#include "heat/capture_replay.h"
#include "heat/heat_engine.h"
#include "heat/heat_journal.h"
#include "storage/event_files.h"
#include "storage/resume_file.h"
#include "texts/language_tables.h"
#include "texts/system_errors.h"

#include <cctype>
#include <iostream>
#include <system_error>

namespace cronovolta::cli {
namespace {

constexpr const char* kReplayUsage = "replay EVENT TYPE SERIES CAPTURE [--recover | --discard]  "
                                     "(TYPE: 0..4 or LLR, OFC, SPP, CRS)";

// The replay's own words, in the language of the program settings as the engine's are.
std::string say(int language, const std::string& catalan, const std::string& castilian) {
    return language == kLanguageCastilian ? castilian : catalan;
}

std::optional<ProgrammeType> parseType(const std::string& word) {
    std::string upper;
    for (char c : word) {
        upper.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    }
    for (ProgrammeType t : kProgrammeTypes) {
        if (upper == std::to_string(index(t)) ||
            (t != ProgrammeType::Practice && upper == seriesPrefix(t))) {
            return t;
        }
    }
    return std::nullopt;
}

std::string commandName(HeatCommand command, int language) {
    switch (command) {
    case HeatCommand::ListLaps:
        return say(language, "el llistat de voltes", "el listado de vueltas");
    case HeatCommand::Print:
        return say(language, "l'informe imprès", "el informe impreso");
    case HeatCommand::Correct:
        return say(language, "la pantalla de correcció", "la pantalla de corrección");
    case HeatCommand::AskCancel:
        return say(language, "la pregunta d'anul·lar (resposta: No)",
                   "la pregunta de anular (respuesta: No)");
    case HeatCommand::EnterLapFractions:
        return say(language, "l'entrada de comes", "la entrada de comes");
    default:
        return say(language, "una pantalla", "una pantalla");
    }
}

// Prints the standings (or, without standings, the lanes) when a heat ends.
class StandingsPrinter : public HeatObserver {
public:
    StandingsPrinter(const HeatEngine& engine, std::ostream& out, std::ostream& err)
        : m_engine(engine), m_out(out), m_err(err) {}

    void heatNotStored(int heat) override { m_notStored = heat; }
    void heatEnded(int heat) override {
        if (m_notStored == heat) {
            // Its standings are not printed: the live standings are those of the stored heats.
            m_out << "# heat " << heat << ": not stored\n";
            m_notStored = 0;
            return;
        }
        m_out << "# heat " << heat << "\n";
        if (m_engine.programme().programmeType >= ProgrammeType::OfficialPractice) {
            printStandings();
        } else {
            printLanes();
        }
    }
    void lapFractionEntryDue(LapFractionEntry entry) override {
        const int language = m_engine.settings().language;
        const std::string heat = std::to_string(m_engine.heatNumber());
        const bool last = entry == LapFractionEntry::LastLaneOnly;
        m_err << "cronovolta-cli: "
              << say(language,
                     "nota: toca entrar les comes de la màniga " + heat +
                         (last ? " (només l'última pista)" : "") +
                         "; una reproducció no n'entra cap",
                     "nota: toca entrar las comes de la manga " + heat +
                         (last ? " (solo la última pista)" : "") +
                         "; una reproducción no entra ninguna")
              << "\n";
    }
    void problem(const std::string& message) override {
        m_err << "cronovolta-cli: " << message << "\n";
    }

private:
    void printStandings() {
        const auto& grid = m_engine.standings();
        const auto& headings = m_engine.standingsHeadings();
        auto columns = m_engine.visibleStandingsColumns();
        m_out << headings[col::Rank] << '\t' << headings[col::RaceNumber] << '\t'
              << headings[col::Name];
        for (int c : columns) {
            m_out << '\t' << headings[static_cast<std::size_t>(c)];
        }
        m_out << '\n';
        for (int r = 1; r <= grid.rowCount(); ++r) {
            m_out << grid.text(r, col::Rank) << '\t' << grid.text(r, col::RaceNumber) << '\t'
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
    int m_notStored = 0;
};

// The series of that type in the event's header (practice has one).
std::expected<int, std::string> seriesCount(const fs::path& dataDir, int event,
                                            ProgrammeType type) {
    if (type == ProgrammeType::Practice) {
        return 1;
    }
    auto header = readEventHeader(eventFolder(dataDir, event) / kEventHeaderFileName);
    if (!header) {
        return std::unexpected(header.error());
    }
    return header->header.seriesCounts[static_cast<std::size_t>(index(type) - 1)];
}

// Start-up with the abnormal-end flag: the resume file names the heat. Without one (killed
// between the journal's creation and the resume file's), the event's journal names it by its
// own header when that is the series' next heat. The resume file stays until the recovered
// heat writes it anew, so a programme that cannot be opened can be recovered later.
std::expected<float, std::string> readResumeStart(const Invocation& inv, int language, int event,
                                                  ProgrammeType type, int seriesNumber) {
    fs::path file = inv.dataDir / "ZTR4.TMP";
    auto state = readResumeFile(file);
    if (!state) {
        fs::path folder = eventFolder(inv.dataDir, event);
        auto journal = readLapFile(folder / "VLTAVLT.TMP");
        auto list = readParticipantList(participantFile(folder, type, seriesNumber));
        if (journal && list && !journal->records.empty() && journal->records.front().lane == 0 &&
            journal->records.front().lapTime == static_cast<float>(list->heatsDone + 1)) {
            return journalHeatStart(journal->records);
        }
        return std::unexpected(
            say(language,
                "no hi ha cap màniga interrompuda per recuperar: " + file.string() +
                    " no hi és o no es pot llegir",
                "no hay ninguna manga interrumpida que recuperar: " + file.string() +
                    " no está o no se puede leer"));
    }
    if (state->event != event || state->programmeType != type ||
        state->seriesNumber != seriesNumber) {
        const std::string e = std::to_string(state->event);
        const std::string t = std::to_string(index(state->programmeType));
        const std::string r = std::to_string(state->seriesNumber);
        return std::unexpected(
            say(language,
                "la màniga interrompuda és de la prova " + e + ", tipus " + t + ", sèrie " + r,
                "la manga interrumpida es de la prueba " + e + ", tipo " + t + ", serie " + r));
    }
    return state->heatStart;
}

// An interrupted heat that a plain replay would start over: the resume file's, or without
// one, a journal of the target series' next heat that holds laps.
struct InterruptedHeat {
    int event = 0;
    ProgrammeType type = ProgrammeType::Practice;
    int seriesNumber = 0;
    int heat = 0;
    bool resumeFile = false;
};

std::optional<InterruptedHeat> findInterruptedHeat(const Invocation& inv, int event,
                                                   ProgrammeType type, int seriesNumber) {
    if (auto state = readResumeFile(inv.dataDir / "ZTR4.TMP")) {
        return InterruptedHeat{state->event, state->programmeType, state->seriesNumber, state->heat,
                               true};
    }
    if (type < ProgrammeType::OfficialPractice) {
        return std::nullopt;
    }
    fs::path folder = eventFolder(inv.dataDir, event);
    auto journal = readLapFile(folder / "VLTAVLT.TMP");
    auto list = readParticipantList(participantFile(folder, type, seriesNumber));
    if (journal && list && journal->records.size() > 1 && journal->records.front().lane == 0 &&
        journal->records.front().lapTime == static_cast<float>(list->heatsDone + 1)) {
        return InterruptedHeat{event, type, seriesNumber, list->heatsDone + 1, false};
    }
    return std::nullopt;
}

std::string interruptedText(int language, const InterruptedHeat& h) {
    const std::string which = std::to_string(h.event) + " " + std::to_string(index(h.type)) + " " +
                              std::to_string(h.seriesNumber);
    const std::string command = "cronovolta-cli replay " + which + " " + "CAPTURA --recover";
    return say(language,
               "hi ha una màniga interrompuda i no recuperada (prova " + std::to_string(h.event) +
                   ", tipus " + std::to_string(index(h.type)) + ", sèrie " +
                   std::to_string(h.seriesNumber) + ", màniga " + std::to_string(h.heat) +
                   "). Recupera-la abans amb --recover (" + command +
                   "), o descarta-la amb --discard: les seves voltes es desen a part. No s'ha "
                   "gravat res.",
               "hay una manga interrumpida y no recuperada (prueba " + std::to_string(h.event) +
                   ", tipo " + std::to_string(index(h.type)) + ", serie " +
                   std::to_string(h.seriesNumber) + ", manga " + std::to_string(h.heat) +
                   "). Recupérala antes con --recover (" + command +
                   "), o descártala con --discard: sus vueltas se guardan aparte. No se ha "
                   "grabado nada.");
}

// --discard: the interrupted heat is not recovered; its journal is kept aside, never lost.
std::expected<void, std::string> discardInterruptedHeat(const Invocation& inv, int language,
                                                        const InterruptedHeat& h) {
    fs::path folder =
        h.type >= ProgrammeType::FreePractice ? eventFolder(inv.dataDir, h.event) : inv.dataDir;
    fs::path journal = folder / "VLTAVLT.TMP";
    auto file = readLapFile(journal);
    std::error_code ec;
    if (fs::exists(fs::symlink_status(journal, ec))) {
        const float start =
            file && !file->records.empty() ? file->records.front().crossingTime : 0.0f;
        auto kept = keepJournal(journal, seriesFileName(h.type, h.seriesNumber, ""), h.heat, start);
        if (!kept) {
            return std::unexpected(localiseProblems(kept.error(), language));
        }
        inv.err << "cronovolta-cli: "
                << say(language,
                       "nota: la màniga interrompuda " + std::to_string(h.heat) +
                           " no es recupera; les seves voltes es desen a part al fitxer " + *kept +
                           " de la carpeta de la prova",
                       "nota: la manga interrumpida " + std::to_string(h.heat) +
                           " no se recupera; sus vueltas se guardan aparte en el fichero " + *kept +
                           " de la carpeta de la prueba")
                << "\n";
    }
    if (h.resumeFile) {
        fs::remove(inv.dataDir / "ZTR4.TMP", ec);
    }
    return {};
}

// The capture line where an event of that time begins (1-based; 0 when none does).
int captureLineAt(std::string_view text, std::optional<double> seconds) {
    if (!seconds) {
        return 0;
    }
    CaptureEvent probe;
    probe.seconds = *seconds;
    probe.kind = CaptureEvent::Kind::Lane;
    std::string stamp = formatCaptureEvent(probe);
    stamp = stamp.substr(0, stamp.find(' ') + 1);
    int number = 0;
    while (!text.empty()) {
        ++number;
        const std::size_t eol = text.find('\n');
        std::string_view line = text.substr(0, eol);
        const auto first = line.find_first_not_of(" \t");
        if (first != std::string_view::npos && line.substr(first).starts_with(stamp)) {
            return number;
        }
        text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
    }
    return 0;
}

// The engine holds a heat it could neither store nor keep (a full disk): the replay stops
// there and says how to go on once there is room, with nothing of the capture left out.
int stopAtHeldHeat(const Invocation& inv, const ReplayRequest& request, HeatEngine& engine,
                   const CaptureReplay& replay, std::string_view text) {
    const int language = engine.settings().language;
    const std::string heat = std::to_string(engine.heldHeat());
    const std::string series = std::to_string(request.event) + " " +
                               std::to_string(index(request.type)) + " " +
                               std::to_string(request.seriesNumber);
    const std::string stop = say(language,
                                 "la reproducció s'atura a la màniga " + heat +
                                     ", que no s'ha pogut gravar ni desar a part",
                                 "la reproducción se detiene en la manga " + heat +
                                     ", que no se ha podido grabar ni guardar aparte");
    auto rest = [&](int line) {
        const std::string n = std::to_string(line);
        return say(language,
                   "on RESTA és la captura a partir de la línia " + n + " (per exemple: tail -n +" +
                       n + " " + request.capture + " > RESTA)",
                   "donde RESTO es la captura a partir de la línea " + n +
                       " (por ejemplo: tail -n +" + n + " " + request.capture + " > RESTO)");
    };
    if (engine.heldJournalWhole()) {
        // Journal and resume file stay: --recover stores the heat, then plays what follows.
        const int line = captureLineAt(text, replay.firstUnplayed());
        if (line == 0) {
            return fail(
                inv, stop + say(language,
                                "; el fitxer VLTAVLT.TMP la guarda sencera. Allibera espai "
                                "al disc i grava-la amb cronovolta-cli replay " +
                                    series + " CAPTURA --recover (una captura buida ja va bé).",
                                "; el fichero VLTAVLT.TMP la guarda entera. Libera espacio "
                                "en el disco y grábala con cronovolta-cli replay " +
                                    series + " CAPTURA --recover (una captura vacía ya sirve)."));
        }
        return fail(inv, stop + say(language,
                                    "; el fitxer VLTAVLT.TMP la guarda sencera. Allibera espai al "
                                    "disc i continua amb cronovolta-cli replay " +
                                        series + " RESTA --recover, " + rest(line) + ".",
                                    "; el fichero VLTAVLT.TMP la guarda entera. Libera espacio en "
                                    "el disco y continúa con cronovolta-cli replay " +
                                        series + " RESTO --recover, " + rest(line) + "."));
    }
    // Its laps are whole in the capture alone: what the journal holds of them is kept aside
    // and the heat is no interrupted heat, so the capture can be replayed from its start.
    const fs::path journal = engine.workFolder() / "VLTAVLT.TMP";
    std::error_code ec;
    if (fs::exists(fs::symlink_status(journal, ec))) {
        auto file = readLapFile(journal);
        const float start =
            file && !file->records.empty() ? file->records.front().crossingTime : 0.0f;
        if (auto kept = keepJournal(journal, seriesFileName(request.type, request.seriesNumber, ""),
                                    engine.heldHeat(), start);
            !kept) {
            inv.err << "cronovolta-cli: " << localiseProblems(kept.error(), language) << "\n";
        }
    }
    fs::remove(inv.dataDir / "ZTR4.TMP", ec);
    const int line = captureLineAt(text, replay.lastHeatStart());
    return fail(inv, stop + say(language,
                                ": les seves voltes només són a la captura. Allibera espai al disc "
                                "i reprodueix-la des de l'inici d'aquesta màniga amb "
                                "cronovolta-cli replay " +
                                    series + " RESTA, " + rest(line) + ".",
                                ": sus vueltas solo están en la captura. Libera espacio en el "
                                "disco y reprodúcela desde el inicio de esta manga con "
                                "cronovolta-cli replay " +
                                    series + " RESTO, " + rest(line) + "."));
}

} // namespace

ProgramSettings programSettings(const Invocation& inv) {
    fs::path file = inv.dataDir / "ZENTOR.CFG";
    std::error_code ec;
    if (fs::exists(file, ec)) {
        if (auto loaded = loadProgramSettings(file)) {
            return *loaded;
        } else {
            inv.err << "cronovolta-cli: " << loaded.error() << "; default settings used\n";
        }
    }
    return defaultProgramSettings();
}

std::expected<ReplayRequest, int> parseReplayRequest(const Invocation& inv,
                                                     const std::vector<std::string>& words,
                                                     const std::string& synopsis) {
    if (words.size() != 4) {
        return std::unexpected(usage(inv, synopsis));
    }
    auto event = parseInteger(words[0]);
    auto type = parseType(words[1]);
    auto seriesNumber = parseInteger(words[2]);
    if (!event || *event < 0 || *event > 32767 || !type || !seriesNumber || *seriesNumber < 1 ||
        *seriesNumber > 32767) {
        return std::unexpected(usage(inv, synopsis));
    }
    int ev = static_cast<int>(*event);
    int se = static_cast<int>(*seriesNumber);
    if (*type != ProgrammeType::Practice && ev < 1) {
        return std::unexpected(usage(inv, synopsis));
    }
    auto count = seriesCount(inv.dataDir, ev, *type);
    if (!count) {
        return std::unexpected(fail(inv, count.error()));
    }
    if (se > *count) {
        return std::unexpected(fail(inv, "event " + std::to_string(ev) + " has " +
                                             std::to_string(*count) + " series of type " +
                                             std::to_string(index(*type))));
    }
    return ReplayRequest{ev, *type, se, *count, words[3], false};
}

namespace {

// A capture file's bytes and what they hold.
struct LoadedCapture {
    std::string text;
    CaptureContents contents;
};

// The capture, once its counter model is the settings' one; its skipped lines are said.
std::expected<LoadedCapture, int> loadCapture(const Invocation& inv, const ReplayRequest& request,
                                              const HeatEngine& engine) {
    const int language = engine.settings().language;
    auto text = readFileBytes(platform::pathFromUtf8(request.capture));
    if (!text) {
        return std::unexpected(fail(inv, localiseProblems(text.error(), language)));
    }
    CaptureContents capture = parseCapture(*text);
    if (auto mismatch = captureModelMismatch(capture, engine.settings().counterModel, language,
                                             request.capture)) {
        return std::unexpected(fail(inv, *mismatch));
    }
    for (const auto& problem : capture.problems) {
        inv.err << "cronovolta-cli: " << request.capture << ":" << problem.line << ": "
                << problem.message << " (line skipped)\n";
    }
    return LoadedCapture{std::move(*text), std::move(capture)};
}

// An interrupted heat stops a replay unless it is discarded; the exit status when it stops.
std::optional<int> refuseInterruptedHeat(const Invocation& inv, const ReplayRequest& request,
                                         int language) {
    if (request.recover || !request.guardInterrupted) {
        return std::nullopt;
    }
    if (auto interrupted =
            findInterruptedHeat(inv, request.event, request.type, request.seriesNumber)) {
        if (!request.discard) {
            return fail(inv, interruptedText(language, *interrupted));
        }
        if (auto discarded = discardInterruptedHeat(inv, language, *interrupted); !discarded) {
            return fail(inv, discarded.error());
        }
    }
    return std::nullopt;
}

// Takes the interrupted heat up again before the capture goes on with it; the exit status
// when it cannot be.
std::optional<int> recoverInterruptedHeat(const Invocation& inv, HeatEngine& engine,
                                          CaptureReplay& replay, const CaptureContents& capture,
                                          float resumeStart) {
    const int language = engine.settings().language;
    double now = capture.events.empty() ? resumeStart : capture.events.front().seconds;
    RecoveryOutcome outcome = engine.recoverHeat(resumeStart, now);
    if (outcome == RecoveryOutcome::AlreadyStored || outcome == RecoveryOutcome::NotStarted) {
        std::error_code ec;
        fs::remove(inv.dataDir / "ZTR4.TMP", ec);
    }
    if (outcome == RecoveryOutcome::AlreadyStored) {
        inv.err << "cronovolta-cli: "
                << say(language, "nota: la màniga interrompuda ja s'havia gravat",
                       "nota: la manga interrumpida ya se había grabado")
                << "\n";
    } else if (outcome == RecoveryOutcome::NotStarted) {
        return fail(inv, say(language, "la màniga no s'ha pogut tornar a començar",
                             "la manga no se ha podido volver a empezar"));
    }
    replay.heatRunningSince(now);
    return std::nullopt;
}

// After the capture: a heat still running stays interrupted, and a heat not stored fails.
int closeReplay(const Invocation& inv, HeatEngine& engine) {
    const int language = engine.settings().language;
    const int notStored = engine.heatsNotStored();
    if (engine.heatRunning()) {
        inv.err << "cronovolta-cli: "
                << say(language,
                       "nota: la màniga " + std::to_string(engine.heatNumber()) +
                           " encara corria al final de la captura; es queda com a màniga "
                           "interrompuda (reprodueix-la amb --recover)",
                       "nota: la manga " + std::to_string(engine.heatNumber()) +
                           " todavía corría al final de la captura; se queda como manga "
                           "interrumpida (reprodúcela con --recover)")
                << "\n";
    } else {
        engine.closeProgramme();
    }
    if (notStored > 0) {
        // A heat that was not stored is a failure, even when its laps were kept.
        return fail(inv, say(language,
                             std::to_string(notStored) +
                                 " màniga(es) de la captura no s'han gravat als arxius de la "
                                 "sèrie",
                             std::to_string(notStored) +
                                 " manga(s) de la captura no se han grabado en los archivos de "
                                 "la serie"));
    }
    return kOk;
}

} // namespace

int runReplay(const Invocation& inv, const ReplayRequest& request, HeatEngine& engine) {
    const int language = engine.settings().language;
    auto capture = loadCapture(inv, request, engine);
    if (!capture) {
        return capture.error();
    }
    int ev = request.event;
    int se = request.seriesNumber;
    if (auto refused = refuseInterruptedHeat(inv, request, language)) {
        return *refused;
    }
    std::optional<float> resumeStart;
    if (request.recover) {
        auto start = readResumeStart(inv, language, ev, request.type, se);
        if (!start) {
            return fail(inv, start.error());
        }
        resumeStart = *start;
    }
    auto opened =
        engine.openProgramme({inv.dataDir, ev, request.type, se, request.seriesCount, ""});
    if (!opened) {
        return fail(inv, localiseProblems(opened.error().text, language));
    }
    CaptureReplay replay(engine);
    replay.onUnhandled([&](double, HeatCommand command) {
        inv.err << "cronovolta-cli: "
                << say(language,
                       "nota: una tecla ha demanat " + commandName(command, language) +
                           ", que una reproducció no obre",
                       "nota: una tecla ha pedido " + commandName(command, language) +
                           ", que una reproducción no abre")
                << "\n";
    });
    if (resumeStart) {
        if (auto failed =
                recoverInterruptedHeat(inv, engine, replay, capture->contents, *resumeStart)) {
            return *failed;
        }
    }
    replay.play(capture->contents.events);
    replay.finish(10.0);
    if (engine.holdsHeat()) {
        return stopAtHeldHeat(inv, request, engine, replay, capture->text);
    }
    return closeReplay(inv, engine);
}

int cmdReplay(const Invocation& inv) {
    std::vector<std::string> words;
    bool recover = false;
    bool discard = false;
    for (const auto& a : inv.args) {
        if (a == "--recover") {
            recover = true;
        } else if (a == "--discard") {
            discard = true;
        } else {
            words.push_back(a);
        }
    }
    if (recover && discard) {
        return usage(inv, kReplayUsage);
    }
    auto request = parseReplayRequest(inv, words, kReplayUsage);
    if (!request) {
        return request.error();
    }
    request->recover = recover;
    request->discard = discard;
    HeatEngine engine(programSettings(inv));
    StandingsPrinter printer(engine, inv.out, inv.err);
    engine.setObserver(&printer);
    return runReplay(inv, *request, engine);
}

} // namespace cronovolta::cli

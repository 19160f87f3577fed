#include "shell/qt/live_start.h"

#include "counter/counter_model.h"
#include "counter/qt/simulated_counter.h"
#include "heat/capture_replay.h"
#include "shell/qt/heat_session.h"
#include "shell/qt/main_window.h"
#include "shell/qt/print_commands.h"
#include "storage/event_files.h"
#include "storage/event_manager.h"
#include "storage/participant_list.h"
#include "storage/program_settings.h"
#include "storage/track_config.h"
#include "storage/ui_context.h"
#include "texts/qt/screen_text.h"

#include <QDate>

#include <iostream>

namespace cronovolta {
namespace {

// "--name VALUE" or "--name=VALUE" at args[i]; moves i past what it took.
std::optional<std::string> optionValue(const std::vector<std::string>& args, std::size_t& i,
                                       const std::string& name, bool& missing) {
    const std::string& word = args[i];
    if (word == name) {
        if (i + 1 >= args.size()) {
            missing = true;
            return std::nullopt;
        }
        return args[++i];
    }
    if (word.rfind(name + "=", 0) == 0) {
        return word.substr(name.size() + 1);
    }
    return std::nullopt;
}

const std::vector<std::string> kDemoNames = {"Marta Puig",  "Jordi Vila", "Anna Soler", "Pere Roca",
                                             "Laia Font",   "Marc Serra", "Núria Pons", "Oriol Mas",
                                             "Clara Bosch", "Xavier Gil"};

} // namespace

std::expected<LiveOptions, std::string> takeLiveOptions(std::vector<std::string>& args) {
    LiveOptions options;
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        bool missing = false;
        if (args[i] == "--resume") {
            options.resume = true;
        } else if (auto model = optionValue(args, i, "--simulate", missing)) {
            options.simulate = counterModelFromName(*model);
            if (!options.simulate) {
                return std::unexpected("--simulate: unknown counter model \"" + *model + "\"");
            }
        } else if (auto replay = optionValue(args, i, "--replay", missing)) {
            options.replay = *replay;
        } else if (auto record = optionValue(args, i, "--record", missing)) {
            options.record = *record;
        } else if (auto type = optionValue(args, i, "--programme", missing)) {
            if (type->size() != 1 || (*type)[0] < '0' || (*type)[0] > '4') {
                return std::unexpected("--programme must be 0..4");
            }
            options.programme = programmeTypeFrom((*type)[0] - '0');
        } else if (missing) {
            return std::unexpected(args[i] + " needs a value");
        } else {
            rest.push_back(args[i]);
        }
    }
    if (!options.replay.empty() && !options.record.empty() && options.replay == options.record) {
        return std::unexpected("--replay and --record name the same file");
    }
    args = std::move(rest);
    return options;
}

std::string liveOptionsUsage() {
    return "  --simulate MODEL    a simulated lap counter of that model on COM1 (DS003, DS030,\n"
           "                      DS300, DS4port, DS200); an empty data folder gets a\n"
           "                      demonstration event\n"
           "  --replay FILE       plays a byte capture into the programme opened, in real time\n"
           "  --record FILE       appends what the counters send, the heat keys and the manual\n"
           "                      lanes to a byte capture\n"
           "  --programme TYPE    opens programme 0..4 of the selected event at start\n"
           "  --resume            resumes an interrupted heat without asking\n";
}

SimulatorOptions demoCounter(CounterModel model) {
    SimulatorOptions options = SimulatedCounter::defaultsFor(model);
    options.lanes = 8;
    options.cars = 8;
    return options;
}

std::expected<DemoFolder, std::string> prepareDemoFolder(const fs::path& dataDir,
                                                         CounterModel model, int language) {
    std::error_code ec;
    if (!fs::exists(dataDir / "ZENTOR.CFG", ec)) {
        ProgramSettings settings = defaultProgramSettings();
        settings.counterModel = model;
        settings.language = static_cast<std::int16_t>(language);
        if (auto saved = saveProgramSettings(dataDir / "ZENTOR.CFG", settings); !saved) {
            return std::unexpected(saved.error());
        }
    }
    if (!fs::exists(dataDir / "PISTA.CFG", ec)) {
        TrackConfig track = defaultTrackConfig();
        track.lanes = track.storedLanes = 8;
        track.laneChangeOrder = {8, 1, 2, 3, 4, 5, 6, 7, 8};
        track.circuits = {{1, 1}};
        track.minimumLap = 3.0f;
        deriveTrackConfig(track);
        if (auto saved = saveTrackConfig(dataDir / "PISTA.CFG", track); !saved) {
            return std::unexpected(saved.error());
        }
    }
    DemoFolder demo;
    if (countEventFolders(dataDir) > 0) {
        return demo;
    }
    EventManager manager(dataDir);
    const std::string date =
        QDate::currentDate().toString(QStringLiteral("dd-MM-yyyy")).toStdString();
    auto event = manager.createEvent(language == 1 ? "Demostración" : "Demostració", date);
    if (!event) {
        return std::unexpected(event.error().message);
    }
    // A new event may come with its first race series already.
    auto header = readEventHeader(eventFolder(dataDir, *event) / "PROVA.DAD");
    int seriesNumber = 1;
    if (!header || header->header.seriesCounts[index(ProgrammeType::Race) - 1] < 1) {
        auto added = manager.addSeries(*event, ProgrammeType::Race);
        if (!added) {
            return std::unexpected(added.error().message);
        }
        seriesNumber = *added;
    }
    ParticipantList list;
    list.names = kDemoNames;
    const fs::path file =
        participantFile(eventFolder(dataDir, *event), ProgrammeType::Race, seriesNumber);
    if (auto written = writeParticipantList(file, list); !written) {
        return std::unexpected(written.error());
    }
    demo.raceEvent = *event;
    return demo;
}

ResumingAsker::ResumingAsker(Asker& inner) : m_inner(inner) {
    for (int language : {0, 1}) {
        MessageTable table;
        table.fill("Portada", language);
        m_resumeTitles << qstr(table.text(0, msg::kRecoveryTitle));
    }
}

bool ResumingAsker::yesNo(QWidget* parent, const QString& title, const QString& text,
                          bool yesIsDefault) {
    if (m_resumeTitles.contains(title)) {
        return true;
    }
    return m_inner.yesNo(parent, title, text, yesIsDefault);
}

LiveRun::LiveRun(MainWindow& window, UiContext& ui, Asker& asker, LiveOptions options)
    : m_window(window), m_ui(ui), m_options(std::move(options)),
      m_session(std::make_unique<HeatSession>(window, ui, asker)) {
    connectHeatPrinting(*m_session, window, previewSink(window));
    auto error = [&](const QString& text) {
        asker.message(&window, qstr(ui.message(0, msg::kErrorTitle)), text);
    };
    if (m_options.simulate) {
        m_simulator = std::make_unique<SimulatedCounter>(demoCounter(*m_options.simulate));
        if (auto started = m_simulator->start(); !started) {
            error(started.error());
            m_simulator.reset();
        } else {
            m_session->setPortOverride(1, m_simulator->devicePath());
            m_session->setCounterModel(*m_options.simulate);
        }
    }
    if (!m_options.record.empty()) {
        m_session->setCaptureFile(m_options.record);
    }
    if (!m_options.replay.empty()) {
        auto text = readFileBytes(m_options.replay);
        if (!text) {
            error(qstr(text.error()));
        } else {
            CaptureContents capture = parseCapture(*text);
            for (const CaptureProblem& p : capture.problems) {
                std::cerr << m_options.replay.string() << ":" << p.line << ": " << p.message
                          << '\n';
            }
            // Bytes of another counter model are refused, never decoded as garbage.
            const CounterModel model =
                m_options.simulate ? *m_options.simulate : ui.app.programConfig.counterModel;
            if (auto mismatch = captureModelMismatch(capture, model, ui.language(),
                                                     m_options.replay.string())) {
                error(qstr(*mismatch));
            } else {
                m_session->setReplay(std::move(capture.events));
            }
        }
    }
}

LiveRun::~LiveRun() = default;

void LiveRun::started(const DemoFolder& demo) {
    if (m_session->programmeOpen()) {
        return; // a resumed heat
    }
    std::optional<ProgrammeType> programmeType = m_options.programme;
    if (demo.raceEvent > 0) {
        m_window.selectEvent(demo.raceEvent - 1);
        m_window.selectSeries(ProgrammeType::Race, 0);
        if (!programmeType) {
            programmeType = ProgrammeType::Race;
        }
    }
    if (!programmeType && m_simulator) {
        programmeType = m_window.selectedSeries(ProgrammeType::Race) >= 0 ? ProgrammeType::Race
                                                                          : ProgrammeType::Practice;
    }
    if (programmeType) {
        m_session->openProgramme(*programmeType);
    }
}

} // namespace cronovolta

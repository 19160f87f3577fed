#include "announce/qt/announce_voice.h"
#include "counter/port_map.h"
#include "shell/qt/corrections_commands.h"
#include "shell/qt/file_commands.h"
#include "shell/qt/heat_session.h"
#include "shell/qt/live_results.h"
#include "shell/qt/live_start.h"
#include "shell/qt/main_window.h"
#include "shell/qt/results_commands.h"
#include "shell/qt/startup_sequence.h"
#include "storage/formatting.h"
#include "storage/startup.h"
#include "texts/qt/asker.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QScreen>

#include <expected>
#include <iostream>
#include <optional>
#include <string_view>

using namespace cronovolta;

namespace {

// What the command line asks of the desktop program.
struct Options {
    bool announce = false;
    std::optional<live::ServeAddress> serve;
    std::optional<std::string> serveAddress;
    LiveOptions live;
    CommandLine line;
};

// Answered before QApplication, which needs a display.
bool askedForVersion(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--version") {
            return true;
        }
    }
    return false;
}

std::vector<std::string> programArguments() {
    std::vector<std::string> args;
    const QStringList arguments = QApplication::arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        args.push_back(arguments[i].toStdString());
    }
    return args;
}

void printHelp() {
    std::cout
        << commandLineUsage() << liveOptionsUsage()
        << "  --announce          speaks the heats' announcements, whatever the settings say\n"
        << "  --serve [ADDRESS:]PORT  live results for phones and screens on that address,\n"
        << "                      whatever the settings say\n"
        << "  --address ADDRESS   the address the live results listen on (127.0.0.1: this\n"
        << "                      computer only), whatever the settings or --serve say\n";
}

// The options, or the exit status when the program ends here.
std::expected<Options, int> readOptions(std::vector<std::string> args) {
    Options options;
    // Speaks during heats even when the settings have announcements off.
    options.announce = std::erase(args, std::string("--announce")) > 0;
    auto serve = takeServeOption(args);
    auto serveAddress = takeAddressOption(args);
    if (!serve || !serveAddress) {
        std::cerr << "cronovolta: " << (serve ? serveAddress.error() : serve.error()) << '\n';
        return std::unexpected(2);
    }
    auto live = takeLiveOptions(args);
    if (!live) {
        std::cerr << "cronovolta: " << live.error() << '\n'
                  << commandLineUsage() << liveOptionsUsage();
        return std::unexpected(2);
    }
    auto line =
        parseCommandLine(args, defaultDataFolder(QApplication::applicationDirPath().toStdString(),
                                                 QDir::homePath().toStdString()));
    if (!line) {
        std::cerr << "cronovolta: " << line.error() << '\n' << commandLineUsage();
        return std::unexpected(2);
    }
    if (line->help) {
        printHelp();
        return std::unexpected(0);
    }
    options.serve = std::move(*serve);
    options.serveAddress = std::move(*serveAddress);
    options.live = std::move(*live);
    options.line = std::move(*line);
    return options;
}

void scaleToScreen(UiContext& ui) {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        ui.scale = screenScaleFactors(screen->size().width(), screen->size().height());
        QFont font = QApplication::font();
        font.setPointSizeF(font.pointSizeF() *
                           interfaceFontScale(screen->size().width(), screen->size().height()));
        QApplication::setFont(font);
    }
}

DemoFolder prepareDemo(const fs::path& dataDir, const LiveOptions& live) {
    if (!live.simulate) {
        return {};
    }
    auto prepared = prepareDemoFolder(dataDir, *live.simulate, 0);
    if (!prepared) {
        std::cerr << "cronovolta: " << prepared.error() << '\n';
        return {};
    }
    return *prepared;
}

} // namespace

int main(int argc, char** argv) {
    if (askedForVersion(argc, argv)) {
        std::cout << "cronovolta " CRONOVOLTA_VERSION "\n";
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Cronovolta"));
    QApplication::setApplicationVersion(QStringLiteral(CRONOVOLTA_VERSION));
    QApplication::setStyle(QStringLiteral("Fusion"));

    const auto options = readOptions(programArguments());
    if (!options) {
        return options.error();
    }
    const auto dataDir = prepareDataFolder(options->line.dataDir);
    if (!dataDir) {
        std::cerr << "cronovolta: " << dataDir.error() << '\n';
        QMessageBox::critical(nullptr, QStringLiteral("Cronovolta"),
                              QString::fromStdString(dataDir.error()));
        return 1;
    }

    UiContext ui;
    ui.app.dataDir = *dataDir;
    scaleToScreen(ui);
    const DemoFolder demo = prepareDemo(*dataDir, options->live);
    MessageBoxAsker boxes;
    ResumingAsker resuming(boxes);
    Asker& asker = options->live.resume ? static_cast<Asker&>(resuming) : boxes;
    const bool firstStart = !fs::exists(*dataDir / kSettingsFileName);
    if (!prepareConfiguration(ui, asker)) {
        return 0;
    }
    if (firstStart) {
        asker.message(
            nullptr, QStringLiteral("Cronovolta"),
            QString::fromStdString(serialAccessNoteText(ui.app.programConfig.language, *dataDir)));
    }
    AnnounceVoice voice(ui.app.dataDir, options->announce);
    std::unique_ptr<LiveRun> liveRun;
    auto window = openMainWindow(ui, asker, true, [&](MainWindow& w) {
        liveRun = std::make_unique<LiveRun>(w, ui, asker, options->live);
    });
    connectResultsScreens(*window);
    connectFileScreens(*window);
    connectCorrectionScreens(*window, liveRun->session());
    liveRun->session().setVoice(&voice);
    auto liveResults = std::make_unique<LiveResults>(*window, liveRun->session(), options->serve,
                                                     options->serveAddress);
    liveRun->started(demo);
    const int status = QApplication::exec();
    liveResults.reset();                   // before the session it reads
    liveRun.reset();                       // before the window it works on
    exitLeavingVoiceBehind(voice, status); // never waits on a hung speech server
    return status;
}

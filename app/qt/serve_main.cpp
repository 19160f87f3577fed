// cronovolta-serve: the live-results page over a data folder, without the desktop program
// (the classifications only: no heat runs here). `cronovolta-cli serve` runs it.
#include "live/live_classification.h"
#include "live/live_heat.h"
#include "live/live_requests.h"
#include "live/live_settings.h"
#include "live/live_texts.h"
#include "live/qt/live_server.h"
#include "storage/event_files.h"
#include "storage/program_settings.h"
#include "storage/startup.h"

#include <QCoreApplication>
#include <QTimer>

#include <charconv>
#include <expected>
#include <iostream>
#include <optional>
#include <string>

using namespace cronovolta;

namespace {

constexpr const char* kUsage =
    "usage: cronovolta-serve --data DIR [--port P] [--address A] [--event N] [--type T] "
    "[--series S|all]\n";

// What the command line asks for.
struct ServeOptions {
    std::filesystem::path dataDir;
    live::ServeAddress where;
    std::optional<int> event;
    std::optional<ProgrammeType> programmeType;
    std::optional<int> seriesNumber;
};

// Reads one option's value; false when the option is unknown or its value is wrong.
bool takeOption(ServeOptions& options, const std::string& option, const std::string& value) {
    bool ok = true;
    if (option == "--data") {
        options.dataDir = value;
    } else if (option == "--port") {
        auto p = live::parseNumber(value, 0, 65535); // 0: any free port
        ok = p.has_value();
        options.where.port = p.value_or(0);
    } else if (option == "--address") {
        auto a = live::parseServeAddress(value + ":1");
        ok = a.has_value();
        options.where.address = a ? a->address : std::string();
    } else if (option == "--event") {
        options.event = live::parseNumber(value, 1, 32767);
        ok = options.event.has_value();
    } else if (option == "--type") {
        auto q = live::parseClassificationQuery("type=" + value, 1);
        ok = q.has_value();
        options.programmeType = q ? std::optional<ProgrammeType>(q->programmeType) : std::nullopt;
    } else if (option == "--series") {
        options.seriesNumber =
            value == "all" ? std::optional<int>(0) : live::parseNumber(value, 1, 999);
        ok = options.seriesNumber.has_value();
    } else {
        ok = false;
    }
    return ok;
}

// The options, or the exit status when they are wrong.
std::expected<ServeOptions, int> readOptions(int argc, char** argv) {
    ServeOptions options;
    for (int i = 1; i < argc; i += 2) {
        const std::string option = argv[i];
        if (i + 1 >= argc) {
            std::cerr << kUsage;
            return std::unexpected(2);
        }
        const std::string value = argv[i + 1];
        if (!takeOption(options, option, value)) {
            std::cerr << "cronovolta-serve: bad " << option << " \"" << value << "\"\n" << kUsage;
            return std::unexpected(2);
        }
    }
    if (options.dataDir.empty()) {
        std::cerr << kUsage;
        return std::unexpected(2);
    }
    return options;
}

// LIVE.INI lends its other names of this computer; the desktop program's on/off, port
// and address are its own.
void allowStoredHosts(live::LiveServer& server, const std::filesystem::path& dataDir,
                      int language) {
    if (auto stored = live::loadLiveSettings(dataDir, language)) {
        for (const std::string& problem : stored->problems) {
            std::cerr << "cronovolta-serve: " << problem << '\n';
        }
        server.setAllowedHosts(stored->settings.hosts);
    } else {
        std::cerr << "cronovolta-serve: " << stored.error() << '\n';
    }
}

// Starts listening and says where; false when it cannot.
bool startListening(live::LiveServer& server, const live::ServeAddress& where,
                    const live::LiveTexts& texts) {
    auto started = server.start(QString::fromStdString(where.address), where.port);
    if (!started) {
        std::cerr << "cronovolta-serve: " << live::pageUrl(where.address, where.port) << ": "
                  << started.error().toStdString() << '\n';
        return false;
    }
    for (const QString& url :
         live::LiveServer::pageAddresses(QString::fromStdString(where.address), server.port())) {
        std::cout << url.toStdString() << '\n';
    }
    std::cout.flush();
    if (live::reachableFromNetwork(where.address)) {
        std::cerr << "cronovolta-serve: "
                  << QString::fromStdString(texts.openToNetwork)
                         .arg(QStringLiteral("--address 127.0.0.1"))
                         .toStdString()
                  << '\n';
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const auto options = readOptions(argc, argv);
    if (!options) {
        return options.error();
    }
    const std::filesystem::path& dataDir = options->dataDir;
    const auto settings = loadProgramSettings(dataDir / kSettingsFileName);
    const int language = settings ? settings->language : 0;
    live::ServeSelection selection = live::defaultServeSelection(dataDir);
    selection.event = options->event.value_or(selection.event);
    selection.programmeType = options->programmeType.value_or(selection.programmeType);
    selection.seriesNumber = options->seriesNumber.value_or(selection.seriesNumber);

    const live::LiveTexts& texts = live::liveTexts(language);
    live::LiveServer server;
    if (!live::LiveServer::builtIn()) {
        std::cerr << "cronovolta-serve: " << texts.notBuiltIn << '\n';
        return 1;
    }
    server.setClassificationSource(
        [&](const live::ClassificationQuery& q) -> std::expected<std::string, std::string> {
            auto list =
                live::loadLiveClassification(dataDir, q.event, q.programmeType, q.seriesNumber);
            if (!list) {
                return std::unexpected(list.error());
            }
            return live::classificationJson(*list);
        },
        selection.event);
    allowStoredHosts(server, dataDir, language);
    auto publish = [&] {
        server.publish(live::idleSnapshot(live::selectionContext(
            dataDir, selection.event, selection.programmeType, selection.seriesNumber, language)));
    };
    publish();
    if (!startListening(server, options->where, texts)) {
        return 1;
    }
    // The desktop program may be storing heats in the same folder meanwhile.
    QTimer refresh;
    QObject::connect(&refresh, &QTimer::timeout, publish);
    refresh.start(5000);
    return QCoreApplication::exec();
}

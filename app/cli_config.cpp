// track and settings: the track configuration and the program settings, changed through
// the same field rules as their dialogs.
#include "cli_commands.h"

#include "counter/counter_model.h"
#include "storage/event_files.h"
#include "storage/formatting.h"
#include "storage/number_format.h"
#include "storage/program_settings.h"
#include "storage/track_config.h"
#include "storage/track_fields.h"
#include "texts/language_tables.h"
#include "texts/localiser.h"

#include <algorithm>
#include <cctype>
#include <expected>
#include <ostream>
#include <sstream>

namespace cronovolta::cli {
namespace {

constexpr const char* kTrackSynopsis =
    "track show [--event N] | track set [--event N] KEY=VALUE...\n"
    "  keys: lanes, order (lanes separated by commas), min-lap, largest-partial, circuits,\n"
    "        ports, first-lanes (one per connection, separated by commas), split (on/off),\n"
    "        partial-lane, speed-lane, speed-distance";
constexpr const char* kSettingsSynopsis =
    "settings show | settings set KEY=VALUE...\n"
    "  keys: language (0/1 or ca/es), model (0..4 or its name), comes (-1, 0 or a pass),\n"
    "        autoscroll (0 or seconds), colours (five colour numbers 0..15, comma-separated)";

constexpr std::string_view kSettingsFile = "ZENTOR.CFG";

// Why a command stops: a usage error (kUsage) or a failure (kFailed), with its message.
struct Failure {
    int status = kUsage;
    std::string message;
};
template <class T> using Checked = std::expected<T, Failure>;
using Step = Checked<void>;

std::unexpected<Failure> usageError(std::string message) {
    return std::unexpected(Failure{kUsage, std::move(message)});
}

std::string lower(std::string text) {
    std::ranges::transform(text, text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::vector<std::string> splitList(const std::string& text) {
    std::vector<std::string> out;
    std::string item;
    std::istringstream in(text);
    while (std::getline(in, item, ',')) {
        out.push_back(item);
    }
    if (!text.empty() && text.back() == ',') {
        out.emplace_back();
    }
    return out;
}

Checked<long> integerValue(const std::string& key, const std::string& text) {
    auto v = parseInteger(text);
    if (!v) {
        return usageError(key + ": \"" + text + "\" is not a whole number");
    }
    return *v;
}

Checked<std::vector<long>> integerList(const std::string& key, const std::string& text) {
    std::vector<long> out;
    for (const auto& item : splitList(text)) {
        auto v = integerValue(key, item);
        if (!v) {
            return std::unexpected(v.error());
        }
        out.push_back(*v);
    }
    if (out.empty()) {
        return usageError(key + ": no value given");
    }
    return out;
}

// A decimal number written with a point or a comma.
Checked<std::string> decimalValue(const std::string& key, const std::string& text) {
    std::size_t i = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
    bool digits = false;
    bool separator = false;
    for (std::size_t k = i; k < text.size(); ++k) {
        char c = text[k];
        if (c >= '0' && c <= '9') {
            digits = true;
        } else if ((c == '.' || c == ',') && !separator) {
            separator = true;
        } else {
            digits = false;
            break;
        }
    }
    if (!digits || text.size() > 12) {
        return usageError(key + ": \"" + text + "\" is not a number");
    }
    return text;
}

std::string joinNumbers(const std::vector<int>& values) {
    std::string out;
    for (std::size_t i = 0; i < values.size(); ++i) {
        out += (i ? "," : "") + std::to_string(values[i]);
    }
    return out;
}

// --- track ---

struct TrackTarget {
    fs::path file;
    fs::path eventFolder; // empty for the data folder's template
    int event = 0;
};

// Takes "--event N" out of the words; the rest are returned.
Checked<std::vector<std::string>> takeEventOption(const Invocation& inv, TrackTarget& target) {
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < inv.args.size(); ++i) {
        if (inv.args[i] != "--event") {
            rest.push_back(inv.args[i]);
            continue;
        }
        if (target.event != 0 || i + 1 >= inv.args.size()) {
            return usageError("--event needs one event number");
        }
        auto n = integerValue("--event", inv.args[++i]);
        if (!n) {
            return std::unexpected(n.error());
        }
        if (*n < 1 || *n > 32767) {
            return usageError("--event: there is no event " + inv.args[i]);
        }
        target.event = static_cast<int>(*n);
    }
    if (target.event == 0) {
        target.file = inv.dataDir / kTrackFileName;
    } else {
        target.eventFolder = eventFolder(inv.dataDir, target.event);
        target.file = target.eventFolder / kTrackFileName;
    }
    return rest;
}

// The program's own texts, in the language of its settings (Catalan without them).
int programLanguage(const fs::path& dataDir) {
    auto settings = loadProgramSettings(dataDir / kSettingsFile);
    return settings ? int{settings->language} : int{kLanguageCatalan};
}

std::string lanesAboveMaximumMessage(const fs::path& dataDir) {
    MessageTable messages;
    messages.fill("Portada", programLanguage(dataDir));
    return messages.text(0, msg::kTooManyLanes);
}

// The first paragraph of the warning the dialog shows over the order of an event whose
// heats were run: the heats so far keep the order they were run with.
std::string orderAfterHeatsWarning(const fs::path& dataDir) {
    std::string_view text = tableCaption("ConfiguracioPista", "Avis", -1, programLanguage(dataDir));
    return std::string(text.substr(0, text.find('\r')));
}

void showTrack(std::ostream& out, const TrackConfig& c) {
    std::vector<int> order(c.laneChangeOrder.begin() + 1, c.laneChangeOrder.end());
    std::vector<int> ports;
    std::vector<int> firstLanes;
    for (const auto& circuit : c.circuits) {
        ports.push_back(circuit.port);
        firstLanes.push_back(circuit.firstLane);
    }
    out << "lanes=" << c.lanes << "\n"
        << "order=" << joinNumbers(order) << "\n"
        << "min-lap=" << formatSingle(c.minimumLap, "0.00") << "\n"
        << "largest-partial=" << c.largestPartial << "\n"
        << "circuits=" << c.circuits.size() << "\n"
        << "ports=" << joinNumbers(ports) << "\n"
        << "first-lanes=" << joinNumbers(firstLanes) << "\n"
        << "split=" << (c.splitTiming ? "on" : "off") << "\n"
        << "partial-lane=" << c.partialLane << "\n"
        << "speed-lane=" << c.speedLane << "\n"
        << "speed-distance=" << c.speedDistance << "\n";
}

// Tells the organiser when a field rule changed what was typed, as the dialog does by
// showing the corrected text.
void noteCorrection(const Invocation& inv, const std::string& key, const std::string& typed,
                    const std::string& shown) {
    if (typed != shown) {
        inv.err << "cronovolta-cli: " << key << "=" << typed << " became " << shown << "\n";
    }
}

Step setOrder(const Invocation& inv, const TrackTarget& target, TrackConfig& c,
              const std::string& value) {
    auto lanes = integerList("order", value);
    if (!lanes) {
        return std::unexpected(lanes.error());
    }
    if (lanes->size() > static_cast<std::size_t>(c.lanes)) {
        return usageError("order: " + std::to_string(lanes->size()) +
                          " lanes given for a track of " + std::to_string(c.lanes));
    }
    for (long lane : *lanes) {
        if (lane < 1 || lane > kMaxLanes) {
            return usageError("order: lane " + std::to_string(lane) + " is not 1 to 64");
        }
    }
    if (!target.eventFolder.empty() && heatsAlreadyRun(target.eventFolder)) {
        inv.err << "cronovolta-cli: warning: " << orderAfterHeatsWarning(inv.dataDir) << "\n";
    }
    for (std::size_t i = 0; i < lanes->size(); ++i) {
        leaveOrderBox(c, static_cast<int>(i) + 1, std::to_string((*lanes)[i]));
    }
    return {};
}

// One value per connection, for the first connections or all of them.
Checked<std::vector<long>> connectionList(const TrackConfig& c, const std::string& key,
                                          const std::string& value) {
    auto values = integerList(key, value);
    if (values && values->size() > c.circuits.size()) {
        return usageError(key + ": " + std::to_string(values->size()) + " values given for " +
                          std::to_string(c.circuits.size()) + " connections");
    }
    return values;
}

Step setPorts(TrackConfig& c, const std::string& value) {
    auto ports = connectionList(c, "ports", value);
    if (!ports) {
        return std::unexpected(ports.error());
    }
    for (long port : *ports) {
        if (port < 1 || port > 4) {
            return usageError("ports: there is no port COM" + std::to_string(port));
        }
    }
    for (std::size_t i = 0; i < ports->size(); ++i) {
        choosePort(c, static_cast<int>(i) + 1, static_cast<int>((*ports)[i]));
    }
    return {};
}

Step setFirstLanes(const Invocation& inv, TrackConfig& c, const std::string& value) {
    auto lanes = connectionList(c, "first-lanes", value);
    if (!lanes) {
        return std::unexpected(lanes.error());
    }
    if ((*lanes)[0] != c.circuits[0].firstLane) {
        return usageError("first-lanes: the first connection always starts at lane " +
                          std::to_string(c.circuits[0].firstLane));
    }
    for (std::size_t i = 1; i < lanes->size(); ++i) {
        std::string typed = std::to_string((*lanes)[i]);
        noteCorrection(inv, "first-lanes", typed,
                       leaveFirstLane(c, static_cast<int>(i) + 1, typed));
    }
    return {};
}

using FieldRule = std::string (*)(TrackConfig&, std::string_view);

// A field that takes one number: checked, then corrected by the dialog's rule.
Step setField(const Invocation& inv, TrackConfig& c, const std::string& key,
              const std::string& value, FieldRule rule, bool whole) {
    std::string typed;
    if (whole) {
        auto n = integerValue(key, value);
        if (!n) {
            return std::unexpected(n.error());
        }
        typed = std::to_string(*n);
    } else {
        auto d = decimalValue(key, value);
        if (!d) {
            return std::unexpected(d.error());
        }
        typed = *d;
    }
    noteCorrection(inv, key, value, rule(c, typed));
    return {};
}

Step setLaneCount(const Invocation& inv, const TrackTarget& target, TrackConfig& c,
                  const std::string& value) {
    auto n = integerValue("lanes", value);
    if (!n) {
        return std::unexpected(n.error());
    }
    bool changes = std::clamp<long>(*n, 1, kMaxLanes) != c.lanes;
    if (changes && !target.eventFolder.empty() && heatsAlreadyRun(target.eventFolder)) {
        return std::unexpected(
            Failure{kFailed, "heats of event " + std::to_string(target.event) +
                                 " have already been run: its number of lanes is locked"});
    }
    return setField(inv, c, "lanes", value, leaveLaneCount, true);
}

Step setCircuits(TrackConfig& c, const std::string& value) {
    auto n = integerValue("circuits", value);
    if (!n) {
        return std::unexpected(n.error());
    }
    if (*n < 1 || *n > 4) {
        return usageError("circuits: the number of connections is 1 to 4");
    }
    chooseCircuitCount(c, static_cast<int>(*n));
    return {};
}

Step applyTrackSetting(const Invocation& inv, const TrackTarget& target, TrackConfig& c,
                       const std::string& key, const std::string& value) {
    if (key == "lanes") {
        return setLaneCount(inv, target, c, value);
    }
    if (key == "order") {
        return setOrder(inv, target, c, value);
    }
    if (key == "min-lap") {
        return setField(inv, c, key, value, leaveMinimumLap, false);
    }
    if (key == "largest-partial") {
        return setField(inv, c, key, value, leaveLargestPartial, false);
    }
    if (key == "circuits") {
        return setCircuits(c, value);
    }
    if (key == "ports") {
        return setPorts(c, value);
    }
    if (key == "first-lanes") {
        return setFirstLanes(inv, c, value);
    }
    if (key == "split") {
        if (value != "on" && value != "off") {
            return usageError("split: use on or off");
        }
        chooseSplitTiming(c, value == "on");
        return {};
    }
    if (key == "partial-lane") {
        return setField(inv, c, key, value, leavePartialLane, true);
    }
    if (key == "speed-lane") {
        return setField(inv, c, key, value, leaveSpeedLane, true);
    }
    if (key == "speed-distance") {
        return setField(inv, c, key, value, leaveSpeedDistance, true);
    }
    return usageError("unknown key \"" + key + "\"");
}

using KeyValues = std::vector<std::pair<std::string, std::string>>;

// The words after "show" or "set": none for show, at least one KEY=VALUE for set.
Checked<KeyValues> commandWords(const std::vector<std::string>& words, const std::string& name) {
    if (words.empty() || (words[0] != "show" && words[0] != "set")) {
        return usageError(name + " show or " + name + " set");
    }
    KeyValues out;
    if (words[0] == "show") {
        if (words.size() > 1) {
            return usageError(name + " show takes no values");
        }
        return out;
    }
    if (words.size() == 1) {
        return usageError("nothing to set");
    }
    for (std::size_t i = 1; i < words.size(); ++i) {
        auto kv = splitKeyValue(words[i]);
        if (!kv) {
            return usageError("\"" + words[i] + "\" is not KEY=VALUE");
        }
        out.push_back(*kv);
    }
    return out;
}

void reportProblems(const Invocation& inv, const fs::path& file,
                    const std::vector<std::string>& problems) {
    for (const auto& p : problems) {
        inv.err << "cronovolta-cli: warning: " << file.string() << ": " << p << "\n";
    }
}

Checked<TrackConfig> loadTrack(const Invocation& inv, const TrackTarget& target, bool create) {
    std::error_code ec;
    if (!target.eventFolder.empty() && !fs::is_directory(target.eventFolder, ec)) {
        return std::unexpected(Failure{kFailed, "there is no event " +
                                                    std::to_string(target.event) + " (no folder " +
                                                    target.eventFolder.string() + ")"});
    }
    if (!fs::exists(target.file, ec)) {
        if (create) {
            return defaultTrackConfig();
        }
        return std::unexpected(Failure{kFailed, "there is no track configuration " +
                                                    target.file.string() +
                                                    " (track set creates it)"});
    }
    auto loaded = loadTrackConfigChecked(target.file);
    if (!loaded) {
        return std::unexpected(Failure{kFailed, loaded.error()});
    }
    reportProblems(inv, target.file, loaded->problems);
    if (loaded->config.lanesAboveMaximum()) {
        return std::unexpected(Failure{kFailed, lanesAboveMaximumMessage(inv.dataDir)});
    }
    return std::move(loaded->config);
}

Step runTrack(const Invocation& inv) {
    TrackTarget target;
    auto words = takeEventOption(inv, target);
    if (!words) {
        return std::unexpected(words.error());
    }
    auto settings = commandWords(*words, "track");
    if (!settings) {
        return std::unexpected(settings.error());
    }
    bool set = (*words)[0] == "set";
    auto config = loadTrack(inv, target, set);
    if (!config) {
        return std::unexpected(config.error());
    }
    if (!set) {
        showTrack(inv.out, *config);
        return {};
    }
    for (const auto& [key, value] : *settings) {
        if (auto step = applyTrackSetting(inv, target, *config, key, value); !step) {
            return step;
        }
    }
    if (auto saved = saveTrackConfig(target.file, *config); !saved) {
        return std::unexpected(Failure{kFailed, saved.error()});
    }
    return {};
}

// --- settings ---

void showSettings(std::ostream& out, const ProgramSettings& c) {
    std::vector<int> colours(c.colours.begin(), c.colours.end());
    out << "language=" << c.language << "\n"
        << "model=" << static_cast<int>(c.counterModel) << "\n"
        << "comes=" << c.lapFractionPolicy << "\n"
        << "autoscroll=" << c.autoScroll << "\n"
        << "colours=" << joinNumbers(colours) << "\n";
}

Step setLanguage(ProgramSettings& c, const std::string& v) {
    if (v == "0" || v == "ca") {
        c.language = 0;
    } else if (v == "1" || v == "es") {
        c.language = 1;
    } else {
        return usageError("language: use 0 or ca (Català), 1 or es (Castellà)");
    }
    return {};
}

Step setModel(ProgramSettings& c, const std::string& v) {
    if (auto model = counterModelFromName(v)) {
        c.counterModel = *model;
        return {};
    }
    return usageError("model: use 0..4 or DS003, DS030, DS300, \"DS300 & DS4port\", DS200");
}

// A whole number from lowest to 32767 into a 16-bit field.
Step setNumber(std::int16_t& field, const std::string& key, const std::string& value, long lowest,
               const std::string& hint) {
    auto n = integerValue(key, value);
    if (!n) {
        return std::unexpected(n.error());
    }
    if (*n < lowest || *n > 32767) {
        return usageError(key + ": " + hint);
    }
    field = static_cast<std::int16_t>(*n);
    return {};
}

Step setColours(ProgramSettings& c, const std::string& value) {
    auto colours = integerList("colours", value);
    if (!colours) {
        return std::unexpected(colours.error());
    }
    if (colours->size() != kColourSlots) {
        return usageError("colours: give five colour numbers");
    }
    for (long colour : *colours) {
        if (colour < 0 || colour > 15) {
            return usageError("colours: " + std::to_string(colour) + " is not 0 to 15");
        }
    }
    c.colours.assign(colours->begin(), colours->end());
    return {};
}

Step applySetting(ProgramSettings& c, const std::string& key, const std::string& value) {
    if (key == "language") {
        return setLanguage(c, lower(value));
    }
    if (key == "model") {
        return setModel(c, value);
    }
    if (key == "comes") {
        return setNumber(c.lapFractionPolicy, key, value, -1,
                         "use 0 (never), -1 (every heat) or the number of a pass");
    }
    if (key == "autoscroll") {
        return setNumber(c.autoScroll, key, value, 0, "use 0 (off) or a number of seconds");
    }
    if (key == "colours") {
        return setColours(c, value);
    }
    return usageError("unknown key \"" + key + "\"");
}

Step runSettings(const Invocation& inv) {
    auto settings = commandWords(inv.args, "settings");
    if (!settings) {
        return std::unexpected(settings.error());
    }
    bool set = inv.args[0] == "set";
    fs::path file = inv.dataDir / kSettingsFile;
    ProgramSettings config = defaultProgramSettings();
    std::error_code ec;
    if (fs::exists(file, ec)) {
        auto loaded = loadProgramSettingsChecked(file);
        if (!loaded) {
            return std::unexpected(Failure{kFailed, loaded.error()});
        }
        reportProblems(inv, file, loaded->problems);
        config = std::move(loaded->config);
    } else if (!set) {
        return std::unexpected(Failure{kFailed, "there are no program settings " + file.string() +
                                                    " (settings set creates them)"});
    }
    if (!set) {
        showSettings(inv.out, config);
        return {};
    }
    for (const auto& [key, value] : *settings) {
        if (auto step = applySetting(config, key, value); !step) {
            return step;
        }
    }
    if (auto saved = saveProgramSettings(file, config); !saved) {
        return std::unexpected(Failure{kFailed, saved.error()});
    }
    return {};
}

int finish(const Invocation& inv, const Step& step, const char* synopsis) {
    if (step) {
        return kOk;
    }
    if (step.error().status == kUsage) {
        inv.err << "cronovolta-cli: " << step.error().message << "\n";
        return usage(inv, synopsis);
    }
    return fail(inv, step.error().message);
}

} // namespace

int cmdTrack(const Invocation& inv) {
    return finish(inv, runTrack(inv), kTrackSynopsis);
}

int cmdSettings(const Invocation& inv) {
    return finish(inv, runSettings(inv), kSettingsSynopsis);
}

} // namespace cronovolta::cli

// The announce command: the spoken announcements of a capture's heats, as text or WAV.
#include "cli_commands.h"

#include "announce/announce_settings.h"
#include "announce/heat_announcer.h"
#include "storage/event_files.h"
#include "storage/number_format.h"
#include "storage/platform.h"

#include <cstdlib>
#include <fstream>
#include <random>

namespace cronovolta::cli {
namespace {

constexpr const char* kAnnounceUsage =
    "announce EVENT TYPE SERIES CAPTURE [--wav FILE]  (TYPE: 0..4 or LLR, OFC, SPP, CRS)";

// Speaks as a live voice would: one sentence at a time, each taking its while, so what a
// busy heat drops here is what the track would not have heard either.
class PacedVoice {
public:
    PacedVoice(Announcer& announcer, int rate, std::ostream& out)
        : m_announcer(announcer), m_rate(rate), m_out(out) {}

    void told(double t, bool ended) {
        if (t < m_lastTime) {
            m_busyUntil = 0.0; // a new heat: its clock starts again
        }
        m_lastTime = t;
        if (ended) {
            // Nothing ticks after the end: its sentences follow one another now.
            double now = std::max(t, m_busyUntil);
            while (auto said = m_announcer.next(now)) {
                say(*said, now);
                now = m_busyUntil;
            }
        } else if (t >= m_busyUntil) {
            if (auto said = m_announcer.next(t)) {
                say(*said, t);
            }
        }
    }

    const std::vector<std::string>& spoken() const { return m_spoken; }

private:
    void say(const Announcement& a, double t) {
        m_out << longTime(t) << '\t' << a.text << '\n';
        m_spoken.push_back(a.text);
        m_busyUntil = t + speakingTime(a.text, m_rate);
    }

    Announcer& m_announcer;
    int m_rate;
    std::ostream& m_out;
    double m_busyUntil = 0.0;
    double m_lastTime = 0.0;
    std::vector<std::string> m_spoken;
};

class ProblemPrinter : public HeatObserver {
public:
    explicit ProblemPrinter(std::ostream& err) : m_err(err) {}
    void problem(const std::string& message) override {
        m_err << "cronovolta-cli: " << message << "\n";
    }

private:
    std::ostream& m_err;
};

// The replay must store nothing, so it runs on a copy of the files it needs: the data
// folder's own files (upper-case 8.3 names, unlike a program folder's binaries) and the
// event's folder.
std::expected<fs::path, std::string> scratchCopy(const fs::path& dataDir, int event) {
    std::error_code ec;
    const fs::path temp = fs::temp_directory_path(ec);
    std::random_device seed;
    std::mt19937_64 random(seed());
    fs::path scratch;
    // create_directory tells a name already taken, so two replays never share a folder.
    for (int attempt = 0; attempt < 100 && scratch.empty(); ++attempt) {
        fs::path candidate = temp / ("cronovolta-announce-" + std::to_string(random()));
        if (fs::create_directory(candidate, ec)) {
            scratch = candidate;
            fs::permissions(scratch, fs::perms::owner_all, ec);
        }
    }
    if (scratch.empty()) {
        return std::unexpected("cannot create a scratch folder in " + temp.string());
    }
    for (const auto& entry : fs::directory_iterator(dataDir, ec)) {
        std::string name = entry.path().filename().string();
        bool dataName = std::none_of(name.begin(), name.end(), [](char c) {
            return std::islower(static_cast<unsigned char>(c));
        });
        if (dataName && entry.is_regular_file()) {
            fs::copy_file(entry.path(), scratch / entry.path().filename(), ec);
            if (ec) {
                break;
            }
        }
    }
    if (!ec && event > 0 && fs::is_directory(eventFolder(dataDir, event))) {
        fs::copy(eventFolder(dataDir, event), eventFolder(scratch, event),
                 fs::copy_options::recursive, ec);
    }
    if (ec) {
        fs::remove_all(scratch, ec);
        return std::unexpected("cannot copy the data folder for the replay: " + ec.message());
    }
    return scratch;
}

// Through espeak-ng's own command line, with no shell between: names reach it as text.
std::expected<void, std::string> renderWav(const std::vector<std::string>& sentences,
                                           const fs::path& scratch, const std::string& wav,
                                           int language, int rate) {
    fs::path textFile = scratch / "announcements.txt";
    {
        std::ofstream text(textFile);
        for (const auto& s : sentences) {
            text << s << ".\n";
        }
        if (!text) {
            return std::unexpected("cannot write " + textFile.string());
        }
    }
    std::string voice = language == 1 ? "es" : "ca";
    std::string speed = std::to_string(175 + 10 * rate);
    std::string file = textFile.string();
    const auto status =
        platform::runProgram({"espeak-ng", "-v", voice, "-s", speed, "-w", wav, "-f", file});
    if (!status && status.error() == std::errc::no_such_file_or_directory) {
        return std::unexpected("espeak-ng is not installed; install the Debian package espeak-ng");
    }
    if (!status) {
        return std::unexpected("cannot start espeak-ng");
    }
    if (*status != 0) {
        return std::unexpected("espeak-ng could not write " + wav);
    }
    return {};
}

} // namespace

int cmdAnnounce(const Invocation& inv) {
    std::vector<std::string> words;
    std::optional<std::string> wav;
    for (std::size_t i = 0; i < inv.args.size(); ++i) {
        if (inv.args[i] == "--wav") {
            if (i + 1 >= inv.args.size()) {
                return usage(inv, kAnnounceUsage);
            }
            wav = inv.args[++i];
        } else {
            words.push_back(inv.args[i]);
        }
    }
    auto request = parseReplayRequest(inv, words, kAnnounceUsage);
    if (!request) {
        return request.error();
    }
    ProgramSettings program = programSettings(inv);
    auto loaded = loadAnnounceSettings(inv.dataDir, program.language);
    if (!loaded) {
        return fail(inv, loaded.error());
    }
    for (const auto& problem : loaded->problems) {
        inv.err << "cronovolta-cli: " << problem << "\n";
    }
    const AnnounceFileSettings& settings = loaded->settings;
    auto scratch = scratchCopy(inv.dataDir, request->event);
    if (!scratch) {
        return fail(inv, scratch.error());
    }
    Invocation copy{*scratch, inv.args, inv.out, inv.err};
    request->guardInterrupted = false; // a copy: nothing of the folder is changed
    HeatEngine engine(program);
    ProblemPrinter problems(inv.err);
    engine.setObserver(&problems);
    Announcer announcer(settings.announce);
    HeatAnnouncer link(engine, announcer);
    PacedVoice voice(announcer, settings.rate, inv.out);
    link.onEvent([&](double t, bool ended) { voice.told(t, ended); });
    engine.setEventListener(&link);
    int result = runReplay(copy, *request, engine);
    if (result == kOk && wav) {
        if (voice.spoken().empty()) {
            result = fail(inv, "the capture has no announcements to speak");
        } else if (auto written =
                       renderWav(voice.spoken(), *scratch, *wav, program.language, settings.rate);
                   !written) {
            result = fail(inv, written.error());
        }
    }
    std::error_code ec;
    fs::remove_all(*scratch, ec);
    return result;
}

} // namespace cronovolta::cli

#include "results/results_source.h"

#include "storage/event_files.h"
#include "storage/number_format.h"
#include "storage/participant_list.h"
#include "storage/penalty_record.h"
#include "storage/program_settings.h"

#include <algorithm>
#include <utility>

namespace cronovolta {
namespace {

bool fileExists(const fs::path& p) {
    std::error_code ec;
    return fs::exists(p, ec);
}

// The event's own track, else the data folder's, read as far as sound; what could not be
// read is said.
TrackConfig trackOf(EventFiles& files) {
    bool failed = false;
    for (const auto& p : {files.eventDir / kTrackFileName, files.dataDir / kTrackFileName}) {
        if (!fileExists(p)) {
            continue;
        }
        auto track = loadTrackConfigChecked(p);
        if (!track) {
            files.problems.push_back(track.error());
            failed = true;
            continue;
        }
        for (const auto& problem : track->problems) {
            files.problems.push_back(p.string() + ": " + problem);
        }
        if (failed) {
            files.problems.push_back("the track configuration " + p.string() + " is used instead");
        }
        return track->config;
    }
    if (failed) {
        files.problems.push_back("the default track configuration is used instead");
    }
    return defaultTrackConfig();
}

} // namespace

std::expected<EventFiles, std::string> openEventFiles(const fs::path& dataDir, int event) {
    EventFiles files;
    files.dataDir = dataDir;
    files.event = event;
    files.eventDir = eventFolder(dataDir, event);
    std::error_code ec;
    if (event < 1 || !fs::is_directory(files.eventDir, ec)) {
        return std::unexpected("event " + std::to_string(event) + " does not exist");
    }
    auto header = readEventHeader(files.eventDir / kEventHeaderFileName);
    if (!header) {
        return std::unexpected(header.error());
    }
    files.eventName = header->header.name;
    files.eventDate = header->header.date;
    for (std::size_t t = 0; t < 4; ++t) {
        files.seriesCounts[t + 1] = std::max<int>(header->header.seriesCounts[t], 0);
    }
    files.track = trackOf(files);
    ProgramSettings programConfig = defaultProgramSettings();
    if (const auto cfg = dataDir / "ZENTOR.CFG"; fileExists(cfg)) {
        if (auto loaded = loadProgramSettingsChecked(cfg)) {
            programConfig = loaded->config;
            for (const auto& problem : loaded->problems) {
                files.problems.push_back(cfg.string() + ": " + problem);
            }
        } else {
            files.problems.push_back(loaded.error() + "; the default settings are used");
        }
    }
    files.language = programConfig.language;
    files.colours.assign(programConfig.colours.begin(), programConfig.colours.end());
    return files;
}

SeriesData loadSeriesData(const fs::path& eventDir, ProgrammeType programmeType, int seriesNumber,
                          std::vector<std::string>& problems) {
    SeriesData data;
    data.seriesNumber = seriesNumber;
    const auto parFile = participantFile(eventDir, programmeType, seriesNumber);
    if (auto list = readParticipantList(parFile)) {
        data.participants = std::move(*list);
        auto damage = participantListDamage(parFile, data.participants);
        problems.insert(problems.end(), damage.begin(), damage.end());
    } else {
        problems.push_back(list.error());
    }
    const auto penFile = eventDir / seriesFileName(programmeType, seriesNumber, ".PEN");
    if (auto pens = readPenalties(penFile)) {
        data.penalties = std::move(pens->records);
        if (pens->truncated) {
            problems.push_back(penFile.filename().string() +
                               " ends inside a record; the penalties before it are used");
        }
        if (pens->leftOut > 0) {
            problems.push_back(describeLeftOut(penFile, pens->leftOut, "99 penalties"));
        }
        for (const auto& rec : data.penalties) {
            if (!penaltyApplies(rec)) {
                problems.push_back(penFile.filename().string() + " holds a penalty of " +
                                   singleToText(rec.laps) + " laps for participant " +
                                   std::to_string(rec.participant) + "; it is not applied");
            }
        }
    } else {
        problems.push_back(pens.error());
    }
    const auto dadFile = eventDir / seriesFileName(programmeType, seriesNumber, ".DAD");
    data.heatFileMissing = !fileExists(dadFile);
    if (!data.heatFileMissing) {
        if (auto heats = readHeatResultFile(dadFile)) {
            data.heats = std::move(heats->records);
            if (heats->leftOut > 0) {
                problems.push_back(describeLeftOut(dadFile, heats->leftOut, "1000 heats"));
            }
        } else {
            problems.push_back(heats.error());
        }
    }
    return data;
}

SeriesLoader seriesFileLoader(fs::path eventDir, ProgrammeType programmeType,
                              FileProblems problems) {
    return [eventDir = std::move(eventDir), programmeType, problems](int seriesNumber) {
        return loadSeriesData(eventDir, programmeType, seriesNumber, *problems);
    };
}

ResultsBrowser makeResultsBrowser(const EventFiles& event, ProgrammeType programmeType,
                                  int activeSeriesNumber, FileProblems problems,
                                  std::optional<int> heatPreset) {
    BrowserSetup setup;
    setup.programmeType = programmeType;
    setup.seriesCount = event.seriesCounts[static_cast<std::size_t>(
        index(std::clamp(programmeType, ProgrammeType::Practice, ProgrammeType::Race)))];
    setup.activeSeriesNumber = activeSeriesNumber;
    setup.language = event.language;
    setup.track = event.track;
    setup.heatPreset = heatPreset;
    return ResultsBrowser(setup,
                          seriesFileLoader(event.eventDir, programmeType, std::move(problems)));
}

std::vector<std::string> describeProblems(const ResultsBrowser& browser,
                                          const std::vector<std::string>& fileProblems,
                                          int language) {
    std::vector<std::string> out = fileProblems;
    const ProgrammeType programmeType = browser.setup().programmeType;
    for (const auto& issue : browser.list().issues()) {
        const std::string file = seriesFileName(programmeType, issue.seriesNumber, ".DAD");
        out.push_back(language < 0 ? describeLoadIssue(issue, file)
                                   : describeLoadIssue(issue, file, language));
    }
    return out;
}

} // namespace cronovolta

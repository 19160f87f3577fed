#include "heat/heat_engine.h"
#include "heat/standings_layout.h"

#include "storage/event_files.h"
#include "storage/formatting.h"
#include "storage/number_format.h"
#include "texts/system_errors.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

namespace cronovolta {
namespace {

std::vector<std::string> splitLayout(const std::string& layout) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (true) {
        std::size_t bar = layout.find('|', start);
        std::string item =
            layout.substr(start, bar == std::string::npos ? std::string::npos : bar - start);
        if (!item.empty() && (item[0] == '<' || item[0] == '^' || item[0] == '>')) {
            item.erase(0, 1);
        }
        out.push_back(item);
        if (bar == std::string::npos) {
            break;
        }
        start = bar + 1;
    }
    return out;
}

} // namespace

float storableTime(double seconds) {
    float value = static_cast<float>(seconds);
    std::string text = singleToText(value);
    float back = value;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), back);
    (void)end;
    return ec == std::errc() ? back : value;
}

float storableTimeNotAfter(double seconds) {
    // Seven significant digits: the last one's unit.
    double unit = std::pow(10.0, std::floor(std::log10(std::max(seconds, 1.0))) - 6.0);
    float value = storableTime(seconds);
    for (int i = 1; i <= 3 && static_cast<double>(value) > seconds; ++i) {
        value = storableTime(seconds - unit * i);
    }
    return value;
}

HeatEngine::HeatEngine(ProgramSettings settings)
    : m_settings(std::move(settings)), m_texts(heatTexts(m_settings.language)) {
    m_colours = ColourSlots::from(m_settings.colours);
}

HeatEngine::~HeatEngine() = default;

// Every problem reaches the organiser in the language of the settings, the file problems
// of the storage layer (and the system's reason in them) included.
void HeatEngine::report(const std::string& message) {
    if (m_observer) {
        m_observer->problem(localiseProblems(message, m_settings.language));
    }
}

void HeatEngine::journalRecord(const LapRecord& record) {
    auto appended = m_records.journal.append(record);
    if (m_events) {
        m_events->recordAppended(record);
    }
    if (!appended) {
        journalFailure(appended.error());
    }
}

// Said once per heat; from then on the journal on the disk is not whole.
void HeatEngine::journalFailure(const std::string& error) {
    if (!m_records.failed) {
        report(localiseProblems(error, m_settings.language) + "\n" +
               heatnote::journalInMemoryText(m_settings.language));
    }
    m_records.failed = true;
}

void HeatEngine::changed() {
    if (m_observer) {
        m_observer->modelsChanged();
    }
}

namespace {

OpenProgrammeError otherError(std::string text) {
    return {OpenProgrammeError::Kind::Other, std::move(text)};
}

} // namespace

fs::path HeatEngine::seriesFile(std::string_view extension) const {
    return m_workDir / seriesFileName(m_programmeType, m_request.seriesNumber, extension);
}

std::string HeatEngine::participantName(int participant) const {
    if (participant < 1 || participant > participantCount()) {
        return {};
    }
    return m_participants.names[static_cast<std::size_t>(participant - 1)];
}

std::vector<int> HeatEngine::visibleStandingsColumns() const {
    std::vector<int> out;
    if (!standingsProgramme()) {
        return out;
    }
    auto widths = standingsColumnWidths(m_programmeType);
    for (int c = col::SeriesLaps; c < col::Count; ++c) {
        if (widths[static_cast<std::size_t>(c)] > 0) {
            out.push_back(c);
        }
    }
    return out;
}

std::expected<void, OpenProgrammeError> HeatEngine::openProgramme(const ProgrammeRequest& request) {
    if (m_state.running) {
        return std::unexpected(otherError("a heat is running"));
    }
    if (m_open) {
        closeProgramme();
    }
    if (!programmeTypeFrom(index(request.programmeType))) {
        return std::unexpected(
            otherError("unknown programme type " + std::to_string(index(request.programmeType))));
    }
    ProgrammeRequest req = request;
    if (req.programmeType == ProgrammeType::Practice) {
        req.seriesNumber = 1;
    }
    if (req.seriesNumber < 1) {
        return std::unexpected(otherError("no series selected"));
    }
    if (auto loaded = loadProgramme(req); !loaded) {
        return loaded;
    }
    layOutProgramme(req);
    m_open = true;
    if (standingsProgramme()) {
        rebuildStandings();
    }
    if (m_superPole.model().splitDisplay) {
        seedSectorReferences();
    }
    changed();
    return {};
}

// The programme's folder, track and participants read; taken as the open programme once
// all of them are sound.
std::expected<void, OpenProgrammeError> HeatEngine::loadProgramme(const ProgrammeRequest& req) {
    fs::path workDir = req.programmeType >= ProgrammeType::FreePractice
                           ? eventFolder(req.dataDir, req.event)
                           : req.dataDir;
    std::error_code ec;
    if (!fs::is_directory(workDir, ec)) {
        return std::unexpected(otherError("the folder " + workDir.string() + " does not exist"));
    }
    auto track = loadTrackConfig(workDir / "PISTA.CFG");
    if (!track) {
        return std::unexpected(otherError(track.error()));
    }
    if (track->lanesAboveMaximum()) {
        return std::unexpected(OpenProgrammeError{
            OpenProgrammeError::Kind::TooManyLanes,
            "El nombre de pistes de la configuració és superior al màxim permès"});
    }
    auto participants =
        loadSeriesParticipants(workDir, req.programmeType, req.seriesNumber, track->lanes);
    if (!participants) {
        return std::unexpected(otherError(participants.error()));
    }
    if (participants->truncated) {
        report(heatnote::namesCutText(m_settings.language));
    }

    m_request = req;
    m_programmeType = req.programmeType;
    m_workDir = workDir;
    m_track = std::move(*track);
    m_lapTexts.clearLaps(); // their format depends on the track's largest partial
    m_participants = std::move(*participants);
    return {};
}

// The heat state, the lanes, the panel and the displays of a programme just loaded.
void HeatEngine::layOutProgramme(const ProgrammeRequest& req) {
    m_state.heat = m_participants.heatsDone;
    if (m_state.heat < 0) {
        report(heatnote::negativeCounterText(m_settings.language, seriesFile(".PAR").string(),
                                             m_state.heat));
        m_state.heat = 0;
    }
    m_state.running = m_state.paused = false;
    m_records.owned = false;
    m_held.reset();
    m_lapFractionMode = false;
    m_pendingLapFraction = LapFractionEntry::None;
    m_keys.forgetShift();
    m_state.endDeadline = HeatState::kNoDeadline;

    m_timers.layOut(m_track.highestLane());
    m_lanes.layOut(m_track.laneChangeOrder, m_texts.lanePrefix, m_colours.slot[4],
                   m_colours.slot[3]);
    layOutPanel(req);
    m_superPole.open(m_programmeType == ProgrammeType::SuperPole, m_track.splitTiming, req.dataDir,
                     m_colours);
    m_layoutHeadings = splitLayout(m_texts.standingsLayout);
    m_layoutHeadings.resize(col::Count);
    m_headings = m_layoutHeadings;
    m_grid.reset(0);
    m_absolute = {};
}

void HeatEngine::layOutPanel(const ProgrammeRequest& req) {
    m_panel = HeatPanelModel{};
    m_panel.shown = true;
    m_panel.captions = m_texts.buttons;
    m_panel.elapsedLabel = m_texts.elapsedLabel;
    m_panel.pauseLabel = m_texts.pauseLabel;
    m_panel.showButtons(true);
    m_panel.buttonEnabled = {true, false, false, false, false, false};
    m_panel.tickIntervalMs = m_programmeType == ProgrammeType::SuperPole ? 50 : 500;
    std::string caption =
        " - " + m_texts.programmeCaptions[static_cast<std::size_t>(m_programmeType)];
    if (m_programmeType >= ProgrammeType::FreePractice) {
        std::string listText =
            req.seriesListText.empty() ? std::to_string(req.seriesNumber) : req.seriesListText;
        caption += " (" + listText + " #" + std::to_string(req.seriesNumber) + ")";
    }
    m_panel.caption = caption;
}

bool HeatEngine::closeProgramme() {
    if (!m_open) {
        return true;
    }
    if (m_state.running) {
        return false;
    }
    m_records.journal.close();
    if (m_held && !settleHeldHeat()) {
        // Left for the recovery, with the resume file: the next start of the program (or
        // `replay --recover`) stores it once there is room.
        report(heatnote::heldAtCloseText(m_settings.language, m_held->heat, m_held->journalWhole));
        m_held.reset();
    } else if (m_records.owned) {
        // Only the journal this opening wrote: one found here belongs to a heat that was
        // interrupted and is still to be recovered.
        std::error_code ec;
        fs::remove(m_workDir / "VLTAVLT.TMP", ec);
        m_records.adjustments.start(m_workDir / kAdjustmentJournalName);
    }
    m_records.owned = false;
    m_open = false;
    m_panel = HeatPanelModel{};
    m_superPole.close();
    m_grid.reset(0);
    m_lanes = LapLanes{};
    m_lapFractionMode = false;
    changed();
    return true;
}

std::expected<void, OpenProgrammeError> HeatEngine::openNextSeries() {
    if (!m_open || m_state.running) {
        return std::unexpected(otherError("no programme to move on from"));
    }
    ProgrammeRequest next = m_request;
    closeProgramme();
    if (next.programmeType < ProgrammeType::OfficialPractice ||
        next.seriesNumber >= next.seriesCount) {
        return {};
    }
    next.seriesNumber += 1;
    next.seriesListText.clear();
    return openProgramme(next);
}

} // namespace cronovolta

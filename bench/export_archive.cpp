// The text export of an event with official practice, Super Pole and race of 24
// participants and 48 heats each (target: under 2 s), and archiving plus unarchiving the
// same event (target: under 1 s).
#include "output/archive.h"
#include "output/text_export.h"
#include "results/results_source.h"
#include "storage/event_manager.h"
#include "storage/heat_result_record.h"
#include "storage/participant_list.h"
#include "storage/track_config.h"

#include <benchmark/benchmark.h>

#include <stdexcept>
#include <string>
#include <unistd.h>

using namespace cronovolta;

namespace {

constexpr int kLanes = 8;
constexpr int kParticipants = 24;
constexpr int kHeats = 48;

void require(bool ok, const char* what) {
    if (!ok) {
        throw std::runtime_error(what);
    }
}

// In heat h the participants h .. h + 7 (wrapping) drive, one lane each.
void writeSeries(const fs::path& eventDir, ProgrammeType programmeType) {
    ParticipantList list;
    list.heatsDone = kHeats;
    for (int p = 1; p <= kParticipants; ++p) {
        list.names.push_back("Participant " + std::to_string(p));
    }
    require(writeParticipantList(participantFile(eventDir, programmeType, 1), list).has_value(),
            "list");
    std::vector<float> laps(kParticipants + 1, 0.0f);
    std::vector<HeatResultRecord> records;
    for (int h = 1; h <= kHeats; ++h) {
        HeatResultRecord header;
        header.lane = static_cast<std::int16_t>(h);
        header.adjustments = kParticipants;
        records.push_back(header);
        for (int p = 1; p <= kParticipants; ++p) {
            HeatResultRecord r;
            r.participant = static_cast<std::int16_t>(p);
            const int seat = ((p - h) % kParticipants + kParticipants) % kParticipants;
            if (seat < kLanes) {
                r.lane = static_cast<std::int16_t>(seat + 1);
                r.heatLaps = 20.0f + static_cast<float>((p * 7 + h) % 5);
                laps[static_cast<std::size_t>(p)] += r.heatLaps;
                r.heatFastestLap = 3.0f + static_cast<float>((p * 7919 + h * 104729) % 5000) / 1e4f;
                r.crossingTime = 150.0f + static_cast<float>((p * 7919 + h * 131) % 30000) / 1e3f;
            }
            r.seriesLaps = laps[static_cast<std::size_t>(p)];
            r.fastestLap = 3.0f + static_cast<float>(p % 50) / 100.0f;
            records.push_back(r);
        }
    }
    require(writeHeatResultFile(eventDir / seriesFileName(programmeType, 1, ".DAD"), records)
                .has_value(),
            "heats");
}

class BenchEvent {
public:
    BenchEvent() {
        m_dir =
            fs::temp_directory_path() / ("cronovolta-bench-export-" + std::to_string(::getpid()));
        fs::create_directories(m_dir);
        TrackConfig track = defaultTrackConfig();
        track.lanes = kLanes;
        track.laneChangeOrder = {8, 1, 2, 3, 4, 5, 6, 7, 8};
        deriveTrackConfig(track);
        require(saveTrackConfig(m_dir / kTrackFileName, track).has_value(), "track");
        EventManager manager(m_dir);
        require(manager.createEvent("Bench", "01-01-2026").has_value(), "event");
        for (ProgrammeType t :
             {ProgrammeType::OfficialPractice, ProgrammeType::SuperPole, ProgrammeType::Race}) {
            writeSeries(eventFolder(m_dir, 1), t);
        }
        auto files = openEventFiles(m_dir, 1);
        require(files.has_value(), "open");
        m_files = *files;
    }
    ~BenchEvent() {
        std::error_code ec;
        fs::remove_all(m_dir, ec);
    }
    const fs::path& dir() const { return m_dir; }
    const EventFiles& files() const { return m_files; }

private:
    fs::path m_dir;
    EventFiles m_files;
};

const BenchEvent& benchEvent() {
    static BenchEvent event;
    return event;
}

void BM_ExportEvent(benchmark::State& state) {
    const BenchEvent& event = benchEvent();
    const fs::path target = event.dir() / "export.txt";
    for (auto _ : state) {
        std::vector<std::string> problems;
        require(exportEvent(event.files(), target, state.range(0) != 0, problems).has_value(),
                "export");
    }
    state.counters["bytes"] = static_cast<double>(fs::file_size(target));
}
BENCHMARK(BM_ExportEvent)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ArchiveAndUnarchive(benchmark::State& state) {
    const BenchEvent& event = benchEvent();
    const fs::path archive = event.dir() / "event.prb";
    for (auto _ : state) {
        require(archiveEvent(event.files().eventDir, archive, 0).has_value(), "archive");
        auto done = unarchiveEvent(archive, event.dir(), 0);
        require(done.has_value(), "unarchive");
        state.PauseTiming();
        fs::remove_all(eventFolder(event.dir(), done->event));
        state.ResumeTiming();
    }
    state.counters["bytes"] = static_cast<double>(fs::file_size(archive));
}
BENCHMARK(BM_ArchiveAndUnarchive)->Unit(benchmark::kMillisecond);

} // namespace

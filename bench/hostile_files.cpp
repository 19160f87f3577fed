// Memory of the readers on hostile 250 MB files: a participant list, a penalties file, a
// catalogue, a heat results file and a lap file, each 250 MB, and the classification of a
// series made of the first three. Target: peak resident memory under 100 MB.
#include "results/results_source.h"
#include "storage/event_files.h"
#include "storage/event_manager.h"
#include "storage/heat_result_record.h"
#include "storage/lap_record.h"
#include "storage/participant_list.h"
#include "storage/penalty_record.h"
#include "storage/record_io.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

using namespace cronovolta;

namespace {

constexpr std::uintmax_t kHostileBytes = 250u * 1024u * 1024u;

void require(bool ok, const char* what) {
    if (!ok) {
        throw std::runtime_error(what);
    }
}

// `unit` repeated up to 8 MB, then a sparse tail up to 250 MB.
void writeHostile(const fs::path& file, const std::string& head, const std::string& unit) {
    std::string bytes = head;
    while (bytes.size() + unit.size() <= 8u * 1024u * 1024u) {
        bytes += unit;
    }
    require(writeFileAtomic(file, bytes).has_value(), "write");
    fs::resize_file(file, kHostileBytes);
}

// A data folder with one race series whose list, penalties and heat file are hostile.
struct HostileFolder {
    fs::path dir = fs::temp_directory_path() / ("hostile-" + std::to_string(::getpid()));
    fs::path event;

    HostileFolder() {
        fs::remove_all(dir);
        fs::create_directories(dir);
        require(saveTrackConfig(dir / kTrackFileName, defaultTrackConfig()).has_value(), "track");
        EventManager manager(dir);
        require(manager.createEvent("Hostil", "01-01-2027").value_or(0) == 1, "event");
        event = eventFolder(dir, 1);
        ByteWriter counter;
        counter.i16(32767);
        ByteWriter name;
        name.string16("Pilot");
        writeHostile(participantFile(event, ProgrammeType::Race, 1), counter.bytes(), name.bytes());
        ByteWriter penalty;
        penalty.i16(1);
        penalty.f32(1.0f);
        penalty.string16("motiu");
        writeHostile(event / "CRS001.PEN", "", penalty.bytes());
        // Heat after heat of 99 driving participants.
        std::string heats;
        for (int h = 1; h <= 32767 && heats.size() < 8u * 1024u * 1024u; ++h) {
            HeatResultRecord header;
            header.lane = static_cast<std::int16_t>(h);
            header.adjustments = 99;
            heats += encodeHeatResultRecord(header);
            for (int p = 1; p <= 99; ++p) {
                HeatResultRecord row;
                row.participant = static_cast<std::int16_t>(p);
                row.lane = static_cast<std::int16_t>(p % 8 + 1);
                row.seriesLaps = static_cast<float>(h);
                row.heatLaps = 12.0f;
                row.fastestLap = row.heatFastestLap = 3.25f;
                heats += encodeHeatResultRecord(row);
            }
        }
        writeHostile(event / "CRS001.DAD", heats, "");
        ByteWriter entry;
        entry.string16("Prova");
        entry.string16("01-01-2027");
        writeHostile(dir / kCatalogFileName, "", entry.bytes());
        writeHostile(event / "CRS001.VAV", "", encodeLapRecord({1, 1, 10.0f, 3.5f, 0, 1, 0, 0}));
    }
    ~HostileFolder() { fs::remove_all(dir); }
};

double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

HostileFolder& folder() {
    static HostileFolder f;
    return f;
}

template <class Read> void readHostile(benchmark::State& state, Read read) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(read());
    }
    state.counters["peak_MB"] = peakMegabytes();
}

void BM_ParticipantList(benchmark::State& state) {
    readHostile(state, [] {
        return readParticipantList(participantFile(folder().event, ProgrammeType::Race, 1));
    });
}

void BM_Penalties(benchmark::State& state) {
    readHostile(state, [] { return readPenalties(folder().event / "CRS001.PEN"); });
}

void BM_Catalogue(benchmark::State& state) {
    readHostile(state, [] { return readCatalog(folder().dir / kCatalogFileName); });
}

void BM_HeatResults(benchmark::State& state) {
    readHostile(state, [] { return readHeatResultFile(folder().event / "CRS001.DAD"); });
}

void BM_Laps(benchmark::State& state) {
    readHostile(state, [] { return readLapFile(folder().event / "CRS001.VAV"); });
}

void BM_Classify(benchmark::State& state) {
    for (auto _ : state) {
        auto files = openEventFiles(folder().dir, 1);
        require(files.has_value(), "event");
        auto problems = std::make_shared<std::vector<std::string>>();
        ResultsBrowser browser = makeResultsBrowser(*files, ProgrammeType::Race, 1, problems);
        browser.open();
        benchmark::DoNotOptimize(browser.list().rows().size());
    }
    state.counters["peak_MB"] = peakMegabytes();
}

} // namespace

BENCHMARK(BM_ParticipantList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Penalties)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Catalogue)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HeatResults)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Laps)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Classify)->Unit(benchmark::kMillisecond);

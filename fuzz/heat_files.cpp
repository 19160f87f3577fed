// A series whose files and heat journals may be damaged, as the heat engine meets them:
// opening the programme rebuilds the standings from the ".DAD", an interrupted heat is
// resumed from the journal, and one more heat is run and stored behind what is there.
#include "fuzz_check.h"
#include "heat/heat_engine.h"
#include "heat/series_files.h"
#include "storage/event_files.h"
#include "storage/participant_list.h"

#include <fstream>
#include <unistd.h>

using namespace cronovolta;

namespace {

// One folder per process; tmpfs keeps the flushes of every heat end cheap.
const fs::path& dataDir() {
    static const fs::path dir = [] {
        std::error_code ec;
        const fs::path base = fs::is_directory("/dev/shm", ec) ? "/dev/shm" : "/tmp";
        fs::path path = base / ("cronovolta-fuzz-" + std::to_string(::getpid()));
        fs::create_directories(path);
        return path;
    }();
    return dir;
}

void write(const fs::path& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    // The first byte picks official practice, Super Pole or race.
    const auto programmeType =
        static_cast<ProgrammeType>(index(ProgrammeType::OfficialPractice) + data[0] % 3);
    const auto parts = fuzz::splitParts(fuzz::asBytes(data + 1, size - 1), 6);
    const fs::path event = dataDir() / "PROVA001";
    fs::remove_all(event);
    fs::create_directories(event);
    const auto file = [&](const char* ext) {
        return event / seriesFileName(programmeType, 1, ext);
    };
    write(event / "PISTA.CFG", parts[0]);
    write(file(".PAR"), parts[1]);
    write(file(".DAD"), parts[2]);
    write(file(".VAV"), parts[3]);
    if (!parts[4].empty()) {
        write(event / "VLTAVLT.TMP", parts[4]);
    }
    if (!parts[5].empty()) {
        write(event / "VLTAVLT.AJS", parts[5]);
    }

    HeatEngine engine(defaultProgramSettings());
    if (!engine.openProgramme({dataDir(), 1, programmeType, 1, 1, ""})) {
        return 0;
    }
    double now = 36000.0;
    if (!parts[4].empty()) {
        engine.recoverHeat(36000.0f, now);
    }
    if (!engine.heatRunning()) {
        engine.handleKey('S', now);
    }
    for (int lap = 0; lap < 24 && engine.heatRunning(); ++lap) {
        now += 1.5;
        engine.registerCrossing(1 + lap % 8, 0.0f, now);
    }
    const int heat = engine.heatNumber();
    const bool ran = engine.heatRunning();
    engine.armHeatEnd(now);
    for (double t = now; engine.heatRunning() && t < now + 10.0; t += 0.5) {
        engine.tick(t);
    }
    if (ran && !engine.heatRunning()) {
        // The heat just stored is where the next reader looks for it.
        const auto list = readParticipantList(file(".PAR"));
        FUZZ_CHECK(list && list->heatsDone == heat);
        const auto results = readHeatResultFile(file(".DAD"));
        FUZZ_CHECK(results && resultBlock(results->records, heat).has_value());
        const auto laps = readLapFile(file(".VAV"));
        FUZZ_CHECK(laps && lapBlockStart(laps->records, heat + 1).has_value());
    }
    engine.closeProgramme();
    return 0;
}

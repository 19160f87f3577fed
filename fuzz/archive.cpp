// Event archives ".prb": the check of a whole archive, and the event rebuilt from it.
#include "output/archive.h"
#include "fuzz_check.h"

#include <fstream>
#include <set>
#include <unistd.h>

using namespace cronovolta;

namespace {

// One folder per process; tmpfs keeps the flushes of every member cheap.
fs::path workDir() {
    std::error_code ec;
    const fs::path base = fs::is_directory("/dev/shm", ec) ? "/dev/shm" : "/tmp";
    return base / ("cronovolta-fuzz-archive-" + std::to_string(::getpid()));
}

std::string folded(std::string name) {
    for (char& c : name) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return name;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::asBytes(data, size);
    const auto index = readArchive(bytes, 0);
    if (!index) {
        FUZZ_CHECK(!index.error().message.empty());
        return 0;
    }
    std::set<std::string> names;
    for (const ArchiveMember& member : index->members) {
        FUZZ_CHECK(member.offset <= size && member.size <= size - member.offset);
        FUZZ_CHECK(!member.name.empty() && member.name != "." && member.name != "..");
        FUZZ_CHECK(member.name.find_first_of("/\\:") == std::string::npos);
        for (char c : member.name) {
            FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20);
        }
        FUZZ_CHECK(names.insert(folded(member.name)).second);
    }
    FUZZ_CHECK(names.contains("prova.dad"));

    // Rebuilt, the event holds exactly the members, inside its own folder.
    const fs::path work = workDir();
    const fs::path dataDir = work / "data";
    fs::remove_all(work);
    fs::create_directories(dataDir);
    std::ofstream(work / "in.prb", std::ios::binary).write(bytes.data(), std::streamsize(size));
    const auto rebuilt = unarchiveEvent(work / "in.prb", dataDir, 0);
    FUZZ_CHECK(rebuilt.has_value() && rebuilt->event == 1);
    std::size_t files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(dataDir)) {
        if (entry.is_regular_file()) {
            FUZZ_CHECK(entry.path().parent_path() == dataDir / "PROVA001");
            ++files;
        }
    }
    FUZZ_CHECK(files == index->members.size());
    return 0;
}

#include "output/archive.h"

#include "storage/event_files.h"
#include "storage/platform.h"
#include "storage/record_io.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <limits>
#include <map>
#include <random>

namespace cronovolta {
namespace {

using test::readBytes;
using test::TempDir;
using test::writeBytes;

// Every file under a folder (names relative to it) with its bytes.
std::map<std::string, std::string> tree(const fs::path& dir) {
    std::map<std::string, std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(dir)) {
        const std::string rel = fs::relative(e.path(), dir).string();
        out[rel] = e.is_regular_file() ? readBytes(e.path()) : std::string("<dir>");
    }
    return out;
}

std::string member(std::string_view name, std::string_view content, float size) {
    ByteWriter w;
    w.i16(static_cast<std::int16_t>(name.size()));
    w.raw(name);
    w.f32(size);
    w.raw(content);
    return w.take();
}

std::string member(std::string_view name, std::string_view content) {
    return member(name, content, static_cast<float>(content.size()));
}

// An archive with the given member count and members, name "Open" and date "1-2".
std::string archiveOf(int count, const std::string& members) {
    ByteWriter w;
    w.raw(kArchiveMagic);
    w.i16(4);
    w.raw("Open");
    w.i16(3);
    w.raw("1-2");
    w.i16(static_cast<std::int16_t>(count));
    w.raw(members);
    return w.take();
}

const std::string kHeader = encodeEventHeader({{0, 0, 0, 1}, "Open", "1-2"});

class ArchiveTest : public ::testing::Test {
protected:
    fs::path data() const { return m_dir.path() / "data"; }
    fs::path event(int n) const { return eventFolder(data(), n); }

    void SetUp() override { fs::create_directories(event(1)); }

    // Event 1 holds `files` (name -> bytes) besides its header.
    void fillEvent(const std::map<std::string, std::string>& files, const std::string& header) {
        writeBytes(event(1) / "PROVA.DAD", header);
        for (const auto& [name, bytes] : files) {
            writeBytes(event(1) / platform::pathFromUtf8(name), bytes);
        }
    }

    TempDir m_dir;
};

TEST_F(ArchiveTest, SeventeenFilesRoundTripByteForByteThroughTheStoredLayout) {
    // Accented name and date are copied as stored, so they come back unchanged.
    const std::string header = encodeEventHeader({{1, 2, 0, 3}, "Ràl·li Sant Cugat", "3-4-2026"});
    std::map<std::string, std::string> files;
    std::mt19937 rng(7);
    for (int i = 1; i <= 14; ++i) {
        std::string bytes(static_cast<std::size_t>(rng() % 200000), '\0');
        for (char& c : bytes) {
            c = static_cast<char>(rng());
        }
        files["CRS" + std::to_string(100 + i) + ".VAV"] = bytes;
    }
    files["BUIT.PEN"] = "";
    files["Resultats àèò.txt"] = "x\r\n";
    fillEvent(files, header);
    fs::create_directory(event(1) / "SUBCARPETA"); // folders are not members

    const fs::path prb = m_dir.path() / "final.prb";
    std::vector<std::string> infos;
    std::vector<std::string> percents;
    ArchiveProgress progress;
    progress.info = [&](const std::string& s) { infos.push_back(s); };
    progress.member = [&](int i, int n, const std::string&) {
        percents.push_back(std::to_string(i) + "/" + std::to_string(n));
    };
    ASSERT_TRUE(archiveEvent(event(1), prb, 0, progress).has_value());
    EXPECT_EQ(percents.size(), 17u);
    EXPECT_EQ(percents.back(), "17/17");
    EXPECT_EQ(infos.back(), "Arxivant Ràl·li Sant Cugat (3-4-2026)");
    EXPECT_FALSE(fs::exists(m_dir.path() / "final.prb.part~"));

    const std::string bytes = readBytes(prb);
    auto index = readArchive(bytes, 0);
    ASSERT_TRUE(index.has_value()) << index.error().message;
    EXPECT_EQ(index->members.size(), 17u);
    EXPECT_EQ(index->nameBytes, "R\xe0l\xb7li Sant Cugat");
    EXPECT_EQ(bytes.substr(15, 2), std::string("\x11\x00", 2));

    auto back = unarchiveEvent(prb, data(), 0);
    ASSERT_TRUE(back.has_value()) << back.error().message;
    EXPECT_EQ(back->event, 2);
    EXPECT_EQ(back->name, "Ràl·li Sant Cugat");
    auto original = tree(event(1));
    original.erase("SUBCARPETA");
    EXPECT_EQ(tree(event(2)), original);
    EXPECT_EQ(readBytes(event(2) / "BUIT.PEN"), "");
}

TEST_F(ArchiveTest, LayoutIsMagicNameDateCountThenMembersInNameOrder) {
    fillEvent({{"A.TXT", "xy"}}, kHeader);
    const fs::path prb = m_dir.path() / "a.prb";
    ASSERT_TRUE(archiveEvent(event(1), prb, 0).has_value());
    EXPECT_EQ(readBytes(prb), archiveOf(2, member("A.TXT", "xy") + member("PROVA.DAD", kHeader)));
}

TEST_F(ArchiveTest, UnarchivingTwiceMakesConsecutiveEventsAndNeverTouchesOldOnes) {
    fillEvent({{"A.TXT", "xy"}}, kHeader);
    const fs::path prb = m_dir.path() / "a.prb";
    writeBytes(prb, archiveOf(2, member("A.TXT", "new") + member("PROVA.DAD", kHeader)));
    const auto before = tree(event(1));
    EXPECT_EQ(unarchiveEvent(prb, data(), 0).value().event, 2);
    EXPECT_EQ(unarchiveEvent(prb, data(), 1).value().event, 3);
    EXPECT_EQ(tree(event(1)), before);
    EXPECT_EQ(readBytes(event(3) / "A.TXT"), "new");
    // A header stored under another case still opens as the event's header.
    writeBytes(prb, archiveOf(1, member("prova.dad", kHeader)));
    EXPECT_EQ(unarchiveEvent(prb, data(), 0).value().event, 4);
    EXPECT_EQ(readBytes(event(4) / "PROVA.DAD"), kHeader);
    EXPECT_EQ(countEventFolders(data()), 4);
}

TEST_F(ArchiveTest, UnsafeArchivesAreRefusedAndLeaveNothingBehind) {
    const std::string head = member("PROVA.DAD", kHeader);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char* what;
        std::string bytes;
        ArchiveFailure::Kind kind;
    };
    const Case cases[] = {
        {"wrong magic", "ZTR_ARX_PRB_V41" + archiveOf(1, head).substr(15),
         ArchiveFailure::WrongMagic},
        {"short magic", "ZTR_ARX", ArchiveFailure::WrongMagic},
        {"empty name", archiveOf(2, head + member("", "x")), ArchiveFailure::UnsafeName},
        {"blank name", archiveOf(2, head + member("   ", "x")), ArchiveFailure::UnsafeName},
        {"parent", archiveOf(2, head + member("..", "x")), ArchiveFailure::UnsafeName},
        {"path", archiveOf(2, head + member("../PROVA001/A", "x")), ArchiveFailure::UnsafeName},
        {"backslash", archiveOf(2, head + member("..\\A", "x")), ArchiveFailure::UnsafeName},
        {"drive", archiveOf(2, head + member("C:A", "x")), ArchiveFailure::UnsafeName},
        {"control", archiveOf(2, head + member("A\nB", "x")), ArchiveFailure::UnsafeName},
        {"longer than a file name", archiveOf(2, head + member(std::string(256, 'A'), "x")),
         ArchiveFailure::UnsafeName},
        {"repeat", archiveOf(3, head + member("A.TXT", "x") + member("a.txt", "y")),
         ArchiveFailure::Duplicate},
        {"negative", archiveOf(2, head + member("A", "", -1.0f)), ArchiveFailure::BadSize},
        {"fraction", archiveOf(2, head + member("A", "x", 0.5f)), ArchiveFailure::BadSize},
        {"nan", archiveOf(2, head + member("A", "x", nan)), ArchiveFailure::BadSize},
        {"beyond end", archiveOf(2, head + member("A", "xy", 3.0f)), ArchiveFailure::BadSize},
        {"count short", archiveOf(3, head + member("A", "x")), ArchiveFailure::Truncated},
        {"count long", archiveOf(1, head + member("A", "x")), ArchiveFailure::BadCount},
        {"count negative", archiveOf(-1, ""), ArchiveFailure::BadCount},
        {"no header", archiveOf(1, member("A", "x")), ArchiveFailure::NoHeader},
        {"header cut", archiveOf(1, member("PROVA.DAD", kHeader.substr(0, 22))),
         ArchiveFailure::NoHeader},
    };
    fillEvent({}, kHeader);
    const auto before = tree(data());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path prb = m_dir.path() / "bad.prb";
        writeBytes(prb, c.bytes);
        auto result = unarchiveEvent(prb, data(), 0);
        ASSERT_FALSE(result.has_value());
        EXPECT_EQ(result.error().kind, c.kind);
        EXPECT_FALSE(result.error().message.empty());
        EXPECT_EQ(tree(data()), before);
    }
    writeBytes(m_dir.path() / "bad.prb", "NO ES UN ARXIU DE PROVA");
    EXPECT_EQ(unarchiveEvent(m_dir.path() / "bad.prb", data(), 0).error().message,
              "El format de l'arxiu no és correcte");
}

TEST_F(ArchiveTest, EveryCutOrFlippedByteIsReadSafely) {
    const std::string good =
        archiveOf(3, member("A.TXT", "abc") + member("B.TXT", std::string(300, 'b')) +
                         member("PROVA.DAD", kHeader));
    ASSERT_TRUE(readArchive(good, 0).has_value());
    for (std::size_t n = 0; n < good.size(); ++n) {
        EXPECT_FALSE(readArchive(good.substr(0, n), 0).has_value()) << n;
    }
    std::mt19937 rng(11);
    for (int round = 0; round < 3000; ++round) {
        std::string bytes = good;
        for (int k = 0; k < 3; ++k) {
            bytes[rng() % bytes.size()] = static_cast<char>(rng());
        }
        auto index = readArchive(bytes, 0);
        if (!index) {
            continue;
        }
        // What is accepted stays inside the bytes and names one file each.
        for (const ArchiveMember& m : index->members) {
            EXPECT_LE(m.offset + m.size, bytes.size());
            EXPECT_EQ(m.name.find('/'), std::string::npos);
            EXPECT_NE(m.name, "..");
        }
    }
}

TEST_F(ArchiveTest, MembersBeyondTheFloatRangeAreRefusedAndAnOldArchiveIsKept) {
    fillEvent({}, kHeader);
    const fs::path prb = m_dir.path() / "big.prb";
    writeBytes(prb, "old archive");
    { std::ofstream(event(1) / "GRAN.BIN").put('x'); }
    fs::resize_file(event(1) / "GRAN.BIN", kMaxArchiveMember);
    ASSERT_TRUE(archiveEvent(event(1), prb, 0).has_value());
    auto index = readArchive(readBytes(prb), 0);
    ASSERT_TRUE(index.has_value());
    EXPECT_EQ(index->members[0].size, kMaxArchiveMember);

    writeBytes(prb, "old archive");
    fs::resize_file(event(1) / "GRAN.BIN", kMaxArchiveMember + 1);
    auto refused = archiveEvent(event(1), prb, 1);
    ASSERT_FALSE(refused.has_value());
    EXPECT_EQ(refused.error().kind, ArchiveFailure::TooLarge);
    EXPECT_EQ(refused.error().message,
              "El fichero supera los 16.777.216 bytes y no se puede archivar: GRAN.BIN");
    EXPECT_EQ(readBytes(prb), "old archive");
}

// An archive larger than any file the program reads whole is read as a stream; one larger
// than the archive bound is refused before anything is written.
TEST_F(ArchiveTest, ArchivesBeyondTheWholeFileLimitAreStreamedAndHostileSizesRefused) {
    std::string pattern(kMaxArchiveMember, '\0');
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        pattern[i] = static_cast<char>((i * 7919u) >> 3);
    }
    std::string other = pattern;
    std::reverse(other.begin(), other.end());
    fillEvent({{"CRS001.VAV", pattern}, {"CRS001.DAD", other}, {"CRS001.PAR", "abc"}}, kHeader);
    const fs::path prb = m_dir.path() / "large.prb";
    ASSERT_TRUE(archiveEvent(event(1), prb, 0).has_value());
    ASSERT_GT(fs::file_size(prb), kMaxFileBytes);
    auto index = readArchiveFile(prb, 0);
    ASSERT_TRUE(index.has_value()) << index.error().message;
    EXPECT_EQ(index->members.size(), 4u);
    auto done = unarchiveEvent(prb, data(), 0);
    ASSERT_TRUE(done.has_value()) << done.error().message;
    EXPECT_EQ(tree(event(2)), tree(event(1)));

    // Cut short, or grown past the bound (a sparse file claims 2 GiB at no cost).
    const auto before = tree(data());
    fs::resize_file(prb, fs::file_size(prb) - 1);
    EXPECT_EQ(unarchiveEvent(prb, data(), 0).error().kind, ArchiveFailure::BadSize);
    fs::resize_file(prb, kMaxArchiveBytes + 1);
    auto refused = unarchiveEvent(prb, data(), 0);
    ASSERT_FALSE(refused.has_value());
    EXPECT_EQ(refused.error().kind, ArchiveFailure::ArchiveTooLarge);
    EXPECT_NE(refused.error().message.find("2.147.483.648"), std::string::npos);
    EXPECT_EQ(tree(data()), before);
}

TEST_F(ArchiveTest, AStopLeavesNeitherArchiveNorEvent) {
    fillEvent({{"A.TXT", std::string(200000, 'a')}, {"B.TXT", "b"}}, kHeader);
    int members = 0;
    ArchiveProgress stopAtSecond;
    stopAtSecond.member = [&](int, int, const std::string&) { ++members; };
    stopAtSecond.stopRequested = [&] { return members >= 2; };
    const fs::path prb = m_dir.path() / "s.prb";
    EXPECT_EQ(archiveEvent(event(1), prb, 0, stopAtSecond).error().kind, ArchiveFailure::Stopped);
    EXPECT_FALSE(fs::exists(prb));

    ASSERT_TRUE(archiveEvent(event(1), prb, 0).has_value());
    const auto before = tree(data());
    members = 0;
    EXPECT_EQ(unarchiveEvent(prb, data(), 0, stopAtSecond).error().kind, ArchiveFailure::Stopped);
    EXPECT_EQ(tree(data()), before);
}

TEST_F(ArchiveTest, AnEventWithoutAReadableHeaderIsNotArchived) {
    writeBytes(event(1) / "PROVA.DAD", std::string(19, '\0') + "\x05\x00"
                                                               "ab");
    const fs::path prb = m_dir.path() / "h.prb";
    EXPECT_EQ(archiveEvent(event(1), prb, 0).error().kind, ArchiveFailure::NoEvent);
    EXPECT_FALSE(fs::exists(prb));
}

} // namespace
} // namespace cronovolta

// The operating system's side of the files: the same behaviour and the same error codes on
// every system, including the Windows cases POSIX never meets (open files renamed over).
#include "storage/file_io.h"
#include "storage/platform.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

namespace cronovolta::test {
namespace {

using platform::Access;
using platform::File;

std::string readAll(const fs::path& path) {
    auto bytes = readFileBytes(path);
    EXPECT_TRUE(bytes) << bytes.error();
    return bytes ? *bytes : std::string();
}

// Random writes at offsets (inside, at and past the end) and appends, checked against the
// same edits made to a string.
TEST(Platform, WritesAtOffsetsAndAppendsMatchAModel) {
    TempDir dir;
    const fs::path path = dir.path() / "LAPS.VAV";
    std::mt19937 random(20261207);
    std::string model;
    for (int step = 0; step < 200; ++step) {
        std::string bytes(1 + random() % 40, '\0');
        for (char& c : bytes) {
            c = static_cast<char>(random());
        }
        if (random() % 3 == 0) {
            auto file = File::open(path, Access::Append);
            ASSERT_TRUE(file) << file.error().message();
            ASSERT_FALSE(file->write(bytes));
            model += bytes;
        } else {
            const std::size_t offset = random() % (model.size() + 30);
            auto file = File::open(path, Access::Write);
            ASSERT_TRUE(file) << file.error().message();
            ASSERT_FALSE(file->writeAt(offset, bytes));
            if (model.size() < offset + bytes.size()) {
                model.resize(offset + bytes.size(), '\0');
            }
            model.replace(offset, bytes.size(), bytes);
        }
        if (step % 50 == 49) {
            auto file = File::open(path, Access::Read);
            ASSERT_TRUE(file);
            EXPECT_EQ(file->size().value_or(0), model.size());
            ASSERT_EQ(readAll(path), model) << "after step " << step;
        }
    }
    auto file = File::open(path, Access::Truncate);
    ASSERT_TRUE(file);
    EXPECT_FALSE(file->sync());
    EXPECT_FALSE(file->close());
    EXPECT_EQ(readAll(path), "");
}

// Callers turn these codes into the organiser's messages, so they must not depend on the
// system.
TEST(Platform, FailuresCarryThePosixErrorCode) {
    TempDir dir;
    const fs::path existing = dir.path() / "PISTA.CFG";
    writeBytes(existing, "x");
    struct Case {
        fs::path path;
        Access access;
        std::errc expected;
    };
    const Case cases[] = {
        {dir.path() / "missing", Access::Read, std::errc::no_such_file_or_directory},
        {dir.path() / "no" / "such" / "folder", Access::Write,
         std::errc::no_such_file_or_directory},
        {existing, Access::CreateNew, std::errc::file_exists},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.string());
        auto file = File::open(c.path, c.access);
        ASSERT_FALSE(file);
        EXPECT_EQ(file.error(), std::make_error_code(c.expected)) << file.error().message();
    }
    EXPECT_EQ(readAll(existing), "x");
}

// The heat journal renames its new file over the old one while it keeps the new one open
// and goes on writing: Windows refuses that unless the file is opened shared for deletion.
TEST(Platform, AFileHeldOpenCanBeMovedOverAnother) {
    TempDir dir;
    const fs::path target = dir.path() / "VLTAVLT.TMP";
    const fs::path fresh = dir.path() / "VLTAVLT.TMP.new";
    writeBytes(target, "old");
    auto writer = File::open(fresh, Access::Truncate);
    ASSERT_TRUE(writer);
    ASSERT_FALSE(writer->write("new"));
    const std::error_code replaced = platform::replaceFile(fresh, target);
    ASSERT_FALSE(replaced) << replaced.message();
    ASSERT_FALSE(writer->writeAt(3, " and more"));
    EXPECT_FALSE(writer->sync(true));
    EXPECT_EQ(readAll(target), "new and more");
    EXPECT_FALSE(fs::exists(fresh));
}

// A device or a folder under a data file's name must never be taken for a data file.
TEST(Platform, OnlyPlainFilesAreRegular) {
    TempDir dir;
    writeBytes(dir.path() / "CRS001.DAD", "x");
    const struct {
        fs::path path;
        bool regular;
    } cases[] = {
        {dir.path() / "CRS001.DAD", true},
        {platform::kWindows ? fs::path("NUL") : fs::path("/dev/null"), false},
        {dir.path(), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.string());
        auto file = File::open(c.path, Access::Read, {.noWait = true});
        if (!file) {
            EXPECT_FALSE(c.regular) << file.error().message(); // Windows opens no folder
            continue;
        }
        EXPECT_EQ(file->isRegular().value_or(!c.regular), c.regular);
    }
}

TEST(Platform, LinksAreRefusedWhenAsked) {
    if (platform::kWindows) {
        GTEST_SKIP() << "symbolic links need privileges that Windows users rarely have";
    }
    TempDir dir;
    writeBytes(dir.path() / "outside", "secret");
    fs::create_symlink(dir.path() / "outside", dir.path() / "CRS001.PAR");
    auto refused = File::open(dir.path() / "CRS001.PAR", Access::Write, {.refuseLinks = true});
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error(), std::make_error_code(std::errc::too_many_symbolic_link_levels));
    EXPECT_TRUE(File::open(dir.path() / "CRS001.PAR", Access::Read));
    EXPECT_EQ(readAll(dir.path() / "outside"), "secret");
}

TEST(Platform, LocalTimeOfAKnownMoment) {
    // Noon UTC is the same calendar day in every time zone the program meets.
    const std::tm local = platform::localTime(1796644800); // 7 December 2026, 12:00 UTC
    EXPECT_EQ(local.tm_year, 126);
    EXPECT_EQ(local.tm_mon, 11);
    EXPECT_EQ(local.tm_mday, 7);
}

// Names typed on the command line or stored in an archive come as UTF-8 and must name the
// same file when listed back, on Windows too, where fs::path reads char strings in the
// system's code page.
TEST(Platform, Utf8NamesRoundTripThroughTheFileSystem) {
    TempDir dir;
    for (const std::string name :
         {"Sabadell Cròniques", "Ràl·li Sant Cugat", "Àéíòú ñ ç", "Ελλάδα 東京"}) {
        const fs::path folder = dir.path() / platform::pathFromUtf8("Curses/" + name);
        fs::create_directories(folder);
        ASSERT_TRUE(writeFileAtomic(folder / "PISTA.CFG", name));
        ASSERT_TRUE(fs::is_directory(dir.path() / "Curses" / platform::pathFromUtf8(name)));
        EXPECT_EQ(readAll(folder / "PISTA.CFG"), name);
        EXPECT_EQ(folder.filename().string(), name);
    }
    std::set<std::string> listed;
    for (const auto& entry : fs::directory_iterator(dir.path() / "Curses")) {
        listed.insert(entry.path().filename().string());
    }
    EXPECT_EQ(listed, (std::set<std::string>{"Sabadell Cròniques", "Ràl·li Sant Cugat", "Àéíòú ñ ç",
                                             "Ελλάδα 東京"}));
    // Bytes that are not UTF-8 (an old archive's member name) still make a path.
    EXPECT_FALSE(platform::pathFromUtf8("CR\xd2NIQ.TXT").empty());
}

TEST(Platform, ProgramsRunWithTheirWordsAndTellTheirStatus) {
    const std::vector<std::string> exitThree = platform::kWindows
                                                   ? std::vector<std::string>{"cmd", "/c", "exit 3"}
                                                   : std::vector<std::string>{"sh", "-c", "exit 3"};
    EXPECT_EQ(platform::runProgram(exitThree).value_or(-1), 3);
    const auto missing = platform::runProgram({"cronovolta-no-such-program", "a b"});
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error(), std::make_error_code(std::errc::no_such_file_or_directory));
}

} // namespace
} // namespace cronovolta::test

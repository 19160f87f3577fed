#include "storage/file_io.h"
#include "storage/platform.h"
#include "storage/record_io.h"
#include "storage/text_encoding.h"

#include <functional>
#include <gtest/gtest.h>

#include "support/temp_dir.h"

using namespace cronovolta;

TEST(TextEncoding, EveryByteRoundTripsThroughUtf8) {
    std::string all;
    for (int b = 1; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    EXPECT_EQ(utf8ToWindows1252(windows1252ToUtf8(all)), all);
    EXPECT_EQ(windows1252ToUtf8("Sabadell \xC0 l'\xE0via \x80"), "Sabadell À l'àvia €");
    EXPECT_EQ(utf8ToWindows1252("Anul·lar Màniga"), "Anul\xB7lar M\xE0niga");
    EXPECT_EQ(utf8ToWindows1252("日本"), "??");
    EXPECT_EQ(utf8ToWindows1252("\xE0\x41"), "?A"); // broken UTF-8 sequence

    EXPECT_TRUE(fitsWindows1252("Anul·lar Màniga 5 € – Œ"));
    EXPECT_FALSE(fitsWindows1252("Łódź"));
    EXPECT_FALSE(fitsWindows1252("caf\xE9")); // Latin-1, not UTF-8
    EXPECT_FALSE(fitsWindows1252("?日"));

    // A name prints on one line whatever a damaged file put in it.
    const std::pair<std::string, std::string> escaped[] = {
        {"Anna Puig", "Anna Puig"},
        {"Anna\nPuig\r", "Anna\\nPuig\\r"},
        {"a\tb", "a\\tb"},
        {std::string("\x1b[2J\0x\x7f", 7), "\\x1B[2J\\x00x\\x7F"},
        {windows1252ToUtf8("\x81\x9D") + "ò€", "\\u0081\\u009Dò€"},
        {"C:\\dir", "C:\\dir"},
    };
    for (const auto& [raw, shown] : escaped) {
        EXPECT_EQ(escapeControls(raw), shown);
    }
}

TEST(RecordIo, LittleEndianFieldsRoundTrip) {
    ByteWriter w;
    w.i16(-2);
    w.f32(99.9999f);
    w.u8(7);
    w.string16("Pere Ròdenas");
    w.zeros(3);
    EXPECT_EQ(w.bytes().substr(0, 2), std::string("\xFE\xFF", 2));
    ByteReader r(w.bytes());
    EXPECT_EQ(r.i16(), -2);
    EXPECT_EQ(r.f32(), 99.9999f);
    EXPECT_EQ(r.u8(), 7);
    EXPECT_EQ(r.string16(), "Pere Ròdenas");
    r.skip(3);
    EXPECT_TRUE(r.ok());
    EXPECT_TRUE(r.atEnd());
}

TEST(RecordIo, ReaderNeverTrustsLengths) {
    ByteWriter w;
    w.i16(-5); // negative length
    ByteReader neg(w.bytes());
    EXPECT_EQ(neg.string16(), "");
    EXPECT_FALSE(neg.ok());

    ByteWriter huge;
    huge.i16(30000);
    huge.raw("abc");
    ByteReader r(huge.bytes());
    EXPECT_EQ(r.string16(), "");
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.i16(), 0); // stays failed

    ByteReader shortRead(std::string_view("\x01", 1));
    EXPECT_EQ(shortRead.f32(), 0.0f);
    EXPECT_FALSE(shortRead.ok());
}

TEST(FileIo, AtomicReplaceInPlacePatchAndRecords) {
    test::TempDir dir;
    auto p = dir.path() / "X.DAT";
    ASSERT_TRUE(writeFileAtomic(p, "abcdef"));
    ASSERT_TRUE(writeFileAtomic(p, "xy"));
    EXPECT_EQ(*readFileBytes(p), "xy");
    ASSERT_TRUE(writeAt(p, 4, "ZZ"));
    EXPECT_EQ(*readFileBytes(p), std::string("xy\0\0ZZ", 6));
    ASSERT_TRUE(writeAt(p, 0, "Q"));
    EXPECT_EQ(*readFileBytes(p), std::string("Qy\0\0ZZ", 6)); // not truncated
    ASSERT_TRUE(writeRecord(p, 2, 3, "123456"));
    EXPECT_EQ(*readFileBytes(p), std::string("Qy\0"
                                             "123",
                                             6));
    ASSERT_TRUE(appendToFile(p, "!"));
    EXPECT_EQ(readFileBytes(p)->size(), 7u);
    EXPECT_FALSE(readFileBytes(dir.path() / "missing"));
    EXPECT_FALSE(writeFileAtomic(dir.path() / "no" / "such" / "dir", "x"));
    EXPECT_FALSE(fs::exists(dir.path() / "X.DAT.tmp~"));
}

// A link planted under a data file's name must not lead a write to the file it names.
TEST(FileIo, WritesNeverGoThroughASymbolicLink) {
    if (platform::kWindows) {
        GTEST_SKIP() << "symbolic links need privileges that Windows users rarely have";
    }
    const std::function<IoResult(const fs::path&)> inPlace[] = {
        [](const fs::path& p) { return writeAt(p, 2, "ZZ"); },
        [](const fs::path& p) { return appendToFile(p, "ZZ"); },
        [](const fs::path& p) { return writeRecord(p, 1, 2, "ZZ", false); },
    };
    for (const auto& write : inPlace) {
        test::TempDir dir;
        const auto victim = dir.path() / "victim";
        const auto link = dir.path() / "PROVA.DAD";
        test::writeBytes(victim, "untouched");
        fs::create_symlink(victim, link);
        auto refused = write(link);
        ASSERT_FALSE(refused);
        EXPECT_NE(refused.error().find("symbolic link"), std::string::npos) << refused.error();
        EXPECT_EQ(test::readBytes(victim), "untouched");
        // A dangling link must not create its target either.
        fs::remove(victim);
        EXPECT_FALSE(write(link));
        EXPECT_FALSE(fs::exists(victim));
    }

    // A replaced file replaces the link, and a planted temporary name is not followed.
    test::TempDir dir;
    const auto victim = dir.path() / "victim";
    const auto file = dir.path() / "CRS001.PAR";
    test::writeBytes(victim, "untouched");
    fs::create_symlink(victim, file);
    fs::create_symlink(victim, dir.path() / "CRS001.PAR.tmp~");
    ASSERT_TRUE(writeFileAtomic(file, "new"));
    EXPECT_FALSE(fs::is_symlink(file));
    EXPECT_EQ(test::readBytes(file), "new");
    EXPECT_EQ(test::readBytes(victim), "untouched");
}

// An event folder that is a link could lead every write of the event out of the data
// folder; a data folder reached through a link is the organiser's own choice.
TEST(FileIo, NothingIsWrittenIntoALinkedEventFolder) {
    if (platform::kWindows) {
        GTEST_SKIP() << "symbolic links need privileges that Windows users rarely have";
    }
    test::TempDir dir;
    const auto data = dir.path() / "data";
    fs::create_directories(dir.path() / "outside");
    fs::create_directories(data / "PROVA002");
    fs::create_directory_symlink(dir.path() / "outside", data / "PROVA001");
    for (const auto& refused : {writeFileAtomic(data / "PROVA001" / "CRS001.PEN", "new"),
                                appendToFile(data / "PROVA001" / "CRS001.VAV", "ZZ")}) {
        ASSERT_FALSE(refused);
        EXPECT_NE(refused.error().find("event folder is a symbolic link"), std::string::npos);
    }
    EXPECT_TRUE(fs::is_empty(dir.path() / "outside"));
    fs::create_directory_symlink(data, dir.path() / "linked-data");
    EXPECT_TRUE(writeFileAtomic(dir.path() / "linked-data" / "PROVA002" / "CRS001.PEN", "x"));
}

TEST(FileIo, PipesAndFoldersAreRefusedWithoutBlocking) {
    test::TempDir dir;
    EXPECT_FALSE(readFileBytes(dir.path()));
    if (platform::kWindows) {
        GTEST_SKIP() << "Windows has no named pipes in the file system";
    }
    const auto fifo = dir.path() / "PROVA.PAR";
    ASSERT_TRUE(test::makeNamedPipe(fifo));
    EXPECT_FALSE(readFileBytes(fifo));
    EXPECT_FALSE(writeAt(fifo, 0, "x"));
    EXPECT_FALSE(appendToFile(fifo, "x"));
}

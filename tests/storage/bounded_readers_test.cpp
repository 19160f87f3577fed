#include "storage/event_files.h"
#include "storage/heat_result_record.h"
#include "storage/lap_record.h"
#include "storage/participant_list.h"
#include "storage/penalty_record.h"
#include "storage/record_io.h"

#include <functional>
#include <gtest/gtest.h>

#include "support/temp_dir.h"

using namespace cronovolta;

namespace {

constexpr std::uintmax_t kHuge = 250u * 1024u * 1024u;

// Sound records first, then a sparse tail of zeros up to `size`: a huge file that costs
// no disk and reads fast as far as a bounded reader goes.
fs::path hugeFile(const fs::path& dir, const std::string& head, std::uintmax_t size) {
    const fs::path file = dir / "HUGE.BIN";
    test::writeBytes(file, head);
    fs::resize_file(file, size);
    return file;
}

std::string repeated(const std::function<void(ByteWriter&, int)>& one, int times) {
    ByteWriter w;
    for (int i = 0; i < times; ++i) {
        one(w, i);
    }
    return w.take();
}

} // namespace

// Every reader stops at what its format can hold and counts the rest without reading it.
TEST(BoundedReaders, ReadNoFurtherThanTheFormatHoldsAndCountTheRest) {
    struct Case {
        const char* what;
        std::string head;
        std::function<std::pair<std::size_t, std::uintmax_t>(const fs::path&)> read;
        std::size_t items;       // what the reader keeps
        std::uintmax_t consumed; // bytes the kept items take
    };
    const std::string names = repeated(
        [](ByteWriter& w, int i) {
            if (i == 0) {
                w.i16(3);
            }
            w.string16("Pilot " + std::to_string(i));
        },
        150);
    const std::string penalties = repeated(
        [](ByteWriter& w, int i) {
            w.i16(static_cast<std::int16_t>(i + 1));
            w.f32(1.0f);
            w.string16("sortida");
        },
        150);
    const std::string catalogue = repeated(
        [](ByteWriter& w, int) {
            w.string16("");
            w.string16("");
        },
        40000);
    const Case cases[] = {
        {"participants", names,
         [](const fs::path& p) {
             auto l = readParticipantList(p);
             return std::make_pair(l->names.size(), l->leftOut);
         },
         99, 2 + 99 * 2 + 10 * 7 + 89 * 8},
        {"penalties", penalties,
         [](const fs::path& p) {
             auto f = readPenalties(p);
             return std::make_pair(f->records.size(), f->leftOut);
         },
         99, 99 * (8 + 7)},
        {"catalogue", catalogue,
         [](const fs::path& p) {
             auto c = readCatalog(p);
             return std::make_pair(c->entries.size(), c->leftOut);
         },
         kMaxCatalogEntries, kMaxCatalogEntries * 4},
        {"heat results", "",
         [](const fs::path& p) {
             auto f = readHeatResultFile(p);
             return std::make_pair(f->records.size(), f->leftOut);
         },
         kMaxHeatResultFileBytes / kHeatResultRecordSize, kMaxHeatResultFileBytes},
        {"laps", "",
         [](const fs::path& p) {
             auto f = readLapFile(p);
             return std::make_pair(f->records.size(), f->leftOut);
         },
         kMaxLapFileBytes / kLapRecordSize, kMaxLapFileBytes},
    };
    for (const auto& c : cases) {
        test::TempDir dir;
        // The huge tail is zeros: for the catalogue they are more empty entries.
        const fs::path file = hugeFile(dir.path(), c.head, kHuge);
        auto [items, leftOut] = c.read(file);
        EXPECT_EQ(items, c.items) << c.what;
        EXPECT_EQ(leftOut, kHuge - c.consumed) << c.what;

        // A file that ends at the bound leaves nothing out and keeps every item.
        fs::resize_file(file, c.consumed);
        EXPECT_EQ(c.read(file), std::make_pair(c.items, std::uintmax_t{0})) << c.what;
    }
}

// Found by the fuzz targets: a list or a penalties file past its bound, written again, is
// the part read, and the part left out is counted to the byte.
TEST(BoundedReaders, ABoundedFileWrittenAgainIsThePartReadAndTheRestIsCounted) {
    struct Case {
        const char* what;
        std::string bytes;
        std::function<std::pair<std::string, std::uintmax_t>(std::string_view)> rewrite;
    };
    const Case cases[] = {
        {"participant list of 114 empty names and a byte", "\x06" + std::string(230, '\0'),
         [](std::string_view b) {
             const auto list = decodeParticipantList(b);
             EXPECT_EQ(list.names.size(), 99u);
             return std::make_pair(encodeParticipantList(list), list.leftOut);
         }},
        {"120 empty penalties", std::string(120 * 8, '\0'),
         [](std::string_view b) {
             const auto file = decodePenalties(b);
             EXPECT_EQ(file.records.size(), 99u);
             return std::make_pair(encodePenalties(file.records), file.leftOut);
         }},
    };
    for (const auto& c : cases) {
        const auto [again, leftOut] = c.rewrite(c.bytes);
        EXPECT_TRUE(c.bytes.starts_with(again)) << c.what;
        EXPECT_EQ(again.size() + leftOut, c.bytes.size()) << c.what;
    }
}

TEST(BoundedReaders, WholeFileReadsRefuseAHugeFileWithoutReadingIt) {
    test::TempDir dir;
    const fs::path file = hugeFile(dir.path(), "x", kHuge);
    auto read = readFileBytes(file);
    ASSERT_FALSE(read);
    EXPECT_NE(read.error().find("too large"), std::string::npos);
    EXPECT_NE(describeLeftOut(file, 12, "a list of 99 names").find("HUGE.BIN holds 12 bytes"),
              std::string::npos);
}

#include "storage/program_settings.h"
#include "storage/record_io.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

using namespace cronovolta;

namespace {

std::string settingsFile(int language, int lapFraction, int scroll, int version, int model,
                         std::vector<int> colours) {
    ByteWriter w;
    w.i16(static_cast<std::int16_t>(language));
    w.raw("\x11\x22");
    w.i16(static_cast<std::int16_t>(lapFraction));
    w.i16(static_cast<std::int16_t>(scroll));
    w.u8(static_cast<std::uint8_t>(version));
    w.i16(static_cast<std::int16_t>(model));
    w.raw("ABCDEFGH");
    w.i16(static_cast<std::int16_t>(colours.size()));
    for (int c : colours) {
        w.i16(static_cast<std::int16_t>(c));
    }
    return w.take();
}

} // namespace

TEST(ProgramSettings, FirstStartDefaults) {
    ProgramSettings c = defaultProgramSettings();
    EXPECT_EQ(c.language, 0);
    EXPECT_EQ(c.lapFractionPolicy, 0);
    EXPECT_EQ(c.autoScroll, 0);
    EXPECT_EQ(c.counterModel, CounterModel::DS030);
    EXPECT_EQ(c.colours, (std::vector<std::int16_t>{12, 10, 15, 14, 11}));
}

TEST(ProgramSettings, LoadCorrectsLapFractionScrollAndVersion) {
    auto d = decodeProgramSettings(settingsFile(1, -5, -5, 0, 4, {1, 2, 3, 4, 5}));
    EXPECT_TRUE(d.problems.empty());
    EXPECT_EQ(d.config.language, 1);
    EXPECT_EQ(d.config.lapFractionPolicy, 0);
    EXPECT_EQ(d.config.autoScroll, 10);
    EXPECT_EQ(d.config.version, CRONOVOLTA_VERSION_MINOR);
    EXPECT_EQ(d.config.counterModel, CounterModel::DS200);
    EXPECT_EQ(d.config.colours, (std::vector<std::int16_t>{1, 2, 3, 4, 5}));

    auto kept = decodeProgramSettings(settingsFile(0, -1, -1, 7, 0, {1, 2, 3, 4, 5})).config;
    EXPECT_EQ(kept.lapFractionPolicy, -1);
    EXPECT_EQ(kept.autoScroll, -1);
    EXPECT_EQ(kept.version, 7);
    auto pass = decodeProgramSettings(settingsFile(0, 3, 20, 7, 2, {1, 2, 3, 4, 5})).config;
    EXPECT_EQ(pass.lapFractionPolicy, 3);
    EXPECT_EQ(pass.autoScroll, 20);
}

TEST(ProgramSettings, SaveWritesInPlaceKeepingUnusedBytesAndTail) {
    test::TempDir dir;
    auto path = dir.path() / "ZENTOR.CFG";
    std::string old = settingsFile(0, 0, 0, 0, 1, {1, 2, 3, 4, 5}) + "TAIL";
    test::writeBytes(path, old);
    auto loaded = loadProgramSettings(path);
    ASSERT_TRUE(loaded);
    ProgramSettings c = *loaded;
    c.language = 1;
    c.lapFractionPolicy = 2;
    c.colours = {0, 15, 9, 4, 7};
    ASSERT_TRUE(saveProgramSettings(path, c));
    std::string bytes = test::readBytes(path);
    ASSERT_EQ(bytes.size(), old.size());
    EXPECT_EQ(bytes.substr(2, 2), "\x11\x22");
    EXPECT_EQ(bytes.substr(11, 8), "ABCDEFGH");
    EXPECT_EQ(bytes.substr(31), "TAIL");
    EXPECT_EQ(static_cast<int>(bytes[8]), CRONOVOLTA_VERSION_MINOR); // version 0 written back
    auto back = loadProgramSettings(path);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->language, 1);
    EXPECT_EQ(back->lapFractionPolicy, 2);
    EXPECT_EQ(back->colours, c.colours);

    auto fresh = dir.path() / "NEW.CFG";
    ASSERT_TRUE(saveProgramSettings(fresh, defaultProgramSettings()));
    EXPECT_EQ(test::readBytes(fresh).size(), 31u);
}

TEST(ProgramSettings, DamagedFilesGiveFiveSoundSlots) {
    std::string good = settingsFile(1, 2, 3, 4, 2, {1, 2, 3, 4, 5});
    for (std::size_t n = 0; n < good.size(); ++n) {
        auto d = decodeProgramSettings(good.substr(0, n));
        EXPECT_FALSE(d.problems.empty()) << n;
        EXPECT_EQ(d.config.colours.size(), 5u);
        EXPECT_NE(d.config.version, 0);
    }
    auto cut = decodeProgramSettings(good.substr(0, 25)).config; // two colours read
    EXPECT_EQ(cut.colours, (std::vector<std::int16_t>{1, 2, 15, 14, 11}));

    auto wild = decodeProgramSettings(settingsFile(7, 0, 0, 1, 9, {-1, 16, 3}));
    EXPECT_EQ(wild.config.language, 0);
    EXPECT_EQ(wild.config.counterModel, CounterModel::DS030);
    EXPECT_EQ(wild.config.colours, (std::vector<std::int16_t>{12, 10, 3, 14, 11}));
    EXPECT_EQ(wild.problems.size(), 5u);

    auto many = decodeProgramSettings(settingsFile(0, 0, 0, 1, 1, std::vector<int>(30000, 2)));
    EXPECT_EQ(many.config.colours.size(), 5u);
    auto negative =
        decodeProgramSettings(settingsFile(0, 0, 0, 1, 1, {}).substr(0, 19) + "\xF0\xFF");
    EXPECT_EQ(negative.config.colours.size(), 5u);
}

TEST(ProgramSettings, PaletteAndModelNames) {
    EXPECT_EQ(qbColor(12).r, 255);
    EXPECT_EQ(qbColor(7).g, 192);
    EXPECT_EQ(qbColor(16).r, 0);
    EXPECT_EQ(counterModelName(3), "DS300 & DS4port");
    EXPECT_EQ(counterModelName(5), "");
}

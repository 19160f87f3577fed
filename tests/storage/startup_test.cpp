#include "storage/platform.h"
#include "storage/startup.h"
#include "storage/user_folders.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace cronovolta {
namespace {

TEST(CommandLine, DataFolderDefaultsToTheProgramsFolder) {
    auto line = parseCommandLine({}, "/opt/cronovolta");
    ASSERT_TRUE(line.has_value());
    EXPECT_EQ(line->dataDir, fs::path("/opt/cronovolta"));
    line = parseCommandLine({"--data", "/tmp/x"}, "/opt/cronovolta");
    ASSERT_TRUE(line.has_value());
    EXPECT_EQ(line->dataDir, fs::path("/tmp/x"));
    line = parseCommandLine({"--data=/tmp/y"}, "/opt");
    ASSERT_TRUE(line.has_value());
    EXPECT_EQ(line->dataDir, fs::path("/tmp/y"));
    EXPECT_TRUE(parseCommandLine({"--help"}, "/opt")->help);
}

TEST(CommandLine, BadArgumentsAreRefused) {
    EXPECT_FALSE(parseCommandLine({"--data"}, "/opt").has_value());
    EXPECT_FALSE(parseCommandLine({"--data="}, "/opt").has_value());
    EXPECT_FALSE(parseCommandLine({"--dada", "x"}, "/opt").has_value());
}

TEST(DataFolder, IsCreatedWhenMissingAndRefusedWhenAFile) {
    test::TempDir dir;
    const auto made = prepareDataFolder(dir.path() / "a" / "b");
    ASSERT_TRUE(made.has_value());
    EXPECT_TRUE(fs::is_directory(*made));
    test::writeBytes(dir.path() / "file", "x");
    EXPECT_FALSE(prepareDataFolder(dir.path() / "file").has_value());
}

TEST(DataFolder, DefaultsToTheProgramsFolderOnlyWhereAUserCanKeepDataThere) {
    test::TempDir dir;
    const fs::path home = dir.path() / "home";
    const fs::path readOnly = dir.path() / "ro";
    if (platform::kWindows) {
        GTEST_SKIP() << "Windows has no POSIX permissions and no /usr";
    }
    fs::create_directories(readOnly);
    fs::permissions(readOnly, fs::perms::owner_read | fs::perms::owner_exec);
    const bool rootWritesAnywhere = platform::canWriteIn(readOnly);
    const fs::path userFolder = home / "Cronovolta";
    struct Case {
        fs::path programDir;
        fs::path home;
        fs::path expected;
    };
    const Case cases[] = {
        {dir.path(), home, dir.path()},
        {readOnly, home, rootWritesAnywhere ? readOnly : userFolder},
        {"/usr/bin", home, userFolder},
        {"/usr/local/bin", home, userFolder},
        {"/bin", home, userFolder},
        {"/usr/bin", "", "/usr/bin"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.programDir.string() + " home=" + c.home.string());
        EXPECT_EQ(defaultDataFolder(c.programDir, c.home), c.expected);
    }
    fs::permissions(readOnly, fs::perms::owner_all);
}

TEST(ResumeFile, ReadOnlyAfterAnAbnormalEndAndDeletedWhenItNamesNoHeat) {
    test::TempDir dir;
    const fs::path file = dir.path() / "ZTR4.TMP";
    test::writeBytes(file, "3\r\n4\r\n2\r\n5\r\n41000.5\r\n41100.25\r\n");
    EXPECT_FALSE(takeResumeFile(dir.path(), false).state.has_value());
    EXPECT_TRUE(fs::exists(file));
    const ResumeAtStart found = takeResumeFile(dir.path(), true);
    ASSERT_TRUE(found.state.has_value());
    EXPECT_EQ(found.state->event, 3);
    EXPECT_EQ(found.state->programmeType, ProgrammeType::Race);
    EXPECT_EQ(found.state->seriesNumber, 2);
    EXPECT_EQ(found.state->heat, 5);
    EXPECT_FLOAT_EQ(found.state->heatStart, 41100.25f);
    // Kept until the recovery writes it anew: a recovery cut short is offered again.
    EXPECT_TRUE(fs::exists(file));
    EXPECT_TRUE(takeResumeFile(dir.path(), true).state.has_value());
    dropResumeFile(dir.path());
    EXPECT_FALSE(fs::exists(file));

    test::writeBytes(file, "garbage");
    const ResumeAtStart garbage = takeResumeFile(dir.path(), true);
    EXPECT_TRUE(garbage.invalidFile);
    EXPECT_FALSE(fs::exists(file));
    EXPECT_FALSE(takeResumeFile(dir.path(), true).invalidFile); // no file, nothing to report
}

TEST(Questions, RecoveryAndNewSeriesTexts) {
    RecoveryTexts t{"¿Quieres recuperar?", "Prueba", "Modalidad:", "Carrera", "Serie:", "Manga:"};
    EXPECT_EQ(recoveryQuestionText(t, "Open", 2, 5),
              "¿Quieres recuperar?\r\rPrueba: Open\rModalidad: Carrera\rSerie: 2\rManga: 5\r");
    EXPECT_EQ(newSeriesQuestionText("¿Quieres crear la serie nº", 3),
              "¿Quieres crear la serie nº 3?");
}

TEST(FontScale, GrowsOnlyBeyondTheMediumScreen) {
    EXPECT_DOUBLE_EQ(interfaceFontScale(800, 600), 1.0);
    EXPECT_DOUBLE_EQ(interfaceFontScale(1366, 768), 1.0);
    EXPECT_NEAR(interfaceFontScale(1920, 1080), 1.4, 0.01);
    EXPECT_DOUBLE_EQ(interfaceFontScale(7680, 4320), 2.0);
    EXPECT_DOUBLE_EQ(interfaceFontScale(0, 0), 1.0);
}

} // namespace
} // namespace cronovolta

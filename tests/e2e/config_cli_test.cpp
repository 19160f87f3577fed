// The track and settings commands of the real cronovolta-cli on a scratch data folder.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace {

using cronovolta::test::CliRun;
using cronovolta::test::readBytes;
using cronovolta::test::TempDir;
using cronovolta::test::writeBytes;

class ConfigCli : public ::testing::Test {
protected:
    CliRun cli(const std::vector<std::string>& args) {
        return cronovolta::test::runCli(m_data.path(), args, m_scratch.path());
    }

    std::filesystem::path file(const std::string& name) const { return m_data.path() / name; }

    TempDir m_data;
    TempDir m_scratch;
};

std::string i16(int v) {
    return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)};
}

} // namespace

TEST_F(ConfigCli, TrackSetCreatesTheFileAndShowListsEveryKey) {
    CliRun show = cli({"track", "show"});
    EXPECT_EQ(show.status, 1);
    EXPECT_FALSE(std::filesystem::exists(file("PISTA.CFG")));

    CliRun set = cli({"track", "set", "lanes=8", "circuits=2", "order=3,1", "min-lap=1,5",
                      "largest-partial=100"});
    ASSERT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(readBytes(file("PISTA.CFG")).size(), 31u + 2 * 8);
    show = cli({"track", "show"});
    ASSERT_EQ(show.status, 0);
    EXPECT_EQ(show.out, "lanes=8\n"
                        "order=3,1,2,4,5,6,7,8\n"
                        "min-lap=1.50\n"
                        "largest-partial=100\n"
                        "circuits=2\n"
                        "ports=1,2\n"
                        "first-lanes=1,5\n"
                        "split=off\n"
                        "partial-lane=7\n"
                        "speed-lane=8\n"
                        "speed-distance=40\n");
}

TEST_F(ConfigCli, TrackSetAppliesTheFieldRulesInOrder) {
    ASSERT_EQ(cli({"track", "set", "lanes=8"}).status, 0);
    // The second 9 takes the first box's lane away in exchange; the corrections are told on
    // stderr.
    CliRun set = cli({"track", "set", "order=9,9", "circuits=3", "ports=3", "first-lanes=1,0,2",
                      "split=on", "speed-lane=20", "speed-distance=-25", "min-lap=-1"});
    ASSERT_EQ(set.status, 0) << set.err;
    EXPECT_NE(set.err.find("speed-lane=20 became 8"), std::string::npos);
    EXPECT_NE(set.err.find("min-lap=-1 became 00.00"), std::string::npos);
    EXPECT_EQ(readBytes(file("PISTA.CFG")).size(), 309u);
    CliRun show = cli({"track", "show"});
    EXPECT_NE(show.out.find("order=2,9,3,4,5,6,7,8\n"), std::string::npos);
    EXPECT_NE(show.out.find("ports=3,2,1\n"), std::string::npos);
    EXPECT_NE(show.out.find("first-lanes=1,2,2\n"), std::string::npos);
    EXPECT_NE(show.out.find("split=on\n"), std::string::npos);
    EXPECT_NE(show.out.find("speed-lane=8\nspeed-distance=25\n"), std::string::npos);

    ASSERT_EQ(cli({"track", "set", "split=off"}).status, 0);
    EXPECT_EQ(readBytes(file("PISTA.CFG")).size(), 31u + 2 * 8);
}

TEST_F(ConfigCli, BadKeysAndValuesAreUsageErrorsThatChangeNothing) {
    ASSERT_EQ(cli({"track", "set", "lanes=4"}).status, 0);
    std::string before = readBytes(file("PISTA.CFG"));
    for (const auto& bad : std::vector<std::string>{"colour=3", "lanes=four", "order=1,2,3,4,5,6,7",
                                                    "order=0", "ports=5", "circuits=5", "split=yes",
                                                    "first-lanes=2,5", "min-lap=1.2.3", "lanes"}) {
        CliRun r = cli({"track", "set", "lanes=6", bad});
        EXPECT_EQ(r.status, 2) << bad;
        EXPECT_NE(r.err.find("usage:"), std::string::npos) << bad;
    }
    EXPECT_EQ(readBytes(file("PISTA.CFG")), before);
    EXPECT_EQ(cli({"track", "list"}).status, 2);
    EXPECT_EQ(cli({"track", "show", "--event"}).status, 2);
}

TEST_F(ConfigCli, EventCopyIsEditedAndLockedOnceHeatsWereRun) {
    ASSERT_EQ(cli({"track", "set", "lanes=6"}).status, 0);
    std::string templateBytes = readBytes(file("PISTA.CFG"));
    EXPECT_EQ(cli({"track", "show", "--event", "1"}).status, 1); // no such event

    std::filesystem::create_directory(file("PROVA001"));
    ASSERT_EQ(cli({"track", "set", "--event", "1", "lanes=4"}).status, 0);
    EXPECT_EQ(readBytes(file("PROVA001/PISTA.CFG")).size(), 31u + 2 * 4);
    EXPECT_EQ(readBytes(file("PISTA.CFG")), templateBytes);

    // One race series with a heat run: the lane count is locked, the order is not.
    writeBytes(file("PROVA001/PROVA.DAD"), i16(0) + i16(0) + i16(0) + i16(1));
    writeBytes(file("PROVA001/CRS001.PAR"), i16(1));
    CliRun locked = cli({"track", "set", "--event", "1", "lanes=5"});
    EXPECT_EQ(locked.status, 1);
    EXPECT_NE(locked.err.find("locked"), std::string::npos);
    CliRun reordered = cli({"track", "set", "--event", "1", "lanes=4", "order=4,3,2,1"});
    EXPECT_EQ(reordered.status, 0);
    EXPECT_NE(reordered.err.find("Ja s'ha iniciat la prova; si es modifica l'ordre de canvi de "
                                 "pistes, les mànigues disputades fins ara es mantindran amb la "
                                 "configuració anterior.\n"),
              std::string::npos)
        << reordered.err;
    EXPECT_NE(cli({"track", "show", "--event", "1"}).out.find("order=4,3,2,1\n"),
              std::string::npos);
}

TEST_F(ConfigCli, LaneCountAboveTheMaximumIsRefusedWithTheWindowMessage) {
    std::string bytes(29, '\0');
    bytes[9] = 1;
    bytes[11] = 1;
    bytes[13] = 1;
    bytes += i16(65);
    for (int lane = 1; lane <= 65; ++lane) {
        bytes += i16(lane);
    }
    writeBytes(file("PISTA.CFG"), bytes);
    CliRun show = cli({"track", "show"});
    EXPECT_EQ(show.status, 1);
    EXPECT_NE(show.err.find("El nombre de pistes de la configuració és superior al màxim permès"),
              std::string::npos);
    EXPECT_EQ(cli({"track", "set", "lanes=8"}).status, 1);
    EXPECT_EQ(readBytes(file("PISTA.CFG")), bytes);

    ASSERT_EQ(cli({"settings", "set", "language=es"}).status, 0);
    EXPECT_NE(
        cli({"track", "show"})
            .err.find("El número de pistas de la configuración es superior al máximo permitido"),
        std::string::npos);
}

TEST_F(ConfigCli, SettingsAreCreatedCorrectedAndWrittenInPlace) {
    EXPECT_EQ(cli({"settings", "show"}).status, 1);
    ASSERT_EQ(cli({"settings", "set", "model=DS200"}).status, 0);
    EXPECT_EQ(readBytes(file("ZENTOR.CFG")).size(), 31u);
    EXPECT_EQ(cli({"settings", "show"}).out,
              "language=0\nmodel=4\ncomes=0\nautoscroll=0\ncolours=12,10,15,14,11\n");

    // An older file: comes and auto-scroll below -1, a longer tail that must survive.
    std::string old = i16(1) + i16(0) + i16(-5) + i16(-5) + std::string(1, '\0') + i16(2) +
                      std::string(8, '\0') + i16(5);
    for (int c : {1, 2, 3, 4, 5}) {
        old += i16(c);
    }
    old += "TAIL";
    writeBytes(file("ZENTOR.CFG"), old);
    EXPECT_EQ(cli({"settings", "show"}).out,
              "language=1\nmodel=2\ncomes=0\nautoscroll=10\ncolours=1,2,3,4,5\n");
    ASSERT_EQ(cli({"settings", "set", "language=ca", "model=ds300 & ds4port", "comes=3",
                   "autoscroll=15", "colours=0,15,7,8,9"})
                  .status,
              0);
    std::string now = readBytes(file("ZENTOR.CFG"));
    EXPECT_EQ(now.size(), old.size());
    EXPECT_EQ(now.substr(now.size() - 4), "TAIL");
    EXPECT_EQ(cli({"settings", "show"}).out,
              "language=0\nmodel=3\ncomes=3\nautoscroll=15\ncolours=0,15,7,8,9\n");

    for (const auto& bad :
         std::vector<std::string>{"language=fr", "model=9", "comes=-2", "autoscroll=-1",
                                  "colours=1,2,3", "colours=1,2,3,4,16", "volume=3"}) {
        EXPECT_EQ(cli({"settings", "set", bad}).status, 2) << bad;
    }
    EXPECT_EQ(readBytes(file("ZENTOR.CFG")), now);
}

#include "storage/event_files.h"

#include <gtest/gtest.h>

#include "support/cli_run.h"
#include "support/temp_dir.h"

using namespace cronovolta;
using cronovolta::test::CliRun;
using cronovolta::test::TempDir;

namespace {

class ArchiveCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(cli({"track", "set", "lanes=2"}).status, 0);
        ASSERT_EQ(cli({"event", "create", "Ràl·li", "5-6-2026"}).status, 0);
        ASSERT_EQ(cli({"participants", "set", "1", "CRS", "1", "Anna", "Bernat"}).status, 0);
    }
    CliRun cli(const std::vector<std::string>& args) {
        return test::runCli(data(), args, m_scratch.path());
    }
    const fs::path& data() const { return m_data.path(); }
    fs::path scratch(const char* name) const { return m_scratch.path() / name; }

    TempDir m_data;
    TempDir m_scratch;
};

TEST_F(ArchiveCliTest, ArchiveThenUnarchiveMakesTheNextEventWithTheSameFiles) {
    const std::string prb = scratch("r.prb").string();
    CliRun archived = cli({"archive", "1", prb});
    ASSERT_EQ(archived.status, 0) << archived.err;
    CliRun unarchived = cli({"unarchive", prb});
    ASSERT_EQ(unarchived.status, 0) << unarchived.err;
    EXPECT_EQ(unarchived.out, "2\tRàl·li\n");
    EXPECT_EQ(test::readBytes(eventFolder(data(), 2) / "CRS001.PAR"),
              test::readBytes(eventFolder(data(), 1) / "CRS001.PAR"));
    EXPECT_EQ(cli({"events"}).out, "1\tRàl·li\t5-6-2026\n2\tRàl·li\t5-6-2026\n");
}

TEST_F(ArchiveCliTest, FailuresExitOneWithOneLineAndUsageErrorsTwo) {
    test::writeBytes(scratch("bad.prb"), "not an archive at all");
    CliRun wrong = cli({"unarchive", scratch("bad.prb").string()});
    EXPECT_EQ(wrong.status, 1);
    EXPECT_EQ(wrong.err, "cronovolta-cli: El format de l'arxiu no és correcte\n");
    EXPECT_FALSE(fs::exists(eventFolder(data(), 2)));

    EXPECT_EQ(cli({"archive", "7", scratch("x.prb").string()}).status, 1);
    EXPECT_EQ(cli({"export", "7", scratch("x.txt").string()}).status, 1);

    for (const std::vector<std::string>& args : {std::vector<std::string>{"archive", "1"},
                                                 {"unarchive"},
                                                 {"export", "1", "f", "--x"},
                                                 {"result-tables"},
                                                 {"archive", "one", "f"}}) {
        EXPECT_EQ(cli(args).status, 2) << args[0];
    }
}

// As the file screen does: the extension is added when missing, and nothing is replaced
// unless asked for.
TEST_F(ArchiveCliTest, TheExtensionIsAddedAndAnExistingFileIsReplacedOnlyWithForce) {
    for (const auto& [command, extension] : {std::pair{"archive", ".prb"}, {"export", ".txt"}}) {
        SCOPED_TRACE(command);
        const fs::path named = scratch("result");
        const fs::path written = scratch((std::string("result") + extension).c_str());
        ASSERT_EQ(cli({command, "1", named.string()}).status, 0);
        EXPECT_FALSE(fs::exists(named));
        ASSERT_TRUE(fs::exists(written));
        test::writeBytes(written, "kept");
        for (const fs::path& target : {named, written}) {
            CliRun again = cli({command, "1", target.string()});
            EXPECT_EQ(again.status, 1);
            EXPECT_EQ(again.err, "cronovolta-cli: L'arxiu ja existeix: " + written.string() +
                                     " (--force el sobreescriu)\n");
            EXPECT_EQ(test::readBytes(written), "kept");
        }
        ASSERT_EQ(cli({command, "1", named.string(), "--force"}).status, 0);
        EXPECT_NE(test::readBytes(written), "kept");
        EXPECT_EQ(cli({command, "1", named.string(), "--force", "--force"}).status, 2);
        EXPECT_EQ(cli({command, "1", m_scratch.path().string(), "--force"}).status, 1);
    }
}

TEST_F(ArchiveCliTest, AFileNameOutsideWindows1252IsPinnedOnTheEventFolder) {
    const fs::path odd = eventFolder(data(), 1) / "日本.txt";
    test::writeBytes(odd, "x");
    CliRun refused = cli({"archive", "1", scratch("r.prb").string()});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.err.starts_with("cronovolta-cli: La carpeta de la prova conté un fitxer"))
        << refused.err;
    EXPECT_NE(refused.err.find(odd.string()), std::string::npos) << refused.err;
    EXPECT_FALSE(fs::exists(scratch("r.prb")));
}

// A killed archive or unarchive leaves its temporary file or folder; the next run of the
// same command removes them, and nothing else.
TEST_F(ArchiveCliTest, LeftoversOfKilledRunsAreRemovedByTheNextRun) {
    const fs::path prb = scratch("r.prb");
    const std::vector<std::string> ours = {"r.prb.part~", "r.prb.part1~", "r.prb.part12~"};
    const std::vector<std::string> theirs = {"r.prb.partial~", "r.prb.part~x", "s.prb.part~"};
    for (const auto& name : ours) {
        test::writeBytes(m_scratch.path() / name, "half");
    }
    for (const auto& name : theirs) {
        test::writeBytes(m_scratch.path() / name, "other");
    }
    ASSERT_EQ(cli({"archive", "1", prb.string()}).status, 0);
    for (const auto& name : ours) {
        EXPECT_FALSE(fs::exists(m_scratch.path() / name)) << name;
    }
    for (const auto& name : theirs) {
        EXPECT_EQ(test::readBytes(m_scratch.path() / name), "other") << name;
    }

    const std::vector<std::string> folders = {"PROVA002.part~", "PROVA005.part2~"};
    for (const auto& name : folders) {
        fs::create_directories(data() / name);
        test::writeBytes(data() / name / "CRS001.PAR", "half");
    }
    fs::create_directories(data() / "PROVA2.part~");
    ASSERT_EQ(cli({"unarchive", prb.string()}).status, 0);
    for (const auto& name : folders) {
        EXPECT_FALSE(fs::exists(data() / name)) << name;
    }
    EXPECT_TRUE(fs::exists(data() / "PROVA2.part~"));
    EXPECT_TRUE(fs::exists(eventFolder(data(), 2) / "CRS001.PAR"));
}

TEST_F(ArchiveCliTest, ExportsWriteTheEventsProgrammesAndSayWhere) {
    const fs::path txt = scratch("r.txt");
    CliRun exported = cli({"export", "1", txt.string(), "--separate-grids"});
    ASSERT_EQ(exported.status, 0) << exported.err;
    const std::string dashes(100, '-');
    // Every programme has one series and no heat yet.
    EXPECT_EQ(test::readBytes(txt), "ENTRENAMENTS OFICIALS\r\n" + dashes + "\r\n\r\nSUPERPOLE\r\n" +
                                        dashes + "\r\n\r\nCURSA\r\n" + dashes + "\r\n\r\n");
    CliRun tables = cli({"result-tables", "1"});
    ASSERT_EQ(tables.status, 0) << tables.err;
    EXPECT_EQ(tables.out, (eventFolder(data(), 1) / "ENTRENAMENTS.TXT").string() + "\n");
}

} // namespace

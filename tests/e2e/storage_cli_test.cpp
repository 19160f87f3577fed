#include "storage/event_files.h"

#include <gtest/gtest.h>

#include "support/cli_run.h"
#include "support/temp_dir.h"

using namespace cronovolta;
using cronovolta::test::CliRun;
using cronovolta::test::TempDir;

namespace {

class StorageCliTest : public ::testing::Test {
protected:
    CliRun cli(const std::vector<std::string>& args) {
        return test::runCli(m_data.path(), args, m_scratch.path());
    }
    const fs::path& data() const { return m_data.path(); }
    void writeTrack(int lanes) {
        ASSERT_EQ(cli({"track", "set", "lanes=" + std::to_string(lanes)}).status, 0);
    }

    TempDir m_data;
    TempDir m_scratch;
};

} // namespace

TEST_F(StorageCliTest, EventsAreCreatedListedModifiedAndDeleted) {
    CliRun empty = cli({"events"});
    EXPECT_EQ(empty.status, 0);
    EXPECT_EQ(empty.out, "");
    EXPECT_FALSE(fs::exists(data() / "PROVES.LLS"));

    CliRun noTrack = cli({"event", "create", "Primera"});
    EXPECT_EQ(noTrack.status, 1);
    EXPECT_NE(noTrack.err.find("PISTA.CFG"), std::string::npos);
    EXPECT_FALSE(fs::exists(data() / "PROVA001"));

    writeTrack(4);
    test::writeBytes(data() / "DISTRIBUCIONS04.TXT", "1 2\n");
    EXPECT_EQ(cli({"event", "create", "  Trofeu Sènior ", "12-05-2024"}).out, "1\n");
    CliRun dated = cli({"event", "create", "Segona"});
    EXPECT_EQ(dated.out, "2\n");
    EXPECT_EQ(cli({"event", "create", "Tercera", "d3"}).out, "3\n");
    CliRun listed = cli({"events"});
    EXPECT_EQ(listed.status, 0);
    EXPECT_TRUE(listed.out.starts_with("1\tTrofeu Sènior\t12-05-2024\n2\tSegona\t"));
    // Today's date as dd-mm-yyyy.
    std::string secondDate = listed.out.substr(listed.out.find("Segona\t") + 7, 10);
    EXPECT_EQ(secondDate.size(), 10u);
    EXPECT_EQ(secondDate[2], '-');
    EXPECT_EQ(secondDate[5], '-');
    EXPECT_EQ(test::readBytes(data() / "PROVA001" / "PROVA.DAD").substr(0, 8),
              std::string(8, '\0'));

    EXPECT_EQ(cli({"event", "modify", "3", "Final", "31-12-2024"}).status, 0);
    EXPECT_EQ(cli({"event", "delete", "2"}).status, 0);
    EXPECT_EQ(cli({"events"}).out, "1\tTrofeu Sènior\t12-05-2024\n2\tFinal\t31-12-2024\n");
    EXPECT_FALSE(fs::exists(data() / "PROVA003"));

    CliRun missingName = cli({"event", "modify", "1", " ", "x"});
    EXPECT_EQ(missingName.status, 1);
    EXPECT_EQ(missingName.err, "cronovolta-cli: Falta el nom de la prova\n");
    EXPECT_EQ(cli({"event", "delete", "7"}).status, 1);
    EXPECT_EQ(cli({"event", "delete", "x"}).status, 2);
    EXPECT_EQ(cli({"event", "rename", "1"}).status, 2);
    EXPECT_EQ(cli({"events", "extra"}).status, 2);
}

TEST_F(StorageCliTest, SeriesAreAddedAndDeletedWithTheirFiles) {
    writeTrack(8); // no distribution table: one series of each type
    ASSERT_EQ(cli({"event", "create", "Cursa"}).status, 0);
    EXPECT_EQ(cli({"series", "add", "1", "CRS"}).out, "2\n");
    EXPECT_EQ(cli({"series", "add", "1", "4"}).out, "3\n");
    EXPECT_EQ(cli({"series", "add", "1", "llr"}).out, "2\n");
    fs::path ev = data() / "PROVA001";
    test::writeBytes(ev / "CRS002.PAR", "second");
    test::writeBytes(ev / "CRS003.DAD", "third");

    EXPECT_EQ(cli({"series", "delete", "1", "CRS", "1"}).status, 0);
    EXPECT_EQ(test::readBytes(ev / "CRS001.PAR"), "second");
    EXPECT_EQ(test::readBytes(ev / "CRS002.DAD"), "third");
    auto header = readEventHeader(ev / "PROVA.DAD");
    ASSERT_TRUE(header);
    EXPECT_EQ(header->header.seriesCounts, (std::array<std::int16_t, 4>{2, 1, 1, 2}));

    CliRun gone = cli({"series", "delete", "1", "CRS", "3"});
    EXPECT_EQ(gone.status, 1);
    EXPECT_FALSE(gone.err.empty());
    EXPECT_EQ(cli({"series", "add", "2", "CRS"}).status, 1);
    EXPECT_EQ(cli({"series", "add", "1", "XYZ"}).status, 2);
    EXPECT_EQ(cli({"series", "add", "1", "0"}).status, 2);
    EXPECT_EQ(cli({"series", "delete", "1", "CRS"}).status, 2);
}

TEST_F(StorageCliTest, ADamagedCatalogueIsRebuiltFromTheFolders) {
    writeTrack(4);
    ASSERT_EQ(cli({"event", "create", "Una"}).status, 0);
    ASSERT_EQ(cli({"event", "create", "Dues"}).status, 0);
    test::writeBytes(data() / "PROVES.LLS", std::string("\x10\0Un", 4));
    CliRun listed = cli({"events"});
    EXPECT_EQ(listed.status, 0);
    EXPECT_EQ(listed.out.substr(0, 6), "1\tUna\t");
    EXPECT_NE(listed.out.find("2\tDues\t"), std::string::npos);
    EXPECT_NE(listed.err.find("rebuilt"), std::string::npos);

    // A header that cannot be read keeps its event's place under the folder's name, and
    // the organiser is told which one it is.
    fs::remove(data() / "PROVES.LLS");
    test::writeBytes(data() / "PROVA002" / "PROVA.DAD", std::string(30, '\xFF'));
    listed = cli({"events"});
    EXPECT_EQ(listed.status, 0);
    EXPECT_NE(listed.out.find("2\tPROVA002\t\n"), std::string::npos) << listed.out;
    EXPECT_NE(listed.err.find("PROVA002/PROVA.DAD"), std::string::npos) << listed.err;
}

// A link planted in the data folder must not turn a command into a write elsewhere.
TEST_F(StorageCliTest, CommandsRefuseToWriteThroughAPlantedLink) {
    writeTrack(4);
    ASSERT_EQ(cli({"event", "create", "Cursa"}).status, 0);
    ASSERT_EQ(cli({"settings", "set", "language=ca"}).status, 0);
    const fs::path ev = data() / "PROVA001";
    struct Case {
        fs::path file;
        std::vector<std::string> args;
    };
    const Case cases[] = {
        {ev / "PROVA.DAD", {"event", "modify", "1", "Altra", "01-01-2027"}},
        {ev / "PROVA.DAD", {"series", "add", "1", "CRS"}},
        {data() / "ZENTOR.CFG", {"settings", "set", "language=es"}},
    };
    for (const auto& c : cases) {
        const fs::path victim = m_scratch.path() / "victim";
        const std::string original = test::readBytes(c.file);
        test::writeBytes(victim, original);
        fs::remove(c.file);
        fs::create_symlink(victim, c.file);
        CliRun refused = cli(c.args);
        EXPECT_EQ(refused.status, 1) << c.args[0];
        EXPECT_NE(refused.err.find("symbolic link"), std::string::npos) << refused.err;
        EXPECT_EQ(test::readBytes(victim), original) << c.args[0];
        fs::remove(c.file);
        test::writeBytes(c.file, original);
    }
}

#include "corrections/penalties_model.h"

#include "storage/participant_list.h"
#include "storage/penalty_record.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace cronovolta::test {
namespace {

struct Penalties : ::testing::Test {
    TempDir dir;
    fs::path pen() const { return dir.path() / "CRS002.PEN"; }

    void SetUp() override {
        ParticipantList list;
        list.names = {"Anna Puig", "Pere Roca", "Laia Font", "Marc Serra"};
        ASSERT_TRUE(writeParticipantList(dir.path() / "CRS002.PAR", list));
    }
    PenaltiesModel open() {
        auto model = PenaltiesModel::open(dir.path(), 2);
        EXPECT_TRUE(model) << (model ? "" : model.error());
        return std::move(*model);
    }
    std::vector<PenaltyRecord> stored() const {
        auto file = readPenalties(pen());
        return file ? file->records : std::vector<PenaltyRecord>{};
    }
    // The organiser picks a participant, types the laps and reasons, leaves the laps field
    // and saves.
    void enter(PenaltiesModel& m, int participant, const std::string& laps,
               const std::string& reasons) {
        m.select(participant);
        m.setValue(laps);
        m.leaveValue();
        if (!m.value().empty()) {
            m.setReasons(reasons);
        }
        ASSERT_TRUE(m.save());
    }
};

TEST_F(Penalties, StoredTrimmedAbsoluteInParticipantOrderAndZeroRemoves) {
    auto m = open();
    EXPECT_EQ(m.selected(), 1);
    EXPECT_TRUE(m.saveEnabled());
    struct Step {
        int participant;
        std::string laps;
        std::string reasons;
        std::vector<PenaltyRecord> file;
    };
    const Step steps[] = {
        {3, "-2", "  sortida avançada ", {{3, 2.0f, "sortida avançada"}}},
        {1, "1,5", "contacte", {{1, 1.5f, "contacte"}, {3, 2.0f, "sortida avançada"}}},
        {3, "0", "ignored", {{1, 1.5f, "contacte"}}},
        {2, "", "no laps", {{1, 1.5f, "contacte"}}},
        {1, "abc", "", {}},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.laps);
        enter(m, s.participant, s.laps, s.reasons);
        EXPECT_EQ(stored(), s.file);
        EXPECT_TRUE(fs::exists(pen()));
    }
    EXPECT_EQ(readBytes(pen()), "");
}

TEST_F(Penalties, TheTableShowsTheFileAndSelectingKeepsWhatWasTyped) {
    ASSERT_TRUE(writePenalties(pen(), {{2, 1.5f, "salt"}, {4, 3.0f, "contacte"}}));
    auto m = open();
    EXPECT_EQ(m.row(2).penalty, " 1.5");
    EXPECT_EQ(m.row(4).reasons, "contacte");
    EXPECT_EQ(m.row(1).penalty, "");
    m.select(2);
    EXPECT_EQ(m.value(), " 1.5");
    EXPECT_EQ(m.reasons(), "salt");
    // Reselecting and retyping what is stored ("1,5", blanks) is no change.
    m.setValue("1,5");
    m.setReasons(" salt ");
    m.select(4);
    EXPECT_TRUE(m.unsavedParticipants().empty());

    m.setValue("9");
    m.select(1);
    m.setValue("2");
    m.setReasons("sortida avançada");
    m.select(3); // nothing typed for 3
    m.select(2);
    EXPECT_EQ(m.value(), " 1.5");
    m.leaveValue();
    EXPECT_EQ(m.value(), "1.5");
    EXPECT_EQ(m.unsavedParticipants(), (std::vector<int>{1, 4}));
    EXPECT_EQ(m.shown(4).penalty, "9");
    EXPECT_EQ(m.shown(4).reasons, "contacte");
    EXPECT_EQ(m.row(4).penalty, " 3"); // the table is the file until saved
    m.select(4);
    EXPECT_EQ(m.value(), "9");
    EXPECT_EQ(m.reasons(), "contacte");
    m.setValue("0"); // typed back to no penalty: still a change to store
    m.select(1);
    EXPECT_EQ(m.value(), "2");

    // A file that cannot be written loses nothing typed.
    const fs::path file = pen();
    fs::remove(file);
    fs::create_directory(file);
    EXPECT_FALSE(m.save());
    EXPECT_EQ(m.unsavedParticipants(), (std::vector<int>{1, 4}));
    EXPECT_EQ(m.row(4).penalty, " 3");
    fs::remove(file);

    ASSERT_TRUE(m.save());
    EXPECT_TRUE(m.unsavedParticipants().empty());
    EXPECT_EQ(stored(),
              (std::vector<PenaltyRecord>{{1, 2.0f, "sortida avançada"}, {2, 1.5f, "salt"}}));
    EXPECT_EQ(m.row(4).penalty, "");
}

TEST_F(Penalties, AFileEndingInsideARecordKeepsTheRecordsBeforeIt) {
    std::string bytes = encodePenalties({{1, 1.0f, "una"}, {3, 2.0f, "dues"}});
    writeBytes(pen(), bytes.substr(0, bytes.size() - 2));
    auto m = open();
    ASSERT_EQ(m.notes().size(), 1u);
    EXPECT_NE(m.notes()[0].find("ends inside a record"), std::string::npos);
    EXPECT_EQ(m.row(1).penalty, " 1");
    EXPECT_EQ(m.row(3).penalty, "");
    // A penalty of a participant beyond the list is kept when the file is written again.
    ASSERT_TRUE(writePenalties(pen(), {{6, 1.0f, "fora"}}));
    auto wide = open();
    EXPECT_EQ(wide.participants(), 6);
    enter(wide, 1, "2", "");
    EXPECT_EQ(stored(), (std::vector<PenaltyRecord>{{1, 2.0f, ""}, {6, 1.0f, "fora"}}));
}

} // namespace
} // namespace cronovolta::test

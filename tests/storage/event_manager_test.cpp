#include "storage/event_manager.h"

#include "storage/participant_list.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

using namespace cronovolta;
using cronovolta::test::TempDir;

namespace {

// A track file as far as the event manager cares: the lane count at offset 29.
std::string trackWithLanes(int lanes) {
    std::string bytes(300, '\0');
    bytes[29] = static_cast<char>(lanes);
    bytes[100] = 'T'; // something to recognise the copy by
    return bytes;
}

class EventManagerTest : public ::testing::Test {
protected:
    void SetUp() override { test::writeBytes(data() / "PISTA.CFG", trackWithLanes(4)); }

    const fs::path& data() const { return m_dir.path(); }
    fs::path header(int event) const { return eventFolder(data(), event) / "PROVA.DAD"; }
    EventHeader readHeader(int event) const {
        auto read = readEventHeader(header(event));
        EXPECT_TRUE(read);
        return read ? read->header : EventHeader{};
    }
    std::vector<CatalogEntry> catalog() const {
        auto read = readCatalog(data() / "PROVES.LLS");
        EXPECT_TRUE(read);
        return read ? read->entries : std::vector<CatalogEntry>{};
    }
    void createEvents(EventManager& manager, int n) {
        for (int i = 1; i <= n; ++i) {
            ASSERT_EQ(manager.createEvent("Prova " + std::to_string(i), "0" + std::to_string(i)),
                      i);
        }
    }
    void touch(int event, const std::string& name, const std::string& content) {
        test::writeBytes(eventFolder(data(), event) / name, content);
    }

    TempDir m_dir;
};

} // namespace

TEST_F(EventManagerTest, CreateWritesFolderTrackCopyHeaderAndCatalogue) {
    EventManager manager(data());
    auto created = manager.createEvent("  Gran Premi  ", " 12-05-2024 ");
    ASSERT_TRUE(created);
    EXPECT_EQ(*created, 1);
    EXPECT_EQ(test::readBytes(eventFolder(data(), 1) / "PISTA.CFG"), trackWithLanes(4));
    EventHeader h = readHeader(1);
    EXPECT_EQ(h.name, "Gran Premi");
    EXPECT_EQ(h.date, "12-05-2024");
    EXPECT_EQ(h.seriesCounts, (std::array<std::int16_t, 4>{1, 1, 1, 1}));
    EXPECT_EQ(catalog(), (std::vector<CatalogEntry>{{"Gran Premi", "12-05-2024"}}));

    ASSERT_EQ(manager.createEvent("Segona", ""), 2);
    EXPECT_EQ(catalog().size(), 2u);
    EXPECT_EQ(catalog()[1].date, "");
}

TEST_F(EventManagerTest, DistributionTableOfTheLaneCountStartsWithoutSeries) {
    test::writeBytes(data() / "DISTRIBUCIONS04.TXT", "1 2\n");
    test::writeBytes(data() / "DISTRIBUCIONS08.TXT", "1 2\n");
    EventManager manager(data());
    ASSERT_TRUE(manager.createEvent("Quatre", "d"));
    EXPECT_EQ(readHeader(1).seriesCounts, (std::array<std::int16_t, 4>{0, 0, 0, 0}));

    test::writeBytes(data() / "PISTA.CFG", trackWithLanes(6));
    ASSERT_TRUE(manager.createEvent("Sis", "d"));
    EXPECT_EQ(readHeader(2).seriesCounts, (std::array<std::int16_t, 4>{1, 1, 1, 1}));
    // The event keeps the track it was created with.
    EXPECT_EQ(test::readBytes(eventFolder(data(), 1) / "PISTA.CFG"), trackWithLanes(4));
}

TEST_F(EventManagerTest, RefusedCreationsWriteNothing) {
    EventManager manager(data());
    auto empty = manager.createEvent("   ", "01-01-2024");
    ASSERT_FALSE(empty);
    EXPECT_EQ(empty.error().kind, EventError::MissingName);
    EXPECT_EQ(empty.error().message, "Falta el nom de la prova");

    auto huge = manager.createEvent("Nom", std::string(32768, '1'));
    ASSERT_FALSE(huge);
    EXPECT_EQ(huge.error().kind, EventError::InvalidText);
    EXPECT_EQ(manager.createEvent("Nom\nambsalt", "").error().kind, EventError::InvalidText);
    // Characters the files cannot hold would come back as "?".
    EXPECT_EQ(manager.createEvent("Open de Łódź", "").error().kind, EventError::InvalidText);
    EXPECT_EQ(manager.createEvent("Nom", "7\xE9").error().kind, EventError::InvalidText);
    EXPECT_FALSE(fs::exists(eventFolder(data(), 1)));
    EXPECT_TRUE(manager.createEvent(std::string(32767, 'x'), "")); // the longest that fits
    fs::remove_all(eventFolder(data(), 1));
    fs::remove(data() / "PROVES.LLS");

    fs::remove(data() / "PISTA.CFG");
    auto noTrack = manager.createEvent("Nom", "");
    ASSERT_FALSE(noTrack);
    EXPECT_EQ(noTrack.error().kind, EventError::NoTrack);
    EXPECT_FALSE(fs::exists(eventFolder(data(), 1)));
    EXPECT_FALSE(fs::exists(data() / "PROVES.LLS"));
}

TEST_F(EventManagerTest, CatalogueOutOfStepIsRebuiltOnCreate) {
    EventManager manager(data());
    createEvents(manager, 2);
    test::writeBytes(data() / "PROVES.LLS", std::string("\x05\0ab", 4)); // torn
    ASSERT_EQ(manager.createEvent("Tercera", "d3"), 3);
    auto entries = catalog();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].name, "Prova 1");
    EXPECT_EQ(entries[2].name, "Tercera");
}

TEST_F(EventManagerTest, ModifyRewritesNameAndDateWithoutTruncating) {
    EventManager manager(data());
    createEvents(manager, 2);
    ASSERT_TRUE(manager.modifyEvent(2, "Un nom molt més llarg", "31-12-2024"));
    auto longSize = fs::file_size(header(2));
    ASSERT_TRUE(manager.modifyEvent(2, " Curt ", "1-1"));
    EXPECT_EQ(fs::file_size(header(2)), longSize);
    EventHeader h = readHeader(2);
    EXPECT_EQ(h.name, "Curt");
    EXPECT_EQ(h.date, "1-1");
    EXPECT_EQ(h.seriesCounts, (std::array<std::int16_t, 4>{1, 1, 1, 1}));
    EXPECT_EQ(catalog()[1], (CatalogEntry{"Curt", "1-1"}));

    EXPECT_EQ(manager.modifyEvent(3, "x", "y").error().kind, EventError::NoSuchEvent);
    EXPECT_EQ(manager.modifyEvent(1, "", "y").error().kind, EventError::MissingName);
    EXPECT_EQ(readHeader(1).name, "Prova 1");
}

TEST_F(EventManagerTest, DeletingAnEventNumbersTheFollowingOnesDown) {
    EventManager manager(data());
    createEvents(manager, 4);
    touch(4, "CRS001.VAV", "laps of four");
    auto deleted = manager.deleteEvent(2);
    ASSERT_TRUE(deleted);
    EXPECT_EQ(*deleted, "");
    EXPECT_EQ(manager.eventCount(), 3);
    EXPECT_FALSE(fs::exists(eventFolder(data(), 4)));
    EXPECT_EQ(readHeader(2).name, "Prova 3");
    EXPECT_EQ(readHeader(3).name, "Prova 4");
    EXPECT_EQ(test::readBytes(eventFolder(data(), 3) / "CRS001.VAV"), "laps of four");
    auto entries = catalog();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[1].name, "Prova 3");
    EXPECT_EQ(std::distance(fs::directory_iterator(data()), fs::directory_iterator{}),
              5); // PISTA.CFG, PROVES.LLS and three folders: nothing left aside

    ASSERT_TRUE(manager.deleteEvent(3));
    ASSERT_TRUE(manager.deleteEvent(1));
    EXPECT_EQ(readHeader(1).name, "Prova 3");
    ASSERT_TRUE(manager.deleteEvent(1));
    EXPECT_EQ(manager.eventCount(), 0);
    EXPECT_FALSE(fs::exists(data() / "PROVES.LLS"));
    EXPECT_EQ(manager.deleteEvent(1).error().kind, EventError::NoSuchEvent);
}

TEST_F(EventManagerTest, AFailedRenamePutsEveryFolderBack) {
    {
        EventManager manager(data());
        createEvents(manager, 4);
    }
    auto failing = [&](const fs::path& from, const fs::path& to, std::error_code& ec) {
        if (from.filename() == "PROVA004") {
            ec = std::make_error_code(std::errc::device_or_resource_busy);
            return;
        }
        fs::rename(from, to, ec);
    };
    EventManager manager(data(), failing);
    auto deleted = manager.deleteEvent(2);
    ASSERT_FALSE(deleted);
    EXPECT_EQ(deleted.error().kind, EventError::RenameFailed);
    EXPECT_NE(deleted.error().message.find("PROVA004"), std::string::npos);
    for (int n = 1; n <= 4; ++n) {
        EXPECT_EQ(readHeader(n).name, "Prova " + std::to_string(n));
    }
    EXPECT_EQ(catalog().size(), 4u);
    EXPECT_FALSE(fs::exists(data() / "PROVA002.deleted"));
}

TEST_F(EventManagerTest, SeriesAreAddedByCountInTheHeader) {
    EventManager manager(data());
    createEvents(manager, 1);
    EXPECT_EQ(manager.addSeries(1, ProgrammeType::Race), 2);
    EXPECT_EQ(manager.addSeries(1, ProgrammeType::Race), 3);
    EXPECT_EQ(manager.addSeries(1, ProgrammeType::OfficialPractice), 2);
    EXPECT_EQ(readHeader(1).seriesCounts, (std::array<std::int16_t, 4>{1, 2, 1, 3}));
    EXPECT_FALSE(manager.addSeries(1, ProgrammeType::Practice));
    EXPECT_FALSE(manager.addSeries(2, ProgrammeType::Race));

    test::writeBytes(header(1), std::string("\x01\x00\x01", 3)); // counts cut short
    EXPECT_EQ(manager.addSeries(1, ProgrammeType::Race).error().kind, EventError::Io);
}

TEST_F(EventManagerTest, DeletingASeriesRenumbersItsFiles) {
    EventManager manager(data());
    createEvents(manager, 1);
    manager.addSeries(1, ProgrammeType::Race);
    manager.addSeries(1, ProgrammeType::Race);
    for (int s = 1; s <= 3; ++s) {
        std::string tag = "race " + std::to_string(s);
        touch(1, seriesFileName(ProgrammeType::Race, s, ".PAR"), tag);
        touch(1, seriesFileName(ProgrammeType::Race, s, ".VAV"), tag);
    }
    touch(1, "CRS003.DAD", "race 3");
    touch(1, "OFC001.PAR", "official");

    auto deleted = manager.deleteSeries(1, ProgrammeType::Race, 1);
    ASSERT_TRUE(deleted);
    fs::path ev = eventFolder(data(), 1);
    EXPECT_EQ(test::readBytes(ev / "CRS001.PAR"), "race 2");
    EXPECT_EQ(test::readBytes(ev / "CRS002.VAV"), "race 3");
    EXPECT_EQ(test::readBytes(ev / "CRS002.DAD"), "race 3");
    EXPECT_FALSE(fs::exists(ev / "CRS001.DAD"));
    EXPECT_FALSE(fs::exists(ev / "CRS003.PAR"));
    EXPECT_EQ(test::readBytes(ev / "OFC001.PAR"), "official");
    std::string bytes = test::readBytes(header(1));
    EXPECT_EQ(bytes.substr(6, 2), std::string("\x02\x00", 2));
    EXPECT_EQ(readHeader(1).name, "Prova 1");

    EXPECT_EQ(manager.deleteSeries(1, ProgrammeType::Race, 3).error().kind,
              EventError::NoSuchSeries);
    ASSERT_TRUE(manager.deleteSeries(1, ProgrammeType::Race, 2));
    ASSERT_TRUE(manager.deleteSeries(1, ProgrammeType::Race, 1));
    EXPECT_EQ(readHeader(1).seriesCounts[3], 0);
    EXPECT_EQ(std::distance(fs::directory_iterator(ev), fs::directory_iterator{}), 3);
}

TEST_F(EventManagerTest, AFailedSeriesRenameKeepsTheSeries) {
    {
        EventManager manager(data());
        createEvents(manager, 1);
        manager.addSeries(1, ProgrammeType::OfficialPractice);
    }
    touch(1, "OFC001.PAR", "one");
    touch(1, "OFC002.PAR", "two");
    touch(1, "OFC002.VAV", "two");
    auto failing = [](const fs::path& from, const fs::path& to, std::error_code& ec) {
        if (from.filename() == "OFC002.VAV") {
            ec = std::make_error_code(std::errc::permission_denied);
            return;
        }
        fs::rename(from, to, ec);
    };
    EventManager manager(data(), failing);
    auto deleted = manager.deleteSeries(1, ProgrammeType::OfficialPractice, 1);
    ASSERT_FALSE(deleted);
    EXPECT_NE(deleted.error().message.find("OFC002.VAV"), std::string::npos);
    fs::path ev = eventFolder(data(), 1);
    EXPECT_EQ(test::readBytes(ev / "OFC001.PAR"), "one");
    EXPECT_EQ(test::readBytes(ev / "OFC002.PAR"), "two");
    EXPECT_EQ(readHeader(1).seriesCounts[1], 2);
}

namespace {

struct Killed {};

// Every point where a stopped run can leave a deletion: before each step (and after the
// last, before the journal goes), and right after each rename, before it is noted.
template <class Delete, class Check>
void killAtEveryStep(const fs::path& data, const std::function<void()>& prepare, Delete del,
                     Check check) {
    for (int mode = 0; mode < 2; ++mode) {
        for (std::size_t at = 0;; ++at) {
            fs::remove_all(data);
            fs::create_directories(data);
            prepare();
            std::size_t renames = 0;
            bool killed = false;
            auto rename = [&](const fs::path& from, const fs::path& to, std::error_code& ec) {
                fs::rename(from, to, ec);
                if (mode == 1 && renames++ == at) {
                    killed = true;
                    throw Killed{};
                }
            };
            auto gate = [&](std::size_t step) {
                if (mode == 0 && step == at) {
                    killed = true;
                    throw Killed{};
                }
            };
            try {
                EventManager manager(data, rename, gate);
                del(manager);
            } catch (const Killed&) {
            }
            if (!killed) {
                break; // past the last step
            }
            SCOPED_TRACE("stopped at " + std::to_string(at) + (mode ? " after rename" : ""));
            EXPECT_TRUE(fs::exists(data / kRenameJournalFileName));
            auto outcome = EventManager(data).finishInterruptedDeletion();
            ASSERT_TRUE(outcome);
            EXPECT_TRUE(outcome->done) << outcome->problem;
            EXPECT_FALSE(fs::exists(data / kRenameJournalFileName));
            check();
            EXPECT_FALSE(EventManager(data).finishInterruptedDeletion());
        }
    }
}

} // namespace

TEST_F(EventManagerTest, AnEventDeletionStoppedAtAnyStepIsFinishedAtTheNextStart) {
    killAtEveryStep(
        data(),
        [&] {
            SetUp();
            EventManager manager(data());
            createEvents(manager, 4);
        },
        [](EventManager& m) { ASSERT_TRUE(m.deleteEvent(2)); },
        [&] {
            for (int n = 1; n <= 3; ++n) {
                EXPECT_EQ(readHeader(n).name, "Prova " + std::to_string(n == 1 ? 1 : n + 1));
            }
            EXPECT_EQ(catalog().size(), 3u);
            EXPECT_EQ(std::distance(fs::directory_iterator(data()), fs::directory_iterator{}),
                      5); // nothing left aside
        });
}

TEST_F(EventManagerTest, ASeriesDeletionStoppedAtAnyStepIsFinishedAtTheNextStart) {
    killAtEveryStep(
        data(),
        [&] {
            SetUp();
            EventManager manager(data());
            createEvents(manager, 1);
            manager.addSeries(1, ProgrammeType::Race);
            manager.addSeries(1, ProgrammeType::Race);
            for (int s = 1; s <= 3; ++s) {
                touch(1, seriesFileName(ProgrammeType::Race, s, ".PAR"),
                      "race " + std::to_string(s));
                touch(1, seriesFileName(ProgrammeType::Race, s, ".VAV"),
                      "race " + std::to_string(s));
            }
        },
        [](EventManager& m) { ASSERT_TRUE(m.deleteSeries(1, ProgrammeType::Race, 1)); },
        [&] {
            fs::path ev = eventFolder(data(), 1);
            EXPECT_EQ(test::readBytes(ev / "CRS001.PAR"), "race 2");
            EXPECT_EQ(test::readBytes(ev / "CRS002.VAV"), "race 3");
            EXPECT_EQ(readHeader(1).seriesCounts[3], 2);
            // PISTA.CFG, PROVA.DAD and two series of two files.
            EXPECT_EQ(std::distance(fs::directory_iterator(ev), fs::directory_iterator{}), 6);
        });
}

TEST_F(EventManagerTest, AJournalThatCanNoLongerBeFinishedIsUndone) {
    EventManager manager(data());
    createEvents(manager, 3);
    // Stopped after the first folder moved aside; then someone removed PROVA003 by hand.
    std::vector<RenameStep> plan{{RenameStep::Rename, "PROVA002", "PROVA002.deleted", {}},
                                 {RenameStep::Rename, "PROVA003", "PROVA002", {}},
                                 {RenameStep::Remove, "PROVA002.deleted", {}, {}}};
    test::writeBytes(data() / kRenameJournalFileName, encodeRenamePlan(plan) + "+0\n+");
    fs::rename(eventFolder(data(), 2), data() / "PROVA002.deleted");
    fs::remove_all(eventFolder(data(), 3));
    auto outcome = EventManager(data()).finishInterruptedDeletion();
    ASSERT_TRUE(outcome);
    EXPECT_FALSE(outcome->done);
    EXPECT_NE(outcome->problem.find("PROVA003"), std::string::npos) << outcome->problem;
    EXPECT_EQ(readHeader(2).name, "Prova 2");
    EXPECT_FALSE(fs::exists(data() / kRenameJournalFileName));

    // A journal naming something outside the data folder is not followed.
    test::writeBytes(data() / kRenameJournalFileName, "R\t../x\tPROVA009\nEND\n");
    EXPECT_FALSE(decodeRenamePlan(test::readBytes(data() / kRenameJournalFileName)));
    EXPECT_TRUE(EventManager(data()).finishInterruptedDeletion());
    EXPECT_FALSE(fs::exists(data() / kRenameJournalFileName));
    EXPECT_EQ(decodeRenamePlan(encodeRenamePlan(plan)), plan);
}

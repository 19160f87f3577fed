#include "results/entrants_model.h"
#include "results/series_resize.h"
#include "storage/event_files.h"

#include <gtest/gtest.h>

#include "series_builder.h"

using namespace cronovolta;
using cronovolta::test::trackWith;

namespace {

using Names = std::vector<std::string>;

EntrantsContext seriesContext(ProgrammeType programmeType, int lanes) {
    EntrantsContext ctx;
    ctx.dataDir = "/data";
    ctx.eventDir = "/data/PROVA001";
    ctx.eventName = "Open Sabadell";
    ctx.programmeType = programmeType;
    ctx.seriesNumber = 2;
    ctx.track = trackWith(lanes);
    return ctx;
}

ParticipantList listOf(Names names, int heats = 0) {
    ParticipantList l;
    l.names = std::move(names);
    l.heatsDone = static_cast<std::int16_t>(heats);
    return l;
}

} // namespace

TEST(Entrants, CountLowerBoundFollowsTheHeatsAlreadyRun) {
    EXPECT_EQ(countLowerBound(ProgrammeType::Race, 4, 0), 4);
    EXPECT_EQ(countLowerBound(ProgrammeType::Race, 4, 1), 4);
    EXPECT_EQ(countLowerBound(ProgrammeType::Race, 4, 3), 6);
    EXPECT_EQ(countLowerBound(ProgrammeType::SuperPole, 4, 6), 6);
    EXPECT_EQ(countLowerBound(ProgrammeType::SuperPole, 4, 2), 4);
    EXPECT_EQ(countLowerBound(ProgrammeType::Practice, 8, 5), 1);

    EntrantsModel race(seriesContext(ProgrammeType::Race, 4), listOf({"A", "B", "C", "D", "E"}, 3),
                       {}, true);
    EXPECT_EQ(race.count(), 5);
    EXPECT_EQ(race.rangeLabel(), "5");
    EXPECT_FALSE(race.countEnabled()); // 6 participants have started: the count is fixed
    EntrantsModel open(seriesContext(ProgrammeType::Race, 4),
                       listOf({"A", "B", "C", "D", "E", "F"}, 3), {}, true);
    EXPECT_TRUE(open.countEnabled());
    EXPECT_EQ(open.applyCount("150"), 99);
    EXPECT_EQ(open.applyCount("2"), 6);
    EXPECT_EQ(open.applyCount("7,8"), 7);
    EXPECT_EQ(open.applyCount("nonsense"), 6);

    EntrantsContext entrants = seriesContext(ProgrammeType::Practice, 4);
    EntrantsModel ev(entrants, listOf({}), {}, false);
    EXPECT_EQ(ev.count(), 1);
    EXPECT_EQ(ev.applyCount("0"), 1);
    EXPECT_EQ(ev.rangeLabel(), "1 - 99");
}

TEST(Entrants, StartLanesReadTheLaneOrderBackwards) {
    auto ctx = seriesContext(ProgrammeType::Race, 4);
    EntrantsModel m(ctx, listOf({"A"}), {}, true);
    ASSERT_EQ(m.count(), 4); // padded to the lanes
    m.applyCount("6");
    Names lanes;
    for (int i = 1; i <= m.count(); ++i) {
        lanes.push_back(m.startLaneText(i));
    }
    EXPECT_EQ(lanes, (Names{"4", "3", "2", "1", "1", "1"}));
    ctx.track.laneChangeOrder = {4, 2, 4, 1, 3};
    EXPECT_EQ(startLane(ProgrammeType::Race, 1, ctx.track), 3);
    EXPECT_EQ(startLane(ProgrammeType::Race, 4, ctx.track), 2);
    EXPECT_EQ(startLane(ProgrammeType::Race, 9, ctx.track), 2);
    EXPECT_EQ(startLane(ProgrammeType::SuperPole, 9, ctx.track), 9);
    EXPECT_EQ(m.orderText(7), "7");

    EntrantsModel practice(seriesContext(ProgrammeType::FreePractice, 4), listOf({"A"}), {}, true);
    EXPECT_FALSE(practice.showsStartLanes());
    EXPECT_EQ(practice.startLaneText(1), "");
}

TEST(Entrants, ModesChooseTheirTextsAndSource) {
    EntrantsContext general;
    general.dataDir = "/data";
    EntrantsModel g(general, listOf({"A"}), {}, false);
    EXPECT_EQ(g.mode(), EntrantsMode::GeneralList);
    EXPECT_EQ(g.title(), "Llista de participants");
    EXPECT_EQ(g.countLabel(), "N. de participants:");
    EXPECT_FALSE(g.hasSource());

    EntrantsModel e(seriesContext(ProgrammeType::Practice, 4), listOf({"A"}), {"X", "Y"}, false);
    EXPECT_EQ(e.title(), "Llista d'inscrits - Open Sabadell");
    EXPECT_EQ(e.countLabel(), "N. d'inscrits:");
    EXPECT_EQ(e.nameHeader(), "Inscrit");
    EXPECT_EQ(e.numberHeader(), "Dorsal");
    EXPECT_EQ(e.sourceNumberHeader(), "N.");
    EXPECT_EQ(e.sourceCaption(), "Llista de participants (2)");

    auto ctx = seriesContext(ProgrammeType::Race, 4);
    ctx.language = 1;
    EntrantsModel s(ctx, listOf({"A"}), {"X"}, true);
    EXPECT_EQ(s.title(), "Lista de participantes - Open Sabadell - Carrera");
    EXPECT_EQ(s.sourceNumberHeader(), "Dorsal");
    EXPECT_EQ(s.sourceNameHeader(), "Inscrito");
    EXPECT_EQ(s.numberHeader(), "Nº");
}

TEST(Entrants, CopyingFillsTheCurrentRowAndMovesOnWrapping) {
    EntrantsModel m(seriesContext(ProgrammeType::Race, 2), listOf({"", ""}),
                    {"Pere", "anna", "Berta"}, true);
    m.sortSource(1);
    EXPECT_EQ(m.source()[0].name, "anna");
    EXPECT_EQ(m.source()[0].number, 2);
    m.copyFromSource(0, false);
    EXPECT_EQ(m.currentRow(), 2);
    m.copyFromSource(2, true);
    EXPECT_EQ(m.names(), (Names{"anna", "#1 Pere"}));
    EXPECT_EQ(m.currentRow(), 1); // wrapped
    m.copyFromSource(7, false);   // no such row
    EXPECT_EQ(m.currentRow(), 1);
    m.sortSource(0);
    EXPECT_EQ(m.source()[0].name, "Pere");

    // Shift has no "#" form outside a series.
    EntrantsModel e(seriesContext(ProgrammeType::Practice, 2), listOf({""}), {"Pere"}, false);
    e.copyFromSource(0, true);
    EXPECT_EQ(e.names()[0], "Pere");

    m.addRow();
    EXPECT_EQ(m.count(), 3);
    EXPECT_EQ(m.currentRow(), 3);
    m.setName(3, "  Jordi Puig  ");
    EXPECT_EQ(m.listToSave().names, (Names{"anna", "#1 Pere", "Jordi Puig"}));
}

TEST(SeriesResize, ShrinkingDropsTheRecordsAndPenaltiesOfTheLastParticipants) {
    test::SeriesBuilder s(1, {"A", "B", "C", "D", "E", "F", "G", "H"});
    for (int h = 0; h < 2; ++h) {
        std::vector<test::Driven> rows;
        for (int p : {3, 7, 1, 8, 2, 4, 5, 6}) {
            rows.push_back({p, 1.0f * p, 0, 0, p <= 4 ? p : 0, 1.0f * p, 3.0f});
        }
        s.heat(rows);
    }
    auto& recs = s.data().heats;
    recs.push_back(recs[0]); // a stale block after the heats run: left out
    auto shrunk = resizeHeatBlocks(recs, 2, 8, 6);
    ASSERT_EQ(shrunk.records.size(), 14u);
    EXPECT_TRUE(shrunk.missingHeats.empty());
    for (std::size_t h : {0u, 7u}) {
        EXPECT_TRUE(shrunk.records[h].isHeader());
        EXPECT_EQ(shrunk.records[h].headerRecordCount(), 6);
        EXPECT_EQ(shrunk.records[h].headerHeatNumber(), h == 0 ? 1 : 2);
        EXPECT_EQ(shrunk.records[h + 1].participant, 3);
        EXPECT_EQ(shrunk.records[h + 2].participant, 1); // order kept
    }

    auto grown = resizeHeatBlocks(shrunk.records, 2, 6, 8);
    ASSERT_EQ(grown.records.size(), 18u);
    EXPECT_EQ(grown.records[0].headerRecordCount(), 8);
    EXPECT_EQ(grown.records[7].participant, 7);
    EXPECT_EQ(grown.records[8].participant, 8);
    EXPECT_EQ(grown.records[8].seriesLaps, 0.0f);
    EXPECT_EQ(grown.records[9].headerHeatNumber(), 2);

    auto missing = resizeHeatBlocks(shrunk.records, 3, 6, 6);
    EXPECT_EQ(missing.missingHeats, (std::vector<int>{3}));

    std::vector<PenaltyRecord> pens = {{2, 1.0f, "a"}, {7, 2.0f, "b"}, {6, 0.5f, "c"}};
    auto kept = penaltiesUpTo(pens, 6);
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[1], (PenaltyRecord{6, 0.5f, "c"}));
}

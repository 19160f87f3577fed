#include "heat/heat_fixture.h"

#include "corrections/correction_model.h"
#include "storage/formatting.h"
#include "storage/number_format.h"
#include "support/temp_dir.h"

#include <cmath>
#include <map>

namespace cronovolta::test {
namespace {

// Heats of a series run through the heat engine, so that a recomputation can be held
// against what the heats themselves stored.
struct Recompute : HeatFixture {
    void runHeats(int heats, int lanes) {
        open();
        for (int h = 1; h <= heats; ++h) {
            const double t0 = kT0 + h * 300.0;
            start(t0);
            for (int lane = 1; lane <= lanes; ++lane) {
                // Lanes differ in pace and lap count; heats differ in who is faster.
                const int laps = 6 + (h + lane) % 3;
                const double pace = 7.0 + 0.13 * ((h * 5 + lane * 3) % 7);
                for (int lap = 0; lap <= laps; ++lap) {
                    cross(lane, t0 + 1.0 + lane * 0.25 + lap * pace + 0.01 * ((lap * lane) % 5));
                }
            }
            endHeat(t0 + 200.0);
        }
        ASSERT_EQ(heatCounter(), heats);
        engine.reset();
    }

    CorrectionModel model(CorrectionMode mode = CorrectionMode::Laps) {
        auto m = CorrectionModel::open(eventDir(), programmeType, 1, mode);
        EXPECT_TRUE(m) << (m ? "" : m.error());
        return std::move(*m);
    }

    // The participant records of a heat, by participant number.
    std::map<int, HeatResultRecord> heatRecords(int heat) {
        std::map<int, HeatResultRecord> out;
        for (const auto& r :
             resultBlock(resultFile(), heat).value_or(std::vector<HeatResultRecord>{})) {
            out[r.participant] = r;
        }
        return out;
    }
};

void expectSameRecords(const std::vector<HeatResultRecord>& a,
                       const std::vector<HeatResultRecord>& b) {
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        SCOPED_TRACE("record " + std::to_string(i));
        HeatResultRecord x = a[i];
        HeatResultRecord y = b[i];
        EXPECT_EQ(x, y);
    }
}

// A value of row 1 of the selected heat moved by `step`: laps in a race, else the fastest lap.
void nudge(CorrectionModel& m, double step) {
    if (m.lapsEditable()) {
        m.setLaps(1, formatNumber(numericValue(m.row(1).laps) + step, "0"));
    } else {
        m.setSecond(1, formatNumber(numericValue(m.row(1).second) + step * 0.5, "0.0000"));
    }
}

// Saving a heat as it is writes nothing; correcting heat 1 and correcting it back gives
// back, bit for bit, what the heats stored.
TEST_F(Recompute, SavingUnchangedHeatsGivesBackWhatTheHeatsStored) {
    for (ProgrammeType type :
         {ProgrammeType::OfficialPractice, ProgrammeType::SuperPole, ProgrammeType::Race}) {
        SCOPED_TRACE(index(type));
        setTrack({2, 4, 1, 3});
        writeSeries(type, names(5));
        runHeats(6, 4);
        const auto stored = resultFile();
        const auto bytes = readBytes(seriesPath(".DAD"));
        auto m = model();
        EXPECT_EQ(m.selectedHeat(), 6);
        for (int heat : {1, 6}) {
            ASSERT_TRUE(m.selectHeat(heat));
            auto saved = m.save();
            ASSERT_TRUE(saved) << saved.error();
            EXPECT_TRUE(saved->empty());
            EXPECT_EQ(readBytes(seriesPath(".DAD")), bytes);
        }
        ASSERT_TRUE(m.selectHeat(1));
        nudge(m, 1.0);
        auto saved = m.save();
        ASSERT_TRUE(saved) << saved.error();
        EXPECT_EQ(*saved, (std::vector<int>{1, 2, 3, 4, 5, 6}));
        ASSERT_TRUE(m.selectHeat(1));
        nudge(m, -1.0);
        ASSERT_TRUE(m.save());
        expectSameRecords(resultFile(), stored);
        fs::remove_all(eventDir());
    }
}

// A real correction rewrites the heat keys it changes (the fastest lap in official
// practice, the laps in a race) and no other: Super Pole ranks by keys no correction knows.
TEST_F(Recompute, ACorrectionKeepsEveryHeatKeyItDoesNotChange) {
    for (ProgrammeType type :
         {ProgrammeType::OfficialPractice, ProgrammeType::SuperPole, ProgrammeType::Race}) {
        SCOPED_TRACE(index(type));
        setTrack({2, 4, 1, 3});
        writeSeries(type, names(5));
        runHeats(6, 4);
        std::map<int, std::map<int, HeatResultRecord>> before;
        bool timed = false;
        for (int h = 1; h <= 6; ++h) {
            before[h] = heatRecords(h);
            for (const auto& [q, r] : before[h]) {
                timed = timed || r.sortKey2 != 0.0f;
            }
        }
        EXPECT_TRUE(timed) << "the heats stored no heat time to keep";
        auto m = model();
        ASSERT_TRUE(m.selectHeat(3));
        const int p = m.row(1).participant;
        ASSERT_GT(p, 0);
        nudge(m, -1.0);
        auto saved = m.save();
        ASSERT_TRUE(saved) << saved.error();
        EXPECT_EQ(*saved, (std::vector<int>{3, 4, 5, 6}));
        for (int h = 1; h <= 6; ++h) {
            for (const auto& [q, now] : heatRecords(h)) {
                SCOPED_TRACE("heat " + std::to_string(h) + " participant " + std::to_string(q));
                const HeatResultRecord& was = before[h].at(q);
                EXPECT_EQ(now.sortKey2, was.sortKey2);
                if (h != 3 || q != p) {
                    EXPECT_EQ(now.sortKey1, was.sortKey1);
                } else if (type == ProgrammeType::OfficialPractice) {
                    EXPECT_FLOAT_EQ(now.sortKey1, now.heatFastestLap);
                } else {
                    EXPECT_FLOAT_EQ(now.sortKey1,
                                    type == ProgrammeType::Race ? 1.0f - now.heatLaps : 0.0f);
                }
            }
        }
        fs::remove_all(eventDir());
    }
}

TEST_F(Recompute, CorrectingAHeatChangesThatHeatAndTheLaterOnesOnly) {
    setTrack({1, 2, 3, 4});
    writeSeries(ProgrammeType::Race, names(5));
    runHeats(5, 4);
    const auto before = readBytes(seriesPath(".DAD"));
    const auto heat2 = heatRecords(2);
    const auto heat3 = heatRecords(3);
    auto m = model();
    ASSERT_TRUE(m.selectHeat(3));
    // Row 2 is lane 2; who drove it in heat 3 gets two more laps.
    const int p = m.row(2).participant;
    ASSERT_GT(p, 0);
    EXPECT_EQ(m.row(2).name, "Pilot " + std::to_string(p));
    const double laps = numericValue(m.row(2).laps);
    m.setLaps(2, std::to_string(static_cast<int>(laps) + 2));
    auto saved = m.save();
    ASSERT_TRUE(saved) << saved.error();
    EXPECT_EQ(*saved, (std::vector<int>{3, 4, 5}));

    const auto after = readBytes(seriesPath(".DAD"));
    ASSERT_EQ(after.size(), before.size());
    auto blockStart = [&](int heat) {
        return *resultHeaderIndex(resultFile(), heat) * kHeatResultRecordSize;
    };
    EXPECT_EQ(after.substr(0, blockStart(3)), before.substr(0, blockStart(3)));
    EXPECT_EQ(heatRecords(2).at(p), heat2.at(p));
    EXPECT_FLOAT_EQ(heatRecords(3).at(p).heatLaps, heat3.at(p).heatLaps + 2.0f);
    for (int h = 3; h <= 5; ++h) {
        SCOPED_TRACE(h);
        auto now = heatRecords(h);
        for (int q = 1; q <= 5; ++q) {
            // The others' totals still add up their own heats.
            float total = heat2.at(q).seriesLaps;
            for (int k = 3; k <= h; ++k) {
                total += heatRecords(k).at(q).heatLaps;
            }
            EXPECT_FLOAT_EQ(now.at(q).seriesLaps, total) << "participant " << q;
        }
    }
    EXPECT_FLOAT_EQ(heatRecords(5).at(p).seriesLaps - heat2.at(p).seriesLaps,
                    heatRecords(3).at(p).heatLaps + heatRecords(4).at(p).heatLaps +
                        heatRecords(5).at(p).heatLaps);
}

TEST_F(Recompute, AFasterLapBecomesTheBestFromItsHeatOnAndASlowerOneLeavesTheEarlierBest) {
    setTrack({1, 2, 3, 4});
    writeSeries(ProgrammeType::OfficialPractice, names(4));
    runHeats(4, 4);
    auto m = model();
    ASSERT_TRUE(m.selectHeat(3));
    const int p = m.row(1).participant;
    const auto earlier = heatRecords(2).at(p);
    ASSERT_GT(earlier.fastestLap, 1.0f);

    // Faster than anything driven: the best from heat 3 on, on heat 3's lane.
    m.setSecond(1, "1,5");
    ASSERT_TRUE(m.save());
    EXPECT_EQ(heatRecords(2).at(p), earlier);
    for (int h = 3; h <= 4; ++h) {
        EXPECT_FLOAT_EQ(heatRecords(h).at(p).fastestLap, 1.5f);
        EXPECT_EQ(heatRecords(h).at(p).fastestLane, 1);
    }
    // Slower than the earlier best: that best stays, with its lane.
    auto again = model();
    ASSERT_TRUE(again.selectHeat(3));
    again.setSecond(1, formatNumber(earlier.fastestLap + 5.0, "0.0000"));
    ASSERT_TRUE(again.save());
    EXPECT_FLOAT_EQ(heatRecords(3).at(p).heatFastestLap, earlier.fastestLap + 5.0f);
    EXPECT_FLOAT_EQ(heatRecords(3).at(p).fastestLap, earlier.fastestLap);
    EXPECT_EQ(heatRecords(3).at(p).fastestLane, earlier.fastestLane);
    const auto heat4 = heatRecords(4).at(p);
    EXPECT_FLOAT_EQ(heat4.fastestLap, std::min(earlier.fastestLap, heat4.heatFastestLap));
    EXPECT_EQ(heat4.fastestLane,
              heat4.heatFastestLap < earlier.fastestLap ? heat4.lane : earlier.fastestLane);
}

TEST_F(Recompute, LapFractionsAreStoredAsTheFractionOfTheHeatLaps) {
    setTrack({1, 2, 3});
    track.largestPartial = 1000;
    deriveTrackConfig(track);
    writeSeries(ProgrammeType::Race, names(3));
    runHeats(2, 3);
    auto m = model(CorrectionMode::LapFraction);
    ASSERT_EQ(m.decimals(), 3);
    ASSERT_TRUE(m.selectHeat(2));
    const int p = m.row(3).participant;
    const float whole = heatRecords(2).at(p).heatLaps;
    EXPECT_EQ(m.row(3).second, "000");
    m.setSecond(3, "350");
    m.leaveSecond(3);
    ASSERT_TRUE(m.save());
    EXPECT_FLOAT_EQ(heatRecords(2).at(p).heatLaps, whole + 0.35f);
    EXPECT_FLOAT_EQ(heatRecords(2).at(p).seriesLaps,
                    heatRecords(1).at(p).seriesLaps + whole + 0.35f);
    // Reopened, the heat shows the whole laps and the comes apart.
    auto again = model(CorrectionMode::LapFraction);
    EXPECT_EQ(again.row(3).laps, formatNumber(whole, "0"));
    EXPECT_EQ(again.row(3).second, "350");
    auto laps = model(CorrectionMode::Laps);
    EXPECT_EQ(laps.row(3).laps, formatNumber(whole + 0.35, "0.000"));
}

TEST_F(Recompute, FieldRulesNormaliseWhatIsTyped) {
    setTrack({1, 2});
    track.minimumLap = 3.0f;
    track.largestPartial = 100;
    deriveTrackConfig(track);
    writeSeries(ProgrammeType::Race, names(2));
    runHeats(1, 2);
    struct Case {
        CorrectionMode mode;
        bool lapsField;
        std::string typed;
        std::string shown;
    };
    const Case cases[] = {
        {CorrectionMode::Laps, false, "8,5", "8.5000"},
        {CorrectionMode::Laps, false, "3", "0.0000"},
        {CorrectionMode::Laps, false, "abc", "0.0000"},
        {CorrectionMode::Laps, false, "-9", "0.0000"},
        {CorrectionMode::Laps, true, "12", "12"},
        {CorrectionMode::Laps, true, "12,5", "12.50"},
        {CorrectionMode::Laps, true, "-3", "0"},
        {CorrectionMode::Laps, true, "x", "0"},
        {CorrectionMode::LapFraction, false, "5", "05"},
        {CorrectionMode::LapFraction, false, "35,6", "36"},
        {CorrectionMode::LapFraction, false, "-5", "00"},
        {CorrectionMode::LapFraction, false, "100", "00"},
        {CorrectionMode::LapFraction, false, "", "00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        auto m = model(c.mode);
        if (c.lapsField) {
            m.setLaps(1, c.typed);
            m.leaveLaps(1);
            EXPECT_EQ(m.row(1).laps, c.shown);
        } else {
            m.setSecond(1, c.typed);
            m.leaveSecond(1);
            EXPECT_EQ(m.row(1).second, c.shown);
        }
    }
    EXPECT_TRUE(model(CorrectionMode::Laps).lapsEditable());
    EXPECT_FALSE(model(CorrectionMode::LapFraction).lapsEditable());
}

// A Super Pole series written by hand: one driver per heat, the others with no heat values.
struct SuperPole : ::testing::Test {
    TempDir dir;
    SeriesFiles series() {
        SeriesFiles s;
        s.eventDir = dir.path();
        s.programmeType = ProgrammeType::SuperPole;
        s.track = defaultTrackConfig();
        s.track.lanes = 4;
        s.track.laneChangeOrder = {4, 1, 2, 3, 4};
        deriveTrackConfig(s.track);
        for (int i = 1; i <= 6; ++i) {
            s.names.push_back("Pilot " + std::to_string(i));
        }
        s.heats = 8;
        return s;
    }
    void write(const SeriesFiles& s) {
        std::vector<HeatResultRecord> records;
        std::vector<float> best(7, 0.0f);
        for (int h = 1; h <= s.heats; ++h) {
            HeatResultRecord header;
            header.lane = static_cast<std::int16_t>(h);
            header.adjustments = 6;
            records.push_back(header);
            const int driver = superPoleDriver(h, 6);
            best[static_cast<std::size_t>(driver)] = 10.0f + h * 0.1f;
            for (int p = 1; p <= 6; ++p) {
                HeatResultRecord r;
                r.participant = static_cast<std::int16_t>(p);
                r.fastestLap = best[static_cast<std::size_t>(p)];
                r.fastestLane = r.fastestLap > 0.0f ? 2 : 0;
                if (p == driver) {
                    r.lane = 2;
                    r.heatLaps = 1.0f;
                    r.seriesLaps = 1.0f;
                    r.heatFastestLap = r.fastestLap;
                }
                records.push_back(r);
            }
        }
        ASSERT_TRUE(writeHeatResultFile(s.file(".DAD"), records));
    }
};

TEST_F(SuperPole, HeatEightOfSixParticipantsBelongsToParticipantTwo) {
    EXPECT_EQ(superPoleDriver(8, 6), 2);
    EXPECT_EQ(superPoleDriver(6, 6), 6);
    auto s = series();
    write(s);
    CorrectionModel m(s, CorrectionMode::Laps);
    ASSERT_EQ(m.rowCount(), 1);
    EXPECT_EQ(m.selectedHeat(), 8);
    EXPECT_EQ(m.row(1).participant, 2);
    EXPECT_EQ(m.row(1).name, "Pilot 2");
    EXPECT_EQ(m.row(1).lane, 2);
    EXPECT_EQ(m.row(1).second, "10.8000");
    m.setSecond(1, "9.5");
    ASSERT_TRUE(m.save());
    auto file = readHeatResultFile(s.file(".DAD"));
    const auto heat8 = resultBlock(file->records, 8);
    ASSERT_TRUE(heat8);
    for (const auto& r : *heat8) {
        EXPECT_FLOAT_EQ(r.heatFastestLap, r.participant == 2 ? 9.5f : 0.0f);
        EXPECT_FLOAT_EQ(r.fastestLap, r.participant == 2 ? 9.5f : r.fastestLap);
    }
}

TEST_F(SuperPole, DamagedBlocksAreReportedAndChangeNothing) {
    auto s = series();
    write(s);
    const std::string sound = readBytes(s.file(".DAD"));
    const std::size_t heat7 = 6 * 7 * kHeatResultRecordSize; // heat 7's header
    struct Case {
        std::string name;
        std::string bytes;
        int heat;
        std::string message;
    };
    std::string overlapping = sound;
    overlapping[heat7 - 7 * kHeatResultRecordSize + 24] = 9; // heat 6 runs into heat 7
    const Case cases[] = {
        {"cut", sound.substr(0, heat7 + 3 * kHeatResultRecordSize), 3, "ends inside heat 7"},
        {"no heat", sound.substr(0, heat7), 8, "holds no heat 7"},
        {"overlap", overlapping, 5, "block of heat 6"},
        {"not run", sound, 9, "has not been run"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeBytes(s.file(".DAD"), c.bytes);
        auto result = recomputeSeries(s, c.heat, {{0, 1.0f, 9.0f}});
        ASSERT_FALSE(result);
        EXPECT_NE(result.error().find(c.message), std::string::npos) << result.error();
        EXPECT_EQ(readBytes(s.file(".DAD")), c.bytes);
    }
}

} // namespace
} // namespace cronovolta::test

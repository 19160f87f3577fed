#include "heat_fixture.h"

#include "heat/heat_texts.h"
#include "texts/language_tables.h"

namespace cronovolta::test {
namespace {

using KeyEnd = HeatFixture;

// S while the counter's cars still cross: asked only for a heat the counter started, and
// only while its crossings are recent.
TEST_F(KeyEnd, SAsksOnlyWhileACountersHeatStillHasCrossings) {
    setTrack({1, 2, 3, 4});
    writeSeries(ProgrammeType::Race, names(4));
    struct Case {
        bool counterStarted;
        double lastCrossingAgo; // < 0: no crossing
        bool asks;
    };
    const Case cases[] = {
        {true, 0.5, true},   {true, 5.0, true},   {true, 5.5, false},
        {true, -1.0, false}, {false, 0.5, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.counterStarted) + " " + std::to_string(c.lastCrossingAgo));
        open();
        if (c.counterStarted) {
            engine->startHeat(kT0);
        } else {
            start(kT0);
        }
        ASSERT_TRUE(engine->heatRunning());
        const double now = kT0 + 20.0;
        if (c.lastCrossingAgo >= 0.0) {
            cross(1, kT0 + 4.0);
            cross(2, now - c.lastCrossingAgo);
        }
        EXPECT_EQ(engine->endByKeyNeedsAsking(now), c.asks);
        start(now); // the organiser said Yes, or was not asked: S ends it
        EXPECT_FALSE(engine->heatRunning());
        EXPECT_FALSE(engine->endByKeyNeedsAsking(now));
        engine->closeProgramme();
    }
}

// The counter's start soon after S ended a heat begins a heat the organiser may not expect:
// the heat panel says which heat began and why, in the active language, until the next start.
TEST_F(KeyEnd, ACountersStartSoonAfterAKeyEndIsExplainedOnThePanel) {
    setTrack({1, 2, 3, 4});
    for (int language : {kLanguageCatalan, kLanguageCastilian}) {
        settings.language = static_cast<std::int16_t>(language);
        writeSeries(ProgrammeType::Race, names(4));
        open();
        engine->startHeat(kT0);
        cross(1, kT0 + 14.0);
        start(kT0 + 15.0); // S
        ASSERT_FALSE(engine->heatRunning());
        EXPECT_EQ(engine->panel().notice, "");
        engine->startHeat(kT0 + 18.0); // the counter goes on
        std::string expected(messageText(0, msg::kCounterStartedNewHeat, language));
        for (const char* value : {"2", "3", "1"}) {
            expected.replace(expected.find('%'), 2, value);
        }
        EXPECT_EQ(engine->panel().notice, expected);
        EXPECT_NE(expected.find("S"), std::string::npos);

        // Ended by the counter, or started long after S, or by the key: nothing to explain.
        endHeat(kT0 + 40.0);
        engine->startHeat(kT0 + 45.0);
        EXPECT_EQ(engine->panel().notice, "");
        start(kT0 + 60.0);
        engine->startHeat(kT0 + 80.0);
        EXPECT_EQ(engine->panel().notice, "");
        start(kT0 + 90.0);
        start(kT0 + 92.0);
        EXPECT_EQ(engine->panel().notice, "");
        start(kT0 + 95.0);
        engine->closeProgramme();
        fs::remove_all(eventDir());
    }
}

} // namespace
} // namespace cronovolta::test

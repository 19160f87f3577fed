#include "heat_fixture.h"

#include "heat/clock.h"
#include "storage/formatting.h"

#include <cmath>
#include <random>

namespace cronovolta::test {
namespace {

using PausesAndCrossings = HeatFixture;

// Random heats of crossings and pauses, some across midnight, timed by the PC clock or by
// the counter. A model of the heat clock (it stands still while paused) gives every
// crossing's heat time; the journal and the lap lists must follow it.
TEST_F(PausesAndCrossings, LapsNeverGoBackwardsNorWrapAcrossPauses) {
    setTrack({1, 2, 3, 4});
    writeSeries(4, names(6));
    std::mt19937 random(20261207);
    for (int trial = 0; trial < 45; ++trial) {
        const bool counterTimes = trial % 2 == 1;
        std::uniform_int_distribution<int> startCs(0, 8639999);
        // A third of the heats start just before midnight.
        const int t0Cs = trial % 3 == 0
                             ? 8640000 - std::uniform_int_distribution<int>(1, 9000)(random)
                             : startCs(random);
        SCOPED_TRACE("trial " + std::to_string(trial) + " start " + std::to_string(t0Cs));
        open();
        std::int64_t realCs = 0; // since the heat started, in hundredths
        auto now = [&] { return static_cast<double>((t0Cs + realCs) % 8640000) / 100.0; };
        start(now());
        ASSERT_TRUE(engine->heatRunning());
        double heatTime = 0.0;
        bool paused = false;
        int pauses = 0;
        std::vector<int> crossings(5, 0);
        std::vector<double> lastHeatTime(5, 0.0);
        float lastJournaled = 0.0f;
        for (int step = 0; step < 60; ++step) {
            const int dt = std::uniform_int_distribution<int>(1, 900)(random);
            realCs += dt;
            if (!paused) {
                heatTime += dt / 100.0;
            }
            if (std::uniform_int_distribution<int>(0, 9)(random) < 2) {
                engine->handleKey('P', now());
                paused = !paused;
                pauses += paused ? 0 : 1;
                continue;
            }
            const int l = std::uniform_int_distribution<int>(1, 4)(random);
            const float counter =
                counterTimes ? std::uniform_int_distribution<int>(5000, 200000)(random) / 10000.0f
                             : 0.0f;
            cross(l, now(), counter);
            const LapRecord& r = engine->journalRecords().back();
            const double tolerance = 0.015 * (pauses + 2);
            ASSERT_EQ(r.lane, l);
            EXPECT_NEAR(r.crossingTime, heatTime, tolerance) << "step " << step;
            EXPECT_GE(r.crossingTime, lastJournaled) << "step " << step;
            lastJournaled = r.crossingTime;
            const double pcLap = heatTime - lastHeatTime[static_cast<std::size_t>(l)];
            if (crossings[static_cast<std::size_t>(l)] > 0) {
                EXPECT_GE(r.lapTime, 0.0f);
                if (counterTimes && pcLap < 98.9) {
                    EXPECT_FLOAT_EQ(r.lapTime, counter);
                } else if (!counterTimes || pcLap > 99.1) {
                    EXPECT_NEAR(r.lapTime, pcLap, tolerance) << "step " << step;
                }
            }
            ++crossings[static_cast<std::size_t>(l)];
            lastHeatTime[static_cast<std::size_t>(l)] = heatTime;
            // Every crossing counts: a car that crossed during a pause keeps its lap.
            EXPECT_EQ(lane(l).rows[0], std::to_string(crossings[static_cast<std::size_t>(l)]));
        }
        for (int l = 1; l <= 4; ++l) {
            for (std::size_t row = 2; row < lane(l).rows.size(); ++row) {
                EXPECT_LT(ValorNumeric(lane(l).rows[row]), 400.0) << lane(l).rows[row];
            }
        }
        if (paused) {
            engine->handleKey('P', now());
        }
        engine->handleKey('S', now());
        ASSERT_FALSE(engine->heatRunning());
        const auto& stored = engine->journalRecords();
        EXPECT_NEAR(stored.back().lapTime, heatTime, 0.015 * (pauses + 2));
        for (std::size_t i = 2; i + 1 < stored.size(); ++i) {
            EXPECT_GE(stored[i].crossingTime, stored[i - 1].crossingTime) << "record " << i;
        }
    }
}

} // namespace
} // namespace cronovolta::test

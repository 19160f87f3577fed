#include "heat/clock.h"
#include "heat/heat_key_state.h"
#include "heat/heat_state.h"

#include <gtest/gtest.h>

namespace cronovolta::test {
namespace {

// A pause moves the start on by its length, across midnight too, and the end deadline
// passes 2.5 s after the end signal, whatever midnight does in between.
TEST(HeatStateParts, PausesAndEndDeadlineAcrossMidnight) {
    struct Case {
        float start;
        double pauseAt, resumeAt;
        double pauseLength;
        double signal, now;
        bool passed;
    };
    const Case cases[] = {
        {36000.0f, 36010.0, 36015.0, 5.0, 36020.0, 36022.4, false},
        {36000.0f, 36010.0, 36015.0, 5.0, 36020.0, 36022.6, true},
        {86390.0f, 86399.0, 4.0, 5.0, 86399.0, 1.6, true},
        {86390.0f, 86399.0, 4.0, 5.0, 86399.0, 1.0, false},
    };
    for (const Case& c : cases) {
        HeatState state;
        state.running = true;
        state.heatStart = c.start;
        const double before = state.sinceStart(c.pauseAt);
        state.pause(c.pauseAt);
        EXPECT_DOUBLE_EQ(state.sinceStart(c.pauseAt + 1.0), before);
        EXPECT_NEAR(state.resume(c.resumeAt), c.pauseLength, 1e-3);
        EXPECT_FALSE(state.paused);
        EXPECT_EQ(state.pauseCount, 1);
        EXPECT_NEAR(state.sinceStart(c.resumeAt), before, 0.01);
        EXPECT_GE(state.sinceStart(c.resumeAt), before - 1e-9);
        state.armEnd(c.signal);
        EXPECT_EQ(state.endDeadlinePassed(c.now), c.passed) << c.signal << " " << c.now;
    }
}

// A counter's start soon after S ended a heat is pointed out once; S's own start or a
// recovery never is.
TEST(HeatKeyStateParts, NoticeOfACounterStartAfterS) {
    struct Case {
        bool byKey, recovering;
        double after;
        bool notice;
    };
    const Case cases[] = {
        {false, false, 3.4, true},   {false, false, 10.0, true}, {false, false, 10.5, false},
        {false, false, -1.0, false}, {true, false, 3.0, false},  {false, true, 3.0, false},
    };
    for (const Case& c : cases) {
        HeatKeyState keys;
        keys.endedByKey(100.0, 4);
        keys.startingByKey(c.byKey);
        const std::string notice = keys.heatStarted(100.0 + c.after, 5, c.recovering, "%1 %2 %3");
        EXPECT_EQ(!notice.empty(), c.notice) << c.after;
        if (c.notice) {
            EXPECT_EQ(notice, "5 " + std::to_string(static_cast<int>(c.after + 0.5)) + " 4");
        }
        EXPECT_EQ(keys.counterRun(), !c.byKey && !c.recovering);
        EXPECT_TRUE(keys.heatStarted(100.0 + c.after, 6, false, "%1").empty());
    }
}

} // namespace
} // namespace cronovolta::test

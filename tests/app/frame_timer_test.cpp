#include <gtest/gtest.h>

#include "app/lib/FrameTimer.h"
#include "platform/sys/Clock.h"

namespace {

class FrameTimerTest : public ::testing::Test {
protected:
    void SetUp() override { platform::SetClock(&clock_); }
    void TearDown() override { platform::SetClock(nullptr); }

    // Due ticks found while the clock moves in 1 ms steps for `ms`.
    int TicksOver(FrameTimer& timer, int ms) {
        int ticks = 0;
        for (int i = 0; i < ms; ++i) {
            clock_.AdvanceMs(1);
            while (timer.IsUpdateDue()) ++ticks;
        }
        return ticks;
    }

    platform::VirtualClock clock_;
};

void SetUpdateTimerTo200(FrameTimer& timer) {
    timer.UseMilliseconds();
    timer.SetUpdateRate(200);
    timer.RestartUpdate();
}

TEST_F(FrameTimerTest, TicksTwoHundredTimesPerSecond) {
    FrameTimer timer;
    SetUpdateTimerTo200(timer);
    EXPECT_EQ(TicksOver(timer, 1000), 200);
    EXPECT_NEAR(timer.MeasuredUpdateRate(), 200, 2);
}

TEST_F(FrameTimerTest, CatchUpAfterStallIsBoundedThenSteady) {
    FrameTimer timer;
    SetUpdateTimerTo200(timer);
    EXPECT_EQ(TicksOver(timer, 50), 10);
    clock_.AdvanceMs(100);
    int burst = 0;
    while (timer.IsUpdateDue()) ++burst;
    EXPECT_EQ(burst, 5);
    EXPECT_EQ(TicksOver(timer, 100), 20);
}

TEST_F(FrameTimerTest, BurstOfTicksAtOneInstantDoesNotDivideByZero) {
    FrameTimer timer;
    SetUpdateTimerTo200(timer);
    // A first tick after 10 s measures a rate of 0, so the next measurement comes at the next tick,
    // which the catch-up burst delivers at the same counter value.
    clock_.AdvanceMs(10000);
    int burst = 0;
    while (timer.IsUpdateDue()) ++burst;
    EXPECT_EQ(burst, 5);
    EXPECT_GE(timer.MeasuredUpdateRate(), 0);
}

TEST_F(FrameTimerTest, TimeIsReadFromTheClock) {
    FrameTimer timer;
    SetUpdateTimerTo200(timer);
    clock_.AdvanceMs(5);
    ASSERT_TRUE(timer.IsUpdateDue());
    EXPECT_EQ(timer.GetTimeMs(), clock_.NowMs());
    EXPECT_EQ(timer.GetTime100us(), clock_.NowMs() * 10);
}

}  // namespace

// The main and update threads sleep for this long; a wrong count would sleep past a tick or spin.
TEST_F(FrameTimerTest, TimeToTheNextTickCountsDownAndRestartsAfterEachTick) {
    FrameTimer timer;
    SetUpdateTimerTo200(timer);
    timer.SetRenderRate(200);
    timer.RestartRender();
    EXPECT_EQ(timer.UpdateDueInMs(), 5u);
    clock_.AdvanceMs(3);
    EXPECT_EQ(timer.UpdateDueInMs(), 2u);
    EXPECT_EQ(timer.RenderDueInMs(), 2u);
    clock_.AdvanceMs(2);
    EXPECT_EQ(timer.UpdateDueInMs(), 0u);
    ASSERT_TRUE(timer.IsUpdateDue());
    EXPECT_EQ(timer.UpdateDueInMs(), 5u);
    EXPECT_EQ(timer.RenderDueInMs(), 0u);  // the render channel has its own ticks
    // Behind by more than a tick: due now until the backlog is taken.
    clock_.AdvanceMs(12);
    EXPECT_EQ(timer.UpdateDueInMs(), 0u);
    while (timer.IsUpdateDue()) {
    }
    EXPECT_EQ(timer.UpdateDueInMs(), 3u);
}

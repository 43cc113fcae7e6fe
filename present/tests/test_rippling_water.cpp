#include "platform/clock.h"
#include "platform/timer_control.h"
#include "present/rippling_water.h"

#include <gtest/gtest.h>

using namespace tv;

TEST(RipplingWater, ThePhaseFollowsTheSpeedAndTheDirection) {
    // Speed 8: one three-hundredth of a radian per unit of time; -2 stands still.
    EXPECT_DOUBLE_EQ(RipplingWater::phaseAt(300, 8, false), 1.0);
    EXPECT_DOUBLE_EQ(RipplingWater::phaseAt(300, 8, true), -1.0);
    EXPECT_DOUBLE_EQ(RipplingWater::phaseAt(123456, -2, false), 0.0);
    EXPECT_DOUBLE_EQ(RipplingWater::phaseAt(3000, 3, false), 0.0625 / 300 * 3000);
    EXPECT_DOUBLE_EQ(RipplingWater::phaseAt(0, 20, false), 0.0);
}

TEST(RipplingWater, TheTimeBaseGrowsWithTheClockFromItsLastRestart) {
    Clock& clock = Clock::instance();
    clock.setMode(Clock::Mode::Virtual);
    TimerControl timer;
    RipplingWater water(timer);
    EXPECT_EQ(water.FoxTime(1), 0);
    clock.advanceTo(clock.nowMs() + 90);
    EXPECT_EQ(water.FoxTime(0), 90);
    clock.advanceTo(clock.nowMs() + 30);
    EXPECT_EQ(water.FoxTime(0), 120);
    EXPECT_EQ(water.FoxTime(1), 0) << "a restart begins again";
    clock.advanceTo(clock.nowMs() + 30);
    EXPECT_EQ(water.FoxTime(0), 30);

    // Without a frame the water is off and stays so; switching counts as the menu's tick.
    EXPECT_FALSE(water.effectActive());
    EXPECT_FALSE(water.timerRunning());
    water.EnableOrDisableEffects("None", false);
    EXPECT_TRUE(water.effectsDisabled);
    water.EnableOrDisableEffects("None", false);
    EXPECT_FALSE(water.effectsDisabled);
    EXPECT_FALSE(water.timerRunning());
}

// The hover fade: the step sequence tick by tick for each SlowDecease mode, the timer's
// starts and stops, and destruction in the middle of a fade.
#include <gtest/gtest.h>

#include <vector>

#include "tests/unit/hsbutton_fake_test.h"

namespace setup {
namespace {

using testing::HSTestButton;

// Ticks the button the way the window's 30 ms timer would, while the timer runs, and
// returns the steps painted.
std::vector<int> RunTicks(HSTestButton& b, int at_most) {
    std::vector<int> steps;
    for (int i = 0; i < at_most && b.FadeTimerRunning(); ++i) {
        b.FadeTick();
        steps.push_back(b.FadeStep());
    }
    return steps;
}

TEST(HSButtonFade, EnterAndStayFadesInOverEightTicks) {
    HSTestButton b;
    b.SetSlowDecease(THSSlowDecease::sdEnterLeave);
    b.MouseEnter();
    EXPECT_EQ(b.FadeStep(), 0);
    EXPECT_TRUE(b.FadeTimerRunning());
    EXPECT_EQ(b.Count("timer on"), 1);
    EXPECT_EQ(RunTicks(b, 20), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_FALSE(b.FadeTimerRunning());
    EXPECT_EQ(b.Count("timer off"), 1);
    b.FadeTick();  // a tick still queued when the timer stopped changes nothing
    EXPECT_EQ(b.FadeStep(), 8);
}

TEST(HSButtonFade, LeaveDuringAFadeInTurnsItAround) {
    HSTestButton b;
    b.SetSlowDecease(THSSlowDecease::sdEnterLeave);
    b.MouseEnter();
    RunTicks(b, 3);
    EXPECT_EQ(b.FadeStep(), 3);
    b.MouseLeave();
    EXPECT_EQ(b.Count("timer on"), 1);  // already running: not restarted
    EXPECT_EQ(RunTicks(b, 20), (std::vector<int>{2, 1, 0}));
    EXPECT_FALSE(b.FadeTimerRunning());
}

TEST(HSButtonFade, EachTickRepaintsAtOnce) {
    HSTestButton b;
    b.SetSlowDecease(THSSlowDecease::sdEnterLeave);
    b.MouseEnter();
    b.log.clear();
    b.FadeTick();
    ASSERT_EQ(b.log.size(), 1u);
    EXPECT_EQ(b.log[0], "repaint now");
}

TEST(HSButtonFade, LeaveModeJumpsInAndFadesOut) {
    HSTestButton b;
    b.SetSlowDecease(THSSlowDecease::sdLeave);
    b.MouseEnter();
    EXPECT_EQ(b.FadeStep(), 8);
    EXPECT_FALSE(b.FadeTimerRunning());
    b.MouseLeave();
    EXPECT_EQ(RunTicks(b, 20), (std::vector<int>{7, 6, 5, 4, 3, 2, 1, 0}));
    // Entering during a fade-out jumps to 8; the next tick stops the timer there.
    b.MouseEnter();
    b.MouseLeave();
    RunTicks(b, 2);
    b.MouseEnter();
    EXPECT_EQ(b.FadeStep(), 8);
    EXPECT_EQ(RunTicks(b, 20), (std::vector<int>{8}));
}

TEST(HSButtonFade, NoneSwitchesAtOnceAndNeverTicks) {
    HSTestButton b;
    b.MouseEnter();
    EXPECT_EQ(b.FadeStep(), 8);
    b.MouseLeave();
    EXPECT_EQ(b.FadeStep(), 0);
    EXPECT_EQ(b.Count("timer on"), 0);
}

TEST(HSButtonFade, SwitchingToNoneMidFadeDropsTheTimerAndTheStep) {
    HSTestButton b;
    b.SetSlowDecease(THSSlowDecease::sdEnterLeave);
    b.MouseEnter();
    RunTicks(b, 5);
    b.SetSlowDecease(THSSlowDecease::sdNone);
    EXPECT_EQ(b.FadeStep(), 0);  // although the mouse is still over the button
    EXPECT_FALSE(b.HasFadeTimer());
    EXPECT_EQ(b.Count("timer off"), 1);
    b.SetSlowDecease(THSSlowDecease::sdEnterLeave);  // a new, stopped timer
    EXPECT_TRUE(b.HasFadeTimer());
    EXPECT_FALSE(b.FadeTimerRunning());
}

TEST(HSButtonFade, WithoutHotColourTheStepMovesButTheFaceStays) {
    HSTestButton b;
    b.SetColor(Rgb(10, 20, 30));
    b.SetHotTrackColor(kClNone);
    b.SetSlowDecease(THSSlowDecease::sdEnterLeave);
    b.MouseEnter();
    RunTicks(b, 4);
    EXPECT_EQ(b.FadeStep(), 4);
    EXPECT_EQ(FromPixel(b.Face().at(50, 11)), Rgb(10, 20, 30));
}

TEST(HSButtonFade, IntermediateStepsBlendTheColours) {
    HSTestButton b;
    b.SetColor(Rgb(0, 0, 0));
    b.SetHotTrackColor(Rgb(160, 80, 240));
    b.SetSlowDecease(THSSlowDecease::sdEnterLeave);
    b.MouseEnter();
    RunTicks(b, 2);  // step 2: a quarter of the way
    EXPECT_EQ(FromPixel(b.Face().at(50, 11)), Rgb(40, 20, 60));
}

TEST(HSButtonFade, DestroyingMidFadeStopsTheTimerFirst) {
    HSTestButton b;
    b.SetSlowDecease(THSSlowDecease::sdEnterLeave);
    b.MouseEnter();
    RunTicks(b, 3);
    b.log.clear();
    b.BeginDestroy();
    ASSERT_FALSE(b.log.empty());
    EXPECT_EQ(b.log.front(), "timer off");
    EXPECT_FALSE(b.FadeTimerRunning());
    b.log.clear();
    b.FadeTick();  // a late tick reaches nothing
    b.MouseLeave();
    b.SetBorder(3);
    EXPECT_TRUE(b.log.empty());
    EXPECT_EQ(b.FadeStep(), 3);
}

}  // namespace
}  // namespace setup

// The rule for the bottom buttons: Enter, the tab order and the focus hand-over, alone and as
// the wizard applies it page by page.
#include <gtest/gtest.h>

#include "tests/unit/wizard_fakes.h"
#include "wizard/buttons.h"

namespace setup::testing {
namespace {

constexpr Box kAt{0, 15, 92, 23};
constexpr Box kAbove{0, -32, 92, 23};

// Back, Next, Cancel shown and enabled side by side; Agree hidden at Next's place.
std::array<ButtonFacts, 4> Plain() {
    return {{{true, true, {336, 15, 92, 23}},
             {true, true, {440, 15, 92, 23}},
             {true, true, {544, 15, 92, 23}},
             {false, true, {440, 15, 92, 23}}}};
}

TEST(ButtonRule, NextMovesOnWhileNothingCoversIt) {
    const ButtonRoles r = DecideButtons(Plain(), false);
    EXPECT_EQ(r.takes_enter, (std::array<bool, 4>{false, true, false, false}));
    EXPECT_EQ(r.tab_stop, (std::array<bool, 4>{true, true, true, false}));
    EXPECT_EQ(r.may_keep_focus, (std::array<bool, 4>{true, true, true, false}));
    EXPECT_EQ(r.focus_target, static_cast<int>(kNextButton));
}

TEST(ButtonRule, AgreeOverNextTakesEnterAndTheFocusAndNextLeavesTheTabOrder) {
    auto b = Plain();
    b[kAgreeButton].shown = true;
    b[kAgreeButton].box.left = 440 + 91;  // one column of overlap is enough
    const ButtonRoles r = DecideButtons(b, false);
    EXPECT_EQ(r.takes_enter, (std::array<bool, 4>{false, false, false, true}));
    EXPECT_FALSE(r.tab_stop[kNextButton]);
    EXPECT_FALSE(r.may_keep_focus[kNextButton]);
    EXPECT_EQ(r.focus_target, static_cast<int>(kAgreeButton));
    // Side by side, Agree covers nothing.
    b[kAgreeButton].box.left = 440 + 92;
    EXPECT_EQ(DecideButtons(b, false).takes_enter[kNextButton], true);
}

TEST(ButtonRule, AgreeAboveThePanelIsOutOfViewLikeAHiddenButton) {
    auto b = Plain();
    b[kAgreeButton] = {true, true, kAbove};
    const ButtonRoles r = DecideButtons(b, false);
    EXPECT_FALSE(r.tab_stop[kAgreeButton]);
    EXPECT_FALSE(r.may_keep_focus[kAgreeButton]);
    EXPECT_TRUE(r.takes_enter[kNextButton]);
    EXPECT_TRUE(r.tab_stop[kNextButton]);
    b[kAgreeButton].box = kAt;  // the bottom row still lies inside
    b[kAgreeButton].box.top = -22;
    EXPECT_TRUE(DecideButtons(b, false).tab_stop[kAgreeButton]);
}

TEST(ButtonRule, FinishedPageGivesEverythingToCancelWhenItCanTakeIt) {
    auto b = Plain();
    b[kBackButton].shown = b[kNextButton].shown = false;
    ButtonRoles r = DecideButtons(b, true);
    EXPECT_EQ(r.takes_enter, (std::array<bool, 4>{false, false, true, false}));
    EXPECT_EQ(r.focus_target, static_cast<int>(kCancelButton));
    EXPECT_EQ(r.may_keep_focus, (std::array<bool, 4>{false, false, true, false}));
    // A disabled target takes no focus: it stays where it is.
    b[kCancelButton].enabled = false;
    r = DecideButtons(b, true);
    EXPECT_EQ(r.focus_target, -1);
    EXPECT_TRUE(r.tab_stop[kCancelButton]);
}

TEST(ButtonRule, DisabledButtonKeepsItsTabStopButNotTheFocus) {
    auto b = Plain();
    b[kBackButton].enabled = false;
    const ButtonRoles r = DecideButtons(b, false);
    EXPECT_TRUE(r.tab_stop[kBackButton]);
    EXPECT_FALSE(r.may_keep_focus[kBackButton]);
}

// The wizard runs the rule after each change to a button or the page.
TEST(ButtonRule, TheWizardAppliesItThroughThePages) {
    WizardRig r;
    r.Start();
    EXPECT_EQ(r.view.roles().focus_target, static_cast<int>(kNextButton));
    EXPECT_FALSE(r.view.roles().tab_stop[kBackButton]);  // hidden on the welcome page
    r.Next();
    ASSERT_EQ(r.wizard->ActivePage(), kPageLicence);
    EXPECT_EQ(r.view.roles().focus_target, static_cast<int>(kAgreeButton));
    EXPECT_FALSE(r.view.roles().tab_stop[kNextButton]);
    r.Agree();
    ASSERT_EQ(r.wizard->ActivePage(), kPageFolder);
    EXPECT_EQ(r.view.roles().focus_target, static_cast<int>(kNextButton));
    EXPECT_FALSE(r.view.roles().tab_stop[kAgreeButton]);  // shown, above the panel
    EXPECT_TRUE(r.view.roles().tab_stop[kNextButton]);
    r.WalkTo(kPageFinished);
    EXPECT_EQ(r.view.roles().focus_target, static_cast<int>(kCancelButton));
    EXPECT_TRUE(r.view.roles().takes_enter[kCancelButton]);
}

TEST(ButtonRule, AButtonIsSettledAsHiddenBeforeItGoes) {
    WizardRig r;
    r.Start();
    r.WalkTo(kPageReady);
    r.view.roles_applied.clear();
    r.Next();  // the copying page hides Back, then Next
    // While Back is still on screen, its focus is handed to Next.
    bool back_settled = false;
    for (const FakeView::RolesApplied& a : r.view.roles_applied)
        back_settled |= a.visible[kBackButton] && !a.roles.may_keep_focus[kBackButton] &&
                        a.roles.focus_target == static_cast<int>(kNextButton);
    EXPECT_TRUE(back_settled);
}

}  // namespace
}  // namespace setup::testing

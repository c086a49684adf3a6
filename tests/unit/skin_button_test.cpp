// The skinned push button's behaviour: states, repeat timer, keys, pictures and composition.
#include "controls/skin/button_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace setup::skin {
namespace {

struct Host : ButtonHost {
    std::vector<std::string> log;
    bool can_focus = true, focused = false, visible = true, parent_enabled = true;
    int repaints = 0;
    void Repaint() override { ++repaints; }
    void StartRepeatTimer(int ms) override { log.push_back("timer " + std::to_string(ms)); }
    void StopRepeatTimer() override { log.push_back("stop timer"); }
    bool CanFocus() override { return can_focus; }
    bool Focused() override { return focused; }
    void TakeFocus() override {
        focused = true;
        log.push_back("focus");
    }
    bool Visible() override { return visible; }
    bool ParentEnabled() override { return parent_enabled; }
    void SetFormModalResult(int32_t r) override { log.push_back("modal " + std::to_string(r)); }
    void FireClick() override { log.push_back("click"); }
    void FireMouseEnter() override { log.push_back("enter"); }
    void FireMouseExit() override { log.push_back("exit"); }
    void FireContinuouslyDown() override { log.push_back("repeat"); }
};

using Log = std::vector<std::string>;

TEST(ButtonModel, HoverPressAndReleaseInside) {
    Host h;
    ButtonModel b(h);
    b.MouseEnter();
    EXPECT_TRUE(b.MouseOver());
    b.LeftButtonDown();
    EXPECT_TRUE(b.Pressed());
    EXPECT_TRUE(b.RepeatTimerRunning());
    b.LeftButtonUp(true);
    EXPECT_FALSE(b.Pressed());
    EXPECT_FALSE(b.RepeatTimerRunning());
    EXPECT_TRUE(b.MouseOver());
    EXPECT_EQ(h.log, (Log{"enter", "timer 100", "focus", "stop timer", "modal 0", "click"}));
}

TEST(ButtonModel, HoldingFiresTheRepeatEventThenOneClick) {
    Host h;
    ButtonModel b(h);
    b.LeftButtonDown();
    for (int i = 0; i < 3; ++i) b.TimerTick();  // 350 ms at 100 ms
    b.LeftButtonUp(true);
    EXPECT_EQ(h.log, (Log{"timer 100", "focus", "repeat", "repeat", "repeat", "stop timer", "modal 0", "click"}));
    b.TimerTick();  // a tick already queued when the timer died fires nothing
    EXPECT_EQ(h.log.back(), "click");
}

TEST(ButtonModel, NegativeIntervalStartsASilentTimerAndNoFocusWithoutTabStop) {
    Host h;
    ButtonModel b(h);
    b.repeat_interval_ms = -5;
    b.tab_stop = false;
    b.LeftButtonDown();
    EXPECT_EQ(h.log, (Log{"timer 0"}));
    b.LeftButtonDown();  // a second press does not start a second timer
    EXPECT_EQ(h.log.size(), 1u);
}

TEST(ButtonModel, MovingOutsideEndsThePressedLookButReleaseStillStopsTheTimer) {
    Host h;
    ButtonModel b(h);
    b.MouseEnter();
    b.LeftButtonDown();
    b.MouseMove(39, 25, 39, 25);  // the bounds themselves count as inside
    EXPECT_TRUE(b.Pressed());
    b.MouseMove(40, 10, 39, 25);
    EXPECT_FALSE(b.Pressed());
    EXPECT_FALSE(b.MouseOver());
    EXPECT_TRUE(b.RepeatTimerRunning());
    b.TimerTick();
    EXPECT_EQ(h.log.back(), "repeat");
    // Back inside and released: the click finds Pressed unset, yet the repeat must end.
    b.LeftButtonUp(true);
    EXPECT_FALSE(b.RepeatTimerRunning());
    h.log.clear();
    b.TimerTick();
    EXPECT_TRUE(h.log.empty());
}

TEST(ButtonModel, ReleaseOutsideGivesNoClick) {
    Host h;
    ButtonModel b(h);
    b.LeftButtonDown();
    b.MouseMove(-1, 3, 39, 25);
    b.LeftButtonUp(false);
    EXPECT_EQ(h.log, (Log{"timer 100", "focus", "stop timer"}));
}

TEST(ButtonModel, LeaveAndCancelModeResetEverything) {
    Host h;
    ButtonModel b(h);
    b.MouseEnter();
    b.LeftButtonDown();
    b.MouseLeave();
    EXPECT_FALSE(b.MouseOver());
    EXPECT_FALSE(b.Pressed());
    EXPECT_FALSE(b.RepeatTimerRunning());
    EXPECT_EQ(h.log.back(), "exit");
    b.MouseEnter();
    b.LeftButtonDown();
    h.log.clear();
    b.CancelMode();
    EXPECT_FALSE(b.Pressed());
    EXPECT_EQ(h.log, (Log{"stop timer"}));  // cancel mode fires no exit event
}

TEST(ButtonModel, SpaceAndEnterClickOnceOnRelease) {
    Host h;
    ButtonModel b(h);
    b.KeyDown(ButtonKey::kSpace);  // not focused: nothing
    EXPECT_FALSE(b.Pressed());
    h.focused = true;
    b.KeyDown(ButtonKey::kSpace);
    EXPECT_TRUE(b.Pressed());
    b.KeyUp(ButtonKey::kSpace);
    b.KeyUp(ButtonKey::kSpace);  // the second release finds it not pressed
    EXPECT_EQ(h.log, (Log{"modal 0", "click"}));
    b.KeyDown(ButtonKey::kEnter);
    b.KeyUp(ButtonKey::kEnter);
    EXPECT_EQ(h.log.size(), 4u);
    b.enabled = false;
    b.KeyDown(ButtonKey::kEnter);
    EXPECT_FALSE(b.Pressed());
}

TEST(ButtonModel, DefaultAndCancelKeys) {
    Host h;
    ButtonModel b(h);
    b.modal_result = 2;
    EXPECT_FALSE(b.DialogKey(ButtonKey::kEnter, false, false, false));
    b.SetDefault(true);
    EXPECT_TRUE(b.DefaultActive());
    EXPECT_FALSE(b.DialogKey(ButtonKey::kEnter, true, false, false));
    EXPECT_FALSE(b.DialogKey(ButtonKey::kEnter, false, true, false));
    EXPECT_FALSE(b.DialogKey(ButtonKey::kEnter, false, false, true));
    EXPECT_TRUE(b.DialogKey(ButtonKey::kEnter, false, false, false));
    EXPECT_EQ(h.log, (Log{"modal 2", "click"}));
    EXPECT_FALSE(b.DialogKey(ButtonKey::kEscape, false, false, false));
    b.cancel = true;
    h.can_focus = false;
    EXPECT_FALSE(b.DialogKey(ButtonKey::kEscape, false, false, false));
    h.can_focus = true;
    EXPECT_TRUE(b.DialogKey(ButtonKey::kEscape, false, false, false));
}

TEST(ButtonModel, AcceleratorNeedsAltUnlessAButtonOfThisKindHasTheFocus) {
    Host h;
    ButtonModel b(h);
    EXPECT_FALSE(b.DialogChar("&Browse", 'b', false, false));
    EXPECT_TRUE(b.DialogChar("&Browse", 'B', true, false));
    EXPECT_TRUE(b.DialogChar("&Browse", 'b', false, true));
    EXPECT_FALSE(b.DialogChar("&Browse", 'r', true, false));
    h.parent_enabled = false;
    EXPECT_FALSE(b.DialogChar("&Browse", 'b', true, false));
    h.parent_enabled = true;
    h.visible = false;
    EXPECT_FALSE(b.DialogChar("&Browse", 'b', true, false));
    EXPECT_EQ(AcceleratorOf("Save && &Quit"), 'q');
    EXPECT_EQ(AcceleratorOf("a&&b"), std::nullopt);
    EXPECT_EQ(AcceleratorOf("end&"), std::nullopt);
    EXPECT_EQ(AcceleratorOf("浏览(&B)"), 'b');
}

TEST(ButtonPictures, StatePriorityAndImageButtonFallBacks) {
    EXPECT_EQ(ChooseButtonPicture(false, true, true), ButtonPicture::kDisabled);
    EXPECT_EQ(ChooseButtonPicture(true, true, true), ButtonPicture::kMouseDown);
    EXPECT_EQ(ChooseButtonPicture(true, false, true), ButtonPicture::kMouseOn);
    EXPECT_EQ(ChooseButtonPicture(true, false, false), ButtonPicture::kNormal);

    ImageButtonPictures only_normal;
    only_normal.normal = Image(24, 21, 0xFF0000FFu);
    for (auto which : {ButtonPicture::kNormal, ButtonPicture::kMouseOn, ButtonPicture::kMouseDown,
                       ButtonPicture::kDisabled})
        EXPECT_EQ(&ImageButtonPicture(only_normal, which), &only_normal.normal);
    ImageButtonPictures browse = only_normal;
    browse.mouse_on = Image(24, 21, 0x00FF0000u);
    EXPECT_EQ(&ImageButtonPicture(browse, ButtonPicture::kMouseOn), &browse.mouse_on);
    EXPECT_EQ(&ImageButtonPicture(browse, ButtonPicture::kMouseDown), &browse.normal);
    EXPECT_TRUE(ImageButtonPicture(ImageButtonPictures{}, ButtonPicture::kMouseOn).empty());
}

TEST(ButtonComposition, SmallPictureSitsTopLeftOverTheColour) {
    Image pic(24, 21, ToPixel(Rgb(10, 20, 30)));
    ButtonComposition c{39, 25, false, Rgb(240, 240, 240), nullptr, &pic, false};
    const Image out = ComposeButton(c);
    EXPECT_EQ(FromPixel(out.at(23, 20)), Rgb(10, 20, 30));
    EXPECT_EQ(FromPixel(out.at(24, 0)), Rgb(240, 240, 240));
    EXPECT_EQ(FromPixel(out.at(0, 21)), Rgb(240, 240, 240));
    c.stretch = true;
    EXPECT_EQ(FromPixel(ComposeButton(c).at(38, 24)), Rgb(10, 20, 30));
}

TEST(ButtonComposition, TransparentPicturesShowTheBackgroundWhereTheyHaveTheTopLeftColour) {
    Image pic(4, 4, ToPixel(Rgb(255, 255, 255)));
    pic.at(1, 1) = ToPixel(Rgb(1, 2, 3));
    Image bg(6, 6, ToPixel(Rgb(9, 9, 9)));
    ButtonComposition c{6, 6, true, Rgb(200, 0, 0), &bg, &pic, false};
    Image out = ComposeButton(c);
    EXPECT_EQ(FromPixel(out.at(0, 0)), Rgb(9, 9, 9));
    EXPECT_EQ(FromPixel(out.at(1, 1)), Rgb(1, 2, 3));
    EXPECT_EQ(FromPixel(out.at(5, 5)), Rgb(9, 9, 9));
    // Opaque buttons draw the picture as it is, white included.
    c.transparent = false;
    c.background = nullptr;
    out = ComposeButton(c);
    EXPECT_EQ(FromPixel(out.at(0, 0)), Rgb(255, 255, 255));
    EXPECT_EQ(FromPixel(out.at(5, 5)), Rgb(200, 0, 0));
    // An empty picture leaves the background.
    c.picture = nullptr;
    EXPECT_EQ(FromPixel(ComposeButton(c).at(0, 0)), Rgb(200, 0, 0));
}

TEST(ButtonCaption, FocusRectangleAndCaptionPasses) {
    EXPECT_FALSE(ShouldDrawFocusRect(true, true, false));
    EXPECT_FALSE(ShouldDrawFocusRect(true, false, true));
    EXPECT_TRUE(ShouldDrawFocusRect(true, true, true));
    const Color font = Rgb(0, 0, 0);
    EXPECT_TRUE(CaptionPasses("  ", true, false, font).empty());
    EXPECT_EQ(CaptionPasses("Go", true, false, font), (std::vector<CaptionPass>{{0, 0, font}}));
    EXPECT_EQ(CaptionPasses("Go", true, true, font), (std::vector<CaptionPass>{{1, 1, font}}));
    EXPECT_EQ(CaptionPasses("Go", false, true, font),
              (std::vector<CaptionPass>{{1, 1, Rgb(255, 255, 255)}, {0, 0, Rgb(128, 128, 128)}}));
    EXPECT_EQ(CenterOffset(39, 20), 9);
    EXPECT_EQ(CenterOffset(10, 15), -2);  // halved towards zero
}

}  // namespace
}  // namespace setup::skin

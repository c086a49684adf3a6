// THSButton without a window: property derivations, presets, published order, and the click,
// keyboard and access-key rules.
#include <gtest/gtest.h>

#include <memory>

#include "controls/hsbutton/hsbutton.h"
#include "tests/unit/hsbutton_fake_test.h"

namespace setup {
namespace {

using testing::HSTestButton;

TEST(HSButtonProps, NewButtonValues) {
    HSTestButton b;
    EXPECT_EQ(b.Color(), 0u);
    EXPECT_EQ(b.HotTrackColor(), kClNone);
    EXPECT_EQ(b.ColorWhenDown(), kClNone);
    EXPECT_EQ(b.LightColor(), kClWhite);
    EXPECT_EQ(b.ShadowColor(), kClGray);
    EXPECT_EQ(b.Border(), 1);
    EXPECT_EQ(b.Alignment(), TAlignment::taCenter);
    EXPECT_EQ(b.Kind(), THSButtonKind::bkCustom);
    EXPECT_EQ(b.SlowDecease(), THSSlowDecease::sdNone);
    EXPECT_TRUE(b.HasFadeTimer());  // made at construction, idle
    EXPECT_FALSE(b.FadeTimerRunning());
    EXPECT_TRUE(b.log.empty());
}

TEST(HSButtonProps, ColorDerivesEdgesHotColourAndFont) {
    HSTestButton b;
    b.SetColorWhenDown(Rgb(1, 2, 3));
    b.SetColor(kClWhite);
    EXPECT_EQ(b.LightColor(), kClWhite);
    EXPECT_EQ(b.HotTrackColor(), kClWhite);
    EXPECT_EQ(b.ShadowColor(), 8355711u);  // 0x7F7F7F
    EXPECT_EQ(b.Font().color, kClBlack);
    EXPECT_EQ(b.ColorWhenDown(), kClNone);
    EXPECT_TRUE(b.log.empty());  // no repaint

    b.SetColor(0x5F5F5F);  // average 95
    EXPECT_EQ(b.Font().color, kClWhite);
    b.SetColor(0x606060);  // average 96
    EXPECT_EQ(b.Font().color, kClBlack);

    b.SetColor(Rgb(200, 10, 100));  // each channel clamped on its own
    EXPECT_EQ(b.LightColor(), Rgb(255, 138, 228));
    EXPECT_EQ(b.HotTrackColor(), Rgb(232, 42, 132));
    EXPECT_EQ(b.ShadowColor(), Rgb(72, 0, 0));
}

TEST(HSButtonProps, ColorArithmeticUsesTheStoredBytesOfASystemColour) {
    HSTestButton b;
    b.SetColor(kClBtnFace);  // 0xFF00000F: red byte 15, green and blue 0
    EXPECT_EQ(b.Color(), kClBtnFace);
    EXPECT_EQ(b.LightColor(), Rgb(143, 128, 128));
    EXPECT_EQ(b.ShadowColor(), Rgb(0, 0, 0));
    EXPECT_EQ(b.Font().color, kClWhite);  // average 5
}

TEST(HSButtonProps, ColorStylePresetIsAppliedButNeverKept) {
    HSTestButton b;
    b.SetColorStyle(THSColorStyle::lcsQuicken);
    EXPECT_EQ(b.ColorStyle(), THSColorStyle::lcsCustom);
    EXPECT_EQ(b.Style(), THSButtonStyle::bsQuicken);
    EXPECT_EQ(b.Color(), 0x603000u);
    EXPECT_EQ(b.Font().color, kClWhite);
    EXPECT_EQ(b.HotTrackColor(), 0xCEAE9Cu);
    EXPECT_EQ(b.ColorWhenDown(), 0xAD6529u);
    EXPECT_EQ(b.Count("transparent"), 0);  // Style stored without the window style change
    EXPECT_EQ(b.log.back(), "repaint now");

    b.SetColorStyle(THSColorStyle::lcsUltraFlatXP);
    EXPECT_TRUE(b.Flat());
    EXPECT_EQ(b.Style(), THSButtonStyle::bsNormal);
    EXPECT_EQ(b.ShadowColor(), 0xB59285u);
    EXPECT_EQ(b.Font().color, kClBlack);
    b.SetColorStyle(THSColorStyle::lcsDefault);
    EXPECT_EQ(b.Color(), kClBtnFace);  // stored as is, no derivation
    EXPECT_EQ(b.LightColor(), 0xFFFFFFu);
    EXPECT_EQ(b.HotTrackColor(), kClNone);
    EXPECT_FALSE(b.Flat());
    b.SetColorStyle(THSColorStyle::lcsGlassAqua);
    EXPECT_EQ(b.Style(), THSButtonStyle::bsGlass);
    EXPECT_EQ(b.LightColor(), 0xFFFFFFu);  // differs from lcsAqua's 0xFCE6D4

    const auto before = b.log.size();
    b.SetColorStyle(THSColorStyle::lcsCustom);  // nothing at all
    EXPECT_EQ(b.log.size(), before);
    EXPECT_EQ(b.Style(), THSButtonStyle::bsGlass);
}

TEST(HSButtonProps, KindLoadsGlyphCaptionAndModalResult) {
    HSTestButton b;
    b.resources["BBOK"] = Image(36, 18, 1);
    b.resources["BBALL"] = Image(36, 19, 2);
    b.SetKind(THSButtonKind::bkOK);
    EXPECT_EQ(b.Kind(), THSButtonKind::bkOK);
    EXPECT_EQ(b.ModalResult(), 1);
    EXPECT_EQ(b.Caption(), "OK");
    EXPECT_EQ(b.NumGlyphs(), 2);
    EXPECT_EQ(b.Glyph().width, 36);
    EXPECT_EQ(b.Count("load BBOK"), 1);

    b.SetModalResult(7);  // customised: Kind goes back, glyph and caption stay
    EXPECT_EQ(b.Kind(), THSButtonKind::bkCustom);
    EXPECT_EQ(b.Caption(), "OK");
    EXPECT_EQ(b.Glyph().width, 36);
    EXPECT_EQ(b.ModalResult(), 7);

    b.SetKind(THSButtonKind::bkAll);  // 36 x 19: two cells all the same
    EXPECT_EQ(b.NumGlyphs(), 2);
    EXPECT_EQ(b.ModalResult(), 8);
    EXPECT_EQ(b.Caption(), "All");

    b.SetKind(THSButtonKind::bkHelp);  // no resource: no glyph, the rest applies
    EXPECT_TRUE(b.Glyph().empty());
    EXPECT_EQ(b.ModalResult(), 0);
    EXPECT_EQ(b.Caption(), "Help");

    b.SetCaption("x");
    b.SetKind(THSButtonKind::bkCustom);  // only stored
    EXPECT_EQ(b.Kind(), THSButtonKind::bkCustom);
    EXPECT_EQ(b.Caption(), "x");
    EXPECT_EQ(b.NumGlyphs(), 2);
}

TEST(HSButtonProps, GlyphSetsCellCountFromItsShape) {
    HSTestButton b;
    b.SetKind(THSButtonKind::bkYes);
    b.SetGlyph(Image(72, 18));
    EXPECT_EQ(b.NumGlyphs(), 4);
    EXPECT_EQ(b.Kind(), THSButtonKind::bkCustom);
    b.SetGlyph(Image(10, 0));
    EXPECT_EQ(b.NumGlyphs(), 0);
    b.SetGlyph(Image(18, 18));
    b.ClearGlyph();
    EXPECT_TRUE(b.Glyph().empty());
    EXPECT_EQ(b.NumGlyphs(), 0);
}

TEST(HSButtonProps, StyleMakesTheWindowTransparentForKeyedStyles) {
    HSTestButton b;
    const std::pair<THSButtonStyle, const char*> cases[] = {
        {THSButtonStyle::bsNormal, "opaque"},     {THSButtonStyle::bsEncarta, "opaque"},
        {THSButtonStyle::bsModern, "transparent"}, {THSButtonStyle::bsOld, "opaque"},
        {THSButtonStyle::bsShape, "transparent"},  {THSButtonStyle::bsQuicken, "transparent"},
        {THSButtonStyle::bsGlass, "transparent"}};
    for (const auto& [style, want] : cases) {
        b.log.clear();
        b.SetStyle(style);
        ASSERT_EQ(b.log.size(), 2u);
        EXPECT_EQ(b.log[0], want);
        EXPECT_EQ(b.log[1], "repaint later");
    }
}

TEST(HSButtonProps, StoredValuesWinOverWhatColorDerived) {
    HSTestButton b;
    StoredButtonProps p;
    p.color = kClWhite;
    p.hot_track_color = 12905212;
    p.light_color = Rgb(1, 2, 3);
    p.shadow_color = 8355711;
    p.font = FontSpec{.name = "A", .height = 14, .color = Rgb(0, 0, 255)};
    ApplyStoredProps(b, p);
    EXPECT_EQ(b.HotTrackColor(), 12905212u);
    EXPECT_EQ(b.LightColor(), Rgb(1, 2, 3));
    EXPECT_EQ(b.ShadowColor(), 8355711u);
    EXPECT_EQ(b.Font().color, Rgb(0, 0, 255));

    StoredButtonProps q;  // a stored caption wins over the Kind preset's
    q.kind = THSButtonKind::bkOK;
    q.modal_result = 1;
    q.caption = "确定";
    ApplyStoredProps(b, q);
    EXPECT_EQ(b.Kind(), THSButtonKind::bkOK);
    EXPECT_EQ(b.Caption(), "确定");
}

TEST(HSButtonProps, WizardButtonProperties) {
    HSTestButton b;
    ApplyWizardButtonProps(b);
    EXPECT_EQ(b.Border(), 1);
    EXPECT_EQ(b.Color(), kClWhite);
    EXPECT_EQ(b.LightColor(), kClWhite);  // derived from white
    EXPECT_EQ(b.HotTrackColor(), 12905212u);
    EXPECT_EQ(b.ShadowColor(), 8355711u);
    EXPECT_EQ(b.Font().name, "微软雅黑");
    EXPECT_EQ(b.Font().height, 12);
    EXPECT_EQ(b.Font().color, kClBlack);
    EXPECT_EQ(b.HotTrackFont().color, kClGray);
    EXPECT_FALSE(b.UseHotTrackFont());
    EXPECT_EQ(b.Smooth(), 0);
    EXPECT_EQ(b.Style(), THSButtonStyle::bsNormal);
    EXPECT_EQ(b.SlowDecease(), THSSlowDecease::sdNone);
    b.MouseEnter();  // the hot font is not used
    EXPECT_EQ(b.Inputs().font.name, "微软雅黑");
    b.SetUseHotTrackFont(true);
    EXPECT_EQ(b.Inputs().font.name, "宋体");
}

struct HSClicks : ::testing::Test {
    HSTestButton b;
    int clicks = 0;
    void SetUp() override {
        b.OnClick = [this] { ++clicks; };
    }
};

TEST_F(HSClicks, ReleaseOutsideStillClicks) {
    b.MouseEnter();
    b.MouseDown(MouseButton::kLeft);
    EXPECT_TRUE(b.Pressed());
    EXPECT_TRUE(b.Focused());
    b.MouseLeave();
    b.MouseUp(MouseButton::kLeft);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(b.Pressed());
}

TEST_F(HSClicks, RightButtonAloneDoesNothing) {
    b.MouseDown(MouseButton::kRight);
    EXPECT_FALSE(b.Pressed());
    EXPECT_EQ(b.Count("focus"), 0);
    b.MouseUp(MouseButton::kRight);
    EXPECT_EQ(clicks, 0);
}

TEST_F(HSClicks, RightReleaseAfterLeftPressClicksOnce) {
    b.MouseDown(MouseButton::kLeft);
    b.MouseUp(MouseButton::kRight);
    EXPECT_EQ(clicks, 1);
    b.MouseUp(MouseButton::kLeft);
    EXPECT_EQ(clicks, 1);
}

TEST_F(HSClicks, ModalResultAndPopupFollowOnClick) {
    b.SetModalResult(2);
    b.SetHasPopupMenu(true);
    b.OnClick = [this] { b.log.push_back("onclick"); };
    b.log.clear();
    b.Click();
    ASSERT_EQ(b.log.size(), 3u);
    EXPECT_EQ(b.log[0], "onclick");
    EXPECT_EQ(b.log[1], "modal 2");
    EXPECT_EQ(b.log[2], "popup");
}

TEST_F(HSClicks, HiddenOrDisabledButtonDoesNotClickAndDoesNotStayPressed) {
    b.SetModalResult(1);
    b.SetVisible(false);
    b.Click();
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(b.Count("modal 1"), 0);
    EXPECT_FALSE(b.Pressed());
    b.SetVisible(true);
    b.SetEnabled(false);
    b.Click();
    b.MouseDown(MouseButton::kLeft);
    EXPECT_FALSE(b.Pressed());
    EXPECT_EQ(clicks, 0);
}

TEST(HSButtonClick, OnClickMayDestroyTheButton) {
    auto b = std::make_unique<HSTestButton>();
    int clicks = 0;
    b->SetModalResult(1);
    b->OnClick = [&] {
        ++clicks;
        b.reset();
    };
    b->MouseDown(MouseButton::kLeft);
    b->MouseUp(MouseButton::kLeft);  // must not touch the destroyed button afterwards
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(b, nullptr);
}

TEST_F(HSClicks, EnterAndSpaceOnTheFocusedButton) {
    b.FocusChanged(true);
    for (int key : {kKeyEnter, kKeySpace}) {
        b.KeyDown(key);
        EXPECT_TRUE(b.Pressed());
        EXPECT_EQ(clicks, key == kKeyEnter ? 0 : 1);
        b.KeyUp(key);
        EXPECT_FALSE(b.Pressed());
    }
    EXPECT_EQ(clicks, 2);
    b.KeyDown('A');
    b.KeyUp('A');
    EXPECT_EQ(clicks, 2);
}

TEST_F(HSClicks, KeyReleaseWithoutItsPressDoesNotClick) {
    // Enter went down elsewhere and moved the focus here: its release must not click.
    b.FocusChanged(true);
    b.KeyUp(kKeyEnter);
    EXPECT_EQ(clicks, 0);
    b.KeyDown(kKeySpace);
    b.FocusChanged(false);  // Tab away while Space is held
    EXPECT_FALSE(b.Pressed());
    b.SetEnabled(false);
    b.KeyDown(kKeySpace);
    EXPECT_FALSE(b.Pressed());
}

TEST(HSButtonKeys, AccessCharacterOfACaption) {
    EXPECT_EQ(AccessChar("&Next"), 'N');
    EXPECT_EQ(AccessChar("下一步(&n)"), 'N');
    EXPECT_EQ(AccessChar("Save && &Quit"), 'Q');
    EXPECT_EQ(AccessChar("A&&B"), std::nullopt);
    EXPECT_EQ(AccessChar("Next"), std::nullopt);
    EXPECT_EQ(AccessChar("Next&"), std::nullopt);
    EXPECT_EQ(AccessChar("&中"), std::nullopt);
}

TEST_F(HSClicks, AccessKeyClicksAVisibleEnabledButton) {
    b.SetCaption("下一步(&N)");
    EXPECT_TRUE(b.AccessKey('n'));
    EXPECT_TRUE(b.AccessKey('N'));
    EXPECT_EQ(clicks, 2);
    EXPECT_FALSE(b.AccessKey('x'));
    b.parent_showing = false;
    EXPECT_FALSE(b.AccessKey('n'));
    b.parent_showing = true;
    b.SetVisible(false);
    EXPECT_FALSE(b.AccessKey('n'));
    EXPECT_EQ(clicks, 2);
}

TEST(HSButtonKeys, FocusedClassRule) {
    EXPECT_EQ(ClassifyFocusedClass("THSButton"), FocusKind::kPushButton);
    EXPECT_EQ(ClassifyFocusedClass("Button"), FocusKind::kPushButton);
    EXPECT_EQ(ClassifyFocusedClass("TRadioButton"), FocusKind::kOther);
    EXPECT_EQ(ClassifyFocusedClass("TsuiRadioButton"), FocusKind::kOther);
    EXPECT_EQ(ClassifyFocusedClass("Edit"), FocusKind::kOther);
}

TEST_F(HSClicks, DefaultButtonTakesEnterUnlessAPushButtonHasTheFocus) {
    EXPECT_FALSE(b.DialogKey(kKeyEnter, {}, FocusKind::kOther));  // not Default
    b.SetDefault(true);
    EXPECT_TRUE(b.DialogKey(kKeyEnter, {}, FocusKind::kOther));
    EXPECT_TRUE(b.DialogKey(kKeyEnter, {}, FocusKind::kNone));
    EXPECT_EQ(clicks, 2);
    EXPECT_FALSE(b.DialogKey(kKeyEnter, {}, FocusKind::kPushButton));
    EXPECT_EQ(clicks, 2);
    b.SetVisible(false);  // a hidden Default button swallows Enter without a click
    EXPECT_TRUE(b.DialogKey(kKeyEnter, {}, FocusKind::kOther));
    EXPECT_EQ(clicks, 2);
    EXPECT_FALSE(b.Pressed());
    EXPECT_FALSE(b.DialogKey(kKeyEscape, {}, FocusKind::kOther));
}

TEST_F(HSClicks, CancelButtonTakesPlainEscapeWhenVisibleAndEnabled) {
    b.SetCancel(true);
    EXPECT_TRUE(b.DialogKey(kKeyEscape, {}, FocusKind::kOther));
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(b.DialogKey(kKeyEscape, {.shift = true}, FocusKind::kOther));
    EXPECT_FALSE(b.DialogKey(kKeyEscape, {.ctrl = true}, FocusKind::kOther));
    EXPECT_FALSE(b.DialogKey(kKeyEscape, {}, FocusKind::kPushButton));
    b.SetEnabled(false);
    EXPECT_FALSE(b.DialogKey(kKeyEscape, {}, FocusKind::kOther));
    b.SetEnabled(true);
    b.SetVisible(false);
    EXPECT_FALSE(b.DialogKey(kKeyEscape, {}, FocusKind::kOther));
    EXPECT_EQ(clicks, 1);
}

TEST(HSButtonState, SettersRepaintAsTheyShould) {
    HSTestButton b;
    b.SetBorder(2);
    EXPECT_EQ(b.log.back(), "repaint later");
    b.SetShadowColor(1);
    EXPECT_EQ(b.log.back(), "repaint now");
    b.SetCaption("&Go");
    EXPECT_EQ(b.log[b.log.size() - 2], "caption &Go");
    EXPECT_EQ(b.log.back(), "repaint later");
    b.log.clear();
    b.SetHotTrackColor(5);
    b.SetColorWhenDown(5);
    b.SetDefault(true);
    EXPECT_TRUE(b.log.empty());
    b.SetEnabled(false);
    ASSERT_EQ(b.log.size(), 2u);
    EXPECT_EQ(b.log[0], "disable");
    EXPECT_EQ(b.log[1], "repaint now");
}

TEST(HSButtonState, DisabledButtonIgnoresEnterButLeaveStillCounts) {
    HSTestButton b;
    ApplyWizardButtonProps(b);
    b.SetEnabled(false);
    b.MouseEnter();
    EXPECT_FALSE(b.MouseInside());
    EXPECT_EQ(b.FadeStep(), 0);
    b.SetEnabled(true);
    b.MouseEnter();
    int exits = 0;
    b.OnMouseExit = [&] { ++exits; };
    b.SetEnabled(false);
    b.MouseLeave();
    EXPECT_FALSE(b.MouseInside());
    EXPECT_EQ(b.FadeStep(), 0);
    EXPECT_EQ(exits, 0);  // OnMouseExit only for an enabled button
}

}  // namespace
}  // namespace setup

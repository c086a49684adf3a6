// The button face, pixel by pixel: the wizard's button in each state, every style, the
// gradients, the blur, glyph cells, flat borders, caption fitting and the drop-down arrow.
#include <gtest/gtest.h>

#include "base/text.h"
#include "controls/hsbutton/box_text.h"
#include "controls/hsbutton/face.h"
#include "tests/unit/hsbutton_fake_test.h"

namespace setup {
namespace {

using testing::HSTestButton;
using S = THSButtonStyle;

constexpr Color kWhite = 0xFFFFFF;
constexpr Color kDarkGray = Rgb(127, 127, 127);
constexpr Color kCream = Rgb(252, 234, 196);
constexpr Color kCaptionGray = Rgb(128, 128, 128);
constexpr Color kKey = Rgb(255, 0, 255);

Color At(const Image& b, int x, int y) { return FromPixel(b.at(x, y)) & 0xFFFFFF; }

Image Draw(const FaceInputs& in, int w, int h, bool key_fill = false) {
    Image image(w, h, 0x12345678);
    if (key_fill) FillRect(image.view(), {0, 0, w, h}, kKeyPixel);
    BoxTextRenderer text;
    FaceTools tools{text};
    DrawButtonFace(image.view(), w, h, in, tools);
    return image;
}

// The wizard's Next button, 92 x 23, "下一步" in the 12-pixel box font: three 12-pixel
// characters centred in the text box (4, 5) - (88, 17), so the first box starts at x 29.
struct HSWizardButton : ::testing::Test {
    HSTestButton b;
    void SetUp() override {
        ApplyWizardButtonProps(b);
        b.SetBounds(336, 15, 92, 23);
        b.SetCaption("下一步");
    }
    // Face colour everywhere outside the caption and the border, border lines as given.
    void ExpectFrame(const Image& f, Color face, Color top_left, Color bottom_right) {
        for (int x = 0; x < 91; ++x) EXPECT_EQ(At(f, x, 0), top_left) << "top x=" << x;
        for (int y = 0; y < 23; ++y) EXPECT_EQ(At(f, 0, y), top_left) << "left y=" << y;
        for (int y = 0; y < 23; ++y) EXPECT_EQ(At(f, 91, y), bottom_right) << "right y=" << y;
        for (int x = 1; x < 92; ++x) EXPECT_EQ(At(f, x, 22), bottom_right) << "bottom x=" << x;
        for (int x = 1; x < 91; ++x) {
            EXPECT_EQ(At(f, x, 1), face);
            EXPECT_EQ(At(f, x, 21), face);
        }
        EXPECT_EQ(At(f, 10, 11), face);
        EXPECT_EQ(At(f, 80, 11), face);
    }
};

TEST_F(HSWizardButton, NormalFaceIsWhiteWithWhiteTopLeftAndDarkGrayBottomRight) {
    const Image f = b.Face();
    ExpectFrame(f, kWhite, kWhite, kDarkGray);
    EXPECT_EQ(At(f, 29, 7), 0u);  // caption black
    EXPECT_EQ(At(f, 38, 14), 0u);
    EXPECT_EQ(At(f, 28, 7), kWhite);
    EXPECT_EQ(At(f, 39, 7), kWhite);  // between two characters
    EXPECT_EQ(At(f, 53, 7), 0u);      // the third character
}

TEST_F(HSWizardButton, HotFaceIsCreamTheMomentTheMouseEnters) {
    b.MouseEnter();
    const Image f = b.Face();
    ExpectFrame(f, kCream, kWhite, kDarkGray);
    EXPECT_EQ(At(f, 29, 7), 0u);
    b.MouseLeave();
    ExpectFrame(b.Face(), kWhite, kWhite, kDarkGray);
}

TEST_F(HSWizardButton, FocusedFaceIsCreamToo) {
    b.FocusChanged(true);
    ExpectFrame(b.Face(), kCream, kWhite, kDarkGray);
    EXPECT_TRUE(b.ShowsFocusRect());
    b.FocusChanged(false);
    ExpectFrame(b.Face(), kWhite, kWhite, kDarkGray);
}

TEST_F(HSWizardButton, PressedSwapsTheBorderAndMovesTheCaptionTwoPixels) {
    b.MouseEnter();
    b.MouseDown(MouseButton::kLeft);
    ASSERT_TRUE(b.Pressed());
    const Image f = b.Face();
    ExpectFrame(f, kCream, kDarkGray, kWhite);
    EXPECT_EQ(At(f, 31, 9), 0u);
    EXPECT_EQ(At(f, 30, 9), kCream);
    EXPECT_EQ(At(f, 29, 8), kCream);  // the unpressed caption's corner is face now
    EXPECT_EQ(At(f, 40, 16), 0u);
}

TEST_F(HSWizardButton, DisabledCaptionIsGrayAndTheFaceIgnoresHotAndPressed) {
    b.MouseEnter();
    b.MouseDown(MouseButton::kLeft);
    b.SetEnabled(false);
    EXPECT_FALSE(b.Pressed());
    const Image f = b.Face();
    EXPECT_FALSE(b.ShowsFocusRect());
    ExpectFrame(f, kWhite, kWhite, kDarkGray);
    EXPECT_EQ(At(f, 29, 7), kCaptionGray);
}

TEST(HSButtonFace, NewButtonIsBlackWithTheDefaultBevel) {
    HSTestButton b;
    EXPECT_EQ(b.Width(), 100);
    EXPECT_EQ(b.Height(), 23);
    const Image f = b.Face();
    EXPECT_EQ(At(f, 50, 11), 0u);
    EXPECT_EQ(At(f, 0, 5), kWhite);
    EXPECT_EQ(At(f, 99, 5), FromPixel(ToPixel(kClGray)));
    b.MouseEnter();  // no hot colour: nothing changes
    EXPECT_EQ(At(b.Face(), 50, 11), 0u);
}

TEST(HSButtonFace, NormalBevelHasOneLinePerBorderUnit) {
    FaceInputs in;
    in.color = Rgb(10, 20, 30);
    in.light_color = Rgb(200, 200, 200);
    in.shadow_color = Rgb(50, 50, 50);
    in.border = 3;
    const Image f = Draw(in, 30, 20);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(At(f, k, 10), Rgb(200, 200, 200)) << k;
        EXPECT_EQ(At(f, 15, k), Rgb(200, 200, 200)) << k;
        EXPECT_EQ(At(f, 29 - k, 10), Rgb(50, 50, 50)) << k;
        EXPECT_EQ(At(f, 15, 19 - k), Rgb(50, 50, 50)) << k;
    }
    EXPECT_EQ(At(f, 3, 10), Rgb(10, 20, 30));
    EXPECT_EQ(At(f, 26, 10), Rgb(10, 20, 30));
    // Corners: the top-right pixel of each ring is shadow, the bottom-left one light.
    EXPECT_EQ(At(f, 29, 0), Rgb(50, 50, 50));
    EXPECT_EQ(At(f, 0, 19), Rgb(200, 200, 200));
    in.border = 0;
    EXPECT_EQ(At(Draw(in, 30, 20), 0, 10), Rgb(10, 20, 30));
}

TEST(HSButtonFace, EncartaPressedKeepsItsPlaceSwapsColoursAndTurnsBold) {
    FaceInputs in;
    in.style = S::bsEncarta;
    in.color = kWhite;
    in.shadow_color = kDarkGray;
    in.caption = "ab";
    in.pressed = true;
    const Image f = Draw(in, 40, 20);
    EXPECT_EQ(At(f, 0, 10), kDarkGray);
    EXPECT_EQ(At(f, 39, 10), kWhite);
    // Bold boxes are 7 wide: "ab" is 14 wide, centred in (4, 4) - (36, 16) from x 13, so the
    // first box starts at x 14 (plain, 12 wide from x 14, it would start at x 15).
    EXPECT_EQ(At(f, 14, 6), 0u);
    EXPECT_EQ(At(f, 13, 6), kWhite);
    EXPECT_EQ(At(f, 19, 6), kWhite);
    EXPECT_EQ(At(f, 21, 6), 0u);
}

TEST(HSButtonFace, FlatNormalShowsItsBorderOnlyWhenHotOrPressed) {
    FaceInputs in;
    in.color = Rgb(100, 100, 100);
    in.flat = true;
    EXPECT_EQ(At(Draw(in, 20, 10), 0, 5), Rgb(100, 100, 100));
    in.hot = true;
    EXPECT_EQ(At(Draw(in, 20, 10), 0, 5), kWhite);
    in.hot = false;
    in.pressed = true;
    EXPECT_EQ(At(Draw(in, 20, 10), 0, 5), FromPixel(ToPixel(kClGray)));
    in.enabled = false;  // disabled and flat: never a border
    in.hot = true;
    EXPECT_EQ(At(Draw(in, 20, 10), 0, 5), Rgb(100, 100, 100));
    in.flat = false;  // disabled, not flat: the border stays
    EXPECT_EQ(At(Draw(in, 20, 10), 0, 5), kWhite);
}

// A gradient over 10 rows from black to 248 grows by exactly 8 a band; the 32 bands overlap
// and the last band starting on a row decides it: rows show bands 3, 6, 9, 12, 15, 19, 22,
// 25, 28, 31.
TEST(HSButtonFace, ModernGradientDrawsAll32BandsOverFewerRows) {
    FaceInputs in;
    in.style = S::bsModern;
    in.border = 0;
    in.flat = true;
    in.color = 0;
    in.light_color = Rgb(248, 248, 248);
    const Image f = Draw(in, 40, 40, true);
    const int band[10] = {3, 6, 9, 12, 15, 19, 22, 25, 28, 31};
    for (int y = 0; y < 10; ++y) EXPECT_EQ(At(f, 20, y), Rgb(8 * band[y], 8 * band[y], 8 * band[y])) << y;
    // The lower gradient runs from light back to the face over rows 10..39 (bands 1, 2, 3, ...).
    EXPECT_EQ(At(f, 20, 10), Rgb(240, 240, 240));
    EXPECT_EQ(At(f, 20, 11), Rgb(232, 232, 232));
    EXPECT_EQ(At(f, 20, 39), Rgb(0, 0, 0));
    // Border 0: square corners, nothing left at the key colour.
    EXPECT_NE(At(f, 0, 0), kKey);
    EXPECT_NE(At(f, 39, 0), kKey);
    EXPECT_NE(At(f, 0, 39), kKey);
    EXPECT_NE(At(f, 39, 39), kKey);
}

TEST(HSButtonFace, ModernCornersAreRoundedWithTheBorderAsRadius) {
    FaceInputs in;
    in.style = S::bsModern;
    in.border = 4;
    in.flat = true;
    in.color = Rgb(0, 0, 200);
    in.light_color = Rgb(0, 0, 255);
    const Image f = Draw(in, 40, 40, true);
    // Insets 4, 1, 1, 0 from the top row down, and the same from the bottom row up.
    EXPECT_EQ(At(f, 3, 0), kKey);
    EXPECT_NE(At(f, 4, 0), kKey);
    EXPECT_EQ(At(f, 36, 0), kKey);
    EXPECT_NE(At(f, 35, 0), kKey);
    EXPECT_EQ(At(f, 0, 1), kKey);
    EXPECT_NE(At(f, 1, 1), kKey);
    EXPECT_NE(At(f, 0, 3), kKey);
    EXPECT_EQ(At(f, 3, 39), kKey);
    EXPECT_NE(At(f, 4, 39), kKey);
    EXPECT_EQ(At(f, 0, 38), kKey);
    EXPECT_NE(At(f, 0, 36), kKey);
    // Not flat: the outline follows the same shape in the face colour (shadow when pressed).
    in.flat = false;
    const Image framed = Draw(in, 40, 40, true);
    EXPECT_EQ(At(framed, 4, 0), Rgb(0, 0, 200));
    EXPECT_EQ(At(framed, 0, 20), Rgb(0, 0, 200));
    EXPECT_EQ(At(framed, 3, 0), kKey);
    in.pressed = true;
    in.shadow_color = Rgb(9, 9, 9);
    EXPECT_EQ(At(Draw(in, 40, 40, true), 0, 20), Rgb(9, 9, 9));
}

void ExpectNear(Color got, Color want) {
    EXPECT_NEAR(RedOf(got), RedOf(want), 1);
    EXPECT_NEAR(GreenOf(got), GreenOf(want), 1);
    EXPECT_NEAR(BlueOf(got), BlueOf(want), 1);
}

// 64 rows: each half is 32 rows, so each band shows on its own row.
TEST(HSButtonFace, GlassSplitsAtHalfHeightAndMarksTheSplitEnds) {
    FaceInputs in;
    in.style = S::bsGlass;
    in.border = 0;
    in.color = Rgb(0, 0, 0);
    in.light_color = Rgb(100, 150, 200);
    in.flat = true;
    const Image flat = Draw(in, 30, 64, true);
    EXPECT_EQ(At(flat, 15, 0), Rgb(100, 150, 200));     // upper gradient from the light colour
    ExpectNear(At(flat, 15, 31), Rgb(68, 118, 168));    // to light - 32
    EXPECT_EQ(At(flat, 15, 32), Rgb(0, 0, 0));          // lower one from the face
    ExpectNear(At(flat, 15, 63), Rgb(100, 150, 200));   // to light + 0
    EXPECT_EQ(At(flat, 1, 32), Rgb(0, 0, 0));
    in.flat = false;
    const Image f = Draw(in, 30, 64, true);
    EXPECT_EQ(At(f, 1, 32), Rgb(68, 118, 168));
    EXPECT_EQ(At(f, 28, 32), Rgb(68, 118, 168));
    EXPECT_EQ(At(f, 2, 32), Rgb(0, 0, 0));
    in.pressed = true;  // the split line moves down with the press
    EXPECT_EQ(At(Draw(in, 30, 64, true), 1, 34), Rgb(68, 118, 168));
}

TEST(HSButtonFace, QuickenIsAFilledRoundedShapeBetweenTwoShadowLines) {
    FaceInputs in;
    in.style = S::bsQuicken;
    in.border = 3;
    in.color = Rgb(0, 48, 96);
    in.shadow_color = Rgb(192, 192, 192);
    in.flat = true;  // Quicken draws its shape when flat too
    const Image f = Draw(in, 30, 16, true);
    EXPECT_EQ(At(f, 2, 0), kKey);
    EXPECT_EQ(At(f, 3, 0), Rgb(192, 192, 192));
    EXPECT_EQ(At(f, 25, 0), Rgb(192, 192, 192));
    EXPECT_EQ(At(f, 26, 0), kKey);  // the line stops before W - Border - 1
    EXPECT_EQ(At(f, 15, 15), Rgb(192, 192, 192));
    EXPECT_EQ(At(f, 15, 8), Rgb(0, 48, 96));
    EXPECT_EQ(At(f, 0, 8), Rgb(0, 48, 96));
    EXPECT_EQ(At(f, 0, 1), kKey);  // rounded corner of the shape below row 0
}

TEST(HSButtonFace, OldStyleUsesTheSystemThreeDColours) {
    const SystemPalette& pal = SystemPalette::Classic();
    const Color light = pal.Resolve(kCl3DLight), dark = pal.Resolve(kCl3DDkShadow);
    FaceInputs in;
    in.style = S::bsOld;
    in.color = Rgb(1, 2, 3);
    in.shadow_color = Rgb(90, 90, 90);
    const Image up = Draw(in, 30, 20);
    EXPECT_EQ(At(up, 0, 10), light);
    EXPECT_EQ(At(up, 15, 0), light);
    // The 3-pixel pen centred on the last column and row covers the two outer lines.
    EXPECT_EQ(At(up, 29, 10), dark);
    EXPECT_EQ(At(up, 28, 10), dark);
    EXPECT_EQ(At(up, 27, 10), Rgb(1, 2, 3));
    EXPECT_EQ(At(up, 15, 18), dark);
    in.pressed = true;
    const Image down = Draw(in, 30, 20);
    EXPECT_EQ(At(down, 0, 10), dark);
    EXPECT_EQ(At(down, 1, 10), Rgb(90, 90, 90));  // inner shadow line along left and top
    EXPECT_EQ(At(down, 15, 1), Rgb(90, 90, 90));
    EXPECT_EQ(At(down, 29, 10), light);
}

TEST(HSButtonFace, FocusedOldButtonGetsABlackFrameAndAShiftedFace) {
    HSTestButton b;
    b.SetBounds(0, 0, 30, 20);
    b.SetStyle(S::bsOld);
    b.SetColor(Rgb(0, 0, 160));
    b.FocusChanged(true);
    const Image f = b.Face();
    for (int x = 0; x < 30; ++x) EXPECT_EQ(At(f, x, 0), 0u);
    for (int y = 0; y < 20; ++y) EXPECT_EQ(At(f, 29, y), 0u);
    // The face drawn at 28 x 18 moved one pixel right and down: its light left edge is x 1.
    EXPECT_EQ(At(f, 1, 10), SystemPalette::Classic().Resolve(kCl3DLight));
    EXPECT_EQ(At(f, 3, 10), Rgb(32, 32, 192));  // focused: the hot colour, Color + 32
}

TEST(HSButtonFace, ShapeShowsOnlyGlyphAndCaptionAndNeverGreysTheCaption) {
    FaceInputs in;
    in.style = S::bsShape;
    in.color = Rgb(1, 1, 1);
    in.enabled = false;
    in.caption = "ab";
    in.font.color = Rgb(0, 0, 255);
    Image glyph(4, 4, ToPixel(Rgb(0, 200, 0)));
    glyph.at(0, 3) = ToPixel(Rgb(9, 9, 9));  // the key colour
    glyph.at(2, 0) = ToPixel(Rgb(9, 9, 9));  // shows at (15, 8), between the caption's boxes
    in.glyph = &glyph;
    in.num_glyphs = 1;
    const Image f = Draw(in, 30, 20, true);
    EXPECT_EQ(At(f, 0, 0), kKey);
    EXPECT_EQ(At(f, 29, 19), kKey);
    EXPECT_EQ(At(f, 15, 9), Rgb(0, 200, 0));   // glyph at ((30-4)/2, (20-4)/2)
    EXPECT_EQ(At(f, 15, 8), kKey);             // a pixel of its key colour left out
    EXPECT_EQ(At(f, 10, 6), Rgb(0, 0, 255));   // caption "ab" centred in (0, 4)-(30, 20), not grey
    EXPECT_EQ(At(f, 9, 6), kKey);
    HSTestButton b;
    b.SetStyle(S::bsShape);
    b.FocusChanged(true);
    EXPECT_FALSE(b.ShowsFocusRect());
}

// A 4-cell strip of 4 x 4 cells, cell c filled with colour kCell[c] and its bottom-left
// pixel the key colour, drawn centred in a 20 x 20 face: the glyph covers (8, 8)-(12, 12).
constexpr Color kCell[4] = {Rgb(10, 0, 0), Rgb(20, 0, 0), Rgb(30, 0, 0), Rgb(40, 0, 0)};

struct HSGlyphCells : ::testing::Test {
    Image strip{16, 4};
    FaceInputs in;
    void SetUp() override {
        for (int c = 0; c < 4; ++c)
            for (int y = 0; y < 4; ++y)
                for (int x = 0; x < 4; ++x) strip.at(4 * c + x, y) = ToPixel(kCell[c]);
        for (int c = 0; c < 4; ++c) strip.at(4 * c, 3) = ToPixel(Rgb(0, 99, 0));
        in.color = kWhite;
        in.glyph = &strip;
        in.num_glyphs = 4;
    }
    Color Shown(int dx = 0) { return At(Draw(in, 20, 20), 9 + dx, 9 + dx); }
};

TEST_F(HSGlyphCells, StateChoosesTheCell) {
    EXPECT_EQ(Shown(), kCell[0]);
    in.hot = true;
    EXPECT_EQ(Shown(), kCell[3]);
    in.pressed = true;  // pressed wins over hot, and moves the glyph
    EXPECT_EQ(Shown(2), kCell[2]);
    in.enabled = false;  // disabled: cell 1, never pressed
    EXPECT_EQ(Shown(), kCell[1]);
}

TEST_F(HSGlyphCells, MissingCellsFallBackToTheFirst) {
    in.num_glyphs = 2;  // cells now 8 wide: the strip has cells 0 and 1 only
    in.hot = true;
    in.pressed = true;
    EXPECT_EQ(At(Draw(in, 20, 20), 9, 10), kCell[0]);  // 2 cells: neither hot nor pressed cells
    Image one(4, 4, ToPixel(kCell[3]));
    one.at(0, 3) = ToPixel(Rgb(0, 99, 0));
    in.glyph = &one;
    in.num_glyphs = 1;
    in.enabled = false;  // a disabled one-cell glyph shows its only cell
    EXPECT_EQ(Shown(), kCell[3]);
}

TEST_F(HSGlyphCells, KeyColourIsTheCellsBottomLeftPixel) {
    const Image f = Draw(in, 20, 20);
    EXPECT_EQ(At(f, 8, 11), kWhite);  // the key pixel shows the face
    EXPECT_EQ(At(f, 9, 11), kCell[0]);
    in.num_glyphs = 0;  // no cells: no glyph
    EXPECT_EQ(At(Draw(in, 20, 20), 9, 9), kWhite);
}

TEST(HSButtonFace, GlyphLeftCentresGlyphAndCaptionAsOneGroup) {
    Image glyph(8, 8, ToPixel(Rgb(0, 0, 99)));
    glyph.at(0, 7) = ToPixel(Rgb(1, 2, 3));
    FaceInputs in;
    in.color = kWhite;
    in.glyph = &glyph;
    in.num_glyphs = 1;
    in.caption = "abcd";  // 24 wide in the box font
    const Image f = Draw(in, 60, 20);
    // Group: glyph 8 + gap 4 + caption 24 = 36, centred from x 12: glyph 12..19, caption 24..47.
    EXPECT_EQ(At(f, 12, 6), Rgb(0, 0, 99));
    EXPECT_EQ(At(f, 11, 6), kWhite);
    EXPECT_EQ(At(f, 19, 6), Rgb(0, 0, 99));
    EXPECT_EQ(At(f, 25, 6), 0u);
    EXPECT_EQ(At(f, 24, 6), kWhite);
    in.layout = THSButtonLayout::blGlyphRight;
    const Image r = Draw(in, 60, 20);  // caption 12..35, glyph 40..47
    EXPECT_EQ(At(r, 13, 6), 0u);
    EXPECT_EQ(At(r, 40, 6), Rgb(0, 0, 99));
    EXPECT_EQ(At(r, 39, 6), kWhite);
}

TEST(HSButtonFace, LongCaptionIsCutByWholeCharactersUnlessWordWrap) {
    BoxTextRenderer text;
    FontSpec font;
    EXPECT_EQ(FitCaption(text, font, "ab中文字", 47), "ab中文");
    EXPECT_EQ(FitCaption(text, font, "ab中文字", 35), "ab中");
    EXPECT_EQ(FitCaption(text, font, "ab中文字", 100), "ab中文字");
    EXPECT_EQ(FitCaption(text, font, "中", 0), "");
    FaceInputs in;
    in.color = kWhite;
    in.caption = "中文中文中文";  // 72 wide, 40 - 8 = 32 available: "中文" stays
    const Image cut = Draw(in, 40, 20);
    EXPECT_EQ(At(cut, 9, 6), 0u);
    EXPECT_EQ(At(cut, 21, 6), 0u);
    EXPECT_EQ(At(cut, 33, 6), kWhite);
    in.word_wrap = true;  // three lines of "中文" (the box's 32 pixels hold two), centred
    in.caption = "中文中文中文";
    const Image wrapped = Draw(in, 40, 40);
    // th = 36: lines at y 2, 14, 26; boxes from y + 2.
    EXPECT_EQ(At(wrapped, 9, 4), 0u);
    EXPECT_EQ(At(wrapped, 9, 16), 0u);
    EXPECT_EQ(At(wrapped, 9, 28), 0u);
    EXPECT_EQ(At(wrapped, 9, 3), kWhite);
}

TEST(HSButtonFace, DropDownArrowIsDrawnLastWithItsKeyColour) {
    Image arrow(3, 2, ToPixel(Rgb(5, 5, 5)));
    arrow.at(0, 1) = ToPixel(Rgb(0, 255, 0));  // bottom-left: the key
    BoxTextRenderer text;
    FaceTools tools{text};
    tools.arrow = &arrow;
    FaceInputs in;
    in.color = kWhite;
    in.has_popup = true;
    Image image(40, 20);
    DrawButtonFace(image.view(), 40, 20, in, tools);
    EXPECT_EQ(At(image, 29, 9), Rgb(5, 5, 5));  // at (W - 11, H div 2 - 1)
    EXPECT_EQ(At(image, 29, 10), kWhite);
    EXPECT_EQ(At(image, 30, 10), Rgb(5, 5, 5));
    in.has_popup = false;
    DrawButtonFace(image.view(), 40, 20, in, tools);
    EXPECT_EQ(At(image, 29, 9), kWhite);
}

TEST(HSButtonFace, FadeStepBlendsFaceAndHotColourTruncating) {
    FaceInputs in;
    in.color = Rgb(0, 100, 255);
    in.hot_track_color = Rgb(255, 0, 0);
    in.fade_step = 3;  // 0*5/8 + 255*3/8 = 95.6; 100*5/8 = 62.5; 255*5/8 = 159.4
    EXPECT_EQ(At(Draw(in, 20, 10), 10, 5), Rgb(95, 62, 159));
    in.fade_step = 8;
    EXPECT_EQ(At(Draw(in, 20, 10), 10, 5), Rgb(255, 0, 0));
    in.pressed = true;
    in.color_when_down = Rgb(7, 7, 7);
    EXPECT_EQ(At(Draw(in, 20, 10), 10, 5), Rgb(7, 7, 7));
}

// Blur worked out by hand. One row 30, 60, 90 with radius 1: 40 = (30+30+60)/3, then the
// updated 40 feeds (40+60+90)/3 = 63, then (63+90+90)/3 = 81; the column pass over one row
// sees only the pixel itself.
TEST(HSButtonBlur, RowPassIsInPlaceLeftToRight) {
    Image b(3, 1);
    b.at(0, 0) = 0x11000000 | 30;
    b.at(1, 0) = 0x22000000 | 60;
    b.at(2, 0) = 0x33000000 | 90;
    Blur(b.view(), 1);
    EXPECT_EQ(b.at(0, 0), 0x11000000u | 40);
    EXPECT_EQ(b.at(1, 0), 0x22000000u | 63);
    EXPECT_EQ(b.at(2, 0), 0x33000000u | 81);  // the fourth byte untouched
}

// 2 x 2, blue 0 90 / 30 60, radius 1. Rows: 30 70 / 40 53. Columns: 33 64 / 37 56.
TEST(HSButtonBlur, ColumnsFollowTheRows) {
    Image b(2, 2);
    b.at(0, 0) = 0, b.at(1, 0) = 90, b.at(0, 1) = 30, b.at(1, 1) = 60;
    Blur(b.view(), 1);
    EXPECT_EQ(b.at(0, 0), 33u);
    EXPECT_EQ(b.at(1, 0), 64u);
    EXPECT_EQ(b.at(0, 1), 37u);
    EXPECT_EQ(b.at(1, 1), 56u);
    Image c(2, 1, 0x00FF8040);  // channels stay apart: a uniform image does not change
    Blur(c.view(), 5);
    EXPECT_EQ(c.at(1, 0), 0x00FF8040u);
}

TEST(HSButtonBlur, SmoothBlursNormalFacesOnly) {
    FaceInputs in;
    in.color = Rgb(0, 0, 0);
    in.light_color = Rgb(90, 90, 90);
    in.shadow_color = Rgb(0, 0, 0);
    in.smooth = 1;
    const Image f = Draw(in, 10, 10);
    EXPECT_EQ(At(f, 1, 5), Rgb(20, 20, 20));  // the light left line bled into its neighbour
    in.style = S::bsModern;
    in.border = 2;
    const Image blurred = Draw(in, 10, 10, true);
    in.smooth = 0;
    const Image sharp = Draw(in, 10, 10, true);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) EXPECT_EQ(At(blurred, x, y), At(sharp, x, y));
}

TEST(HSButtonBlur, RoundingIsHalfToEven) {
    EXPECT_EQ(RoundHalfEven(2.5), 2.0);
    EXPECT_EQ(RoundHalfEven(3.5), 4.0);
    EXPECT_EQ(RoundHalfEven(2.4999), 2.0);
    EXPECT_EQ(RoundHalfEven(0.5), 0.0);
    EXPECT_EQ(RoundHalfEven(1.5), 2.0);
}

// Degenerate sizes, huge borders and radii: the face stays inside its image. The image is a
// window into a larger canvas whose guard pixels must not change.
TEST(HSButtonFace, EveryStyleStaysInsideItsImageAtAnySize) {
    constexpr int kGuard = 300;
    Image glyph(10, 5, ToPixel(Rgb(1, 2, 3)));
    Image arrow(7, 4, ToPixel(Rgb(0, 0, 0)));
    for (int style = 0; style <= 6; ++style) {
        for (const auto& [w, h] : {std::pair{0, 0}, {1, 1}, {2, 3}, {5, 2}, {7, 40}, {92, 23}}) {
            for (int border : {0, 1, 255}) {
                FaceInputs in;
                in.style = static_cast<THSButtonStyle>(style);
                in.border = border;
                in.smooth = border == 255 ? 300 : 1;
                in.caption = "Long caption 长标题";
                in.word_wrap = border == 1;
                in.glyph = &glyph;
                in.num_glyphs = 2;
                in.has_popup = true;
                in.pressed = true;
                in.layout = static_cast<THSButtonLayout>(border % 4);
                Image canvas(w + 2 * kGuard, h + 2 * kGuard, 0x5A5A5A5A);
                const ImageView all = canvas.view();
                const ImageView inner{&all.at(kGuard, kGuard), w, h, all.stride};
                BoxTextRenderer text;
                FaceTools tools{text};
                tools.arrow = &arrow;
                DrawButtonFace(inner, w, h, in, tools);
                int touched = 0;
                for (int y = 0; y < canvas.height; ++y)
                    for (int x = 0; x < canvas.width; ++x) {
                        const bool inside = x >= kGuard && y >= kGuard && x < kGuard + w && y < kGuard + h;
                        touched += !inside && canvas.at(x, y) != 0x5A5A5A5Au;
                    }
                EXPECT_EQ(touched, 0) << "style " << style << " " << w << "x" << h << " border " << border;
            }
        }
    }
}

}  // namespace
}  // namespace setup

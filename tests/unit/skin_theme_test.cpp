// The built-in theme table, its look-ups, style resolution and the strip helpers.
#include "controls/skin/theme.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "controls/skin/file_theme.h"
#include "base/image.h"

namespace setup::skin {
namespace {

using S = TsuiUIStyle;
constexpr S kBuiltIn[] = {S::MacOS, S::WinXP, S::DeepBlue, S::Protein, S::BlueGlass};

TEST(ThemeTable, NeutralResultsForStylesWithoutAColumn) {
    EXPECT_EQ(BuiltInThemeColor(S::FromThemeFile, 25), 0u);
    EXPECT_EQ(BuiltInThemeInteger(S::FromThemeFile, 7), -1);
    EXPECT_FALSE(BuiltInThemeFlag(S::FromThemeFile, 2));
    EXPECT_EQ(BuiltInThemeBitmapName(S::FromThemeFile, 1), "");
    const auto v = BuiltInThemeItem(static_cast<S>(6), 7);
    EXPECT_EQ(v.kind, ThemeItemKind::kInteger);
    EXPECT_EQ(v.number, -1);
    // Only the low seven bits of the style count: 0x83 is DeepBlue.
    EXPECT_EQ(BuiltInThemeInteger(static_cast<S>(0x83), 13), 130);
    EXPECT_EQ(BuiltInThemeInteger(static_cast<S>(0x80), 13), -1);
}

TEST(ThemeTable, ItemsOfAnotherKindGiveNeutralResults) {
    EXPECT_EQ(BuiltInThemeColor(S::DeepBlue, 1), 0u);     // a bitmap
    EXPECT_EQ(BuiltInThemeInteger(S::DeepBlue, 15), -1);  // a colour
    EXPECT_FALSE(BuiltInThemeFlag(S::MacOS, 7));           // an integer
    EXPECT_EQ(BuiltInThemeBitmapName(S::MacOS, 2), "");    // a flag
    EXPECT_EQ(BuiltInThemeInteger(S::WinXP, 8), -2);
}

TEST(ThemeTable, ItemNumbersOutsideTheTableAreNeutral) {
    for (int item : {0, -1, 49, 1000}) {
        EXPECT_EQ(BuiltInThemeItem(S::DeepBlue, item).kind, ThemeItemKind::kInteger) << item;
        EXPECT_EQ(BuiltInThemeInteger(S::DeepBlue, item), -1) << item;
        EXPECT_EQ(BuiltInThemeColor(S::DeepBlue, item), 0u) << item;
    }
}

TEST(ThemeTable, EveryItemHasOneKindForAllStyles) {
    for (int item = 1; item <= kThemeItemCount; ++item) {
        const auto kind = BuiltInThemeItem(S::MacOS, item).kind;
        for (S s : kBuiltIn) EXPECT_EQ(BuiltInThemeItem(s, item).kind, kind) << "item " << item;
    }
}

TEST(ThemeTable, ValuesOfTheItemsTheControlsRead) {
    // Group box border (25) and caption (27) colours per style.
    EXPECT_EQ(BuiltInThemeColor(S::WinXP, ThemeItemControlBorderColor), Rgb(104, 104, 104));
    EXPECT_EQ(BuiltInThemeColor(S::WinXP, ThemeItemControlFontColor), Rgb(2, 70, 207));
    EXPECT_EQ(BuiltInThemeColor(S::MacOS, ThemeItemControlBorderColor), Rgb(127, 127, 127));
    for (S s : {S::DeepBlue, S::Protein, S::BlueGlass}) {
        EXPECT_EQ(BuiltInThemeColor(s, ThemeItemControlBorderColor), 0u);
        EXPECT_EQ(BuiltInThemeColor(s, ThemeItemControlFontColor), 0u);
    }
    EXPECT_EQ(BuiltInThemeBitmapName(S::BlueGlass, ThemeItemButtonStrip), "BLUEGLASS_BUTTON");
    EXPECT_EQ(BuiltInThemeBitmapName(S::MacOS, ThemeItemCheckBoxStrip), "MACOS_CHECKBOX");
    EXPECT_EQ(BuiltInThemeBitmapName(S::Protein, ThemeItemRadioButtonStrip), "PROTEIN_RADIOBUTTON");
}

TEST(ThemeTable, SpotValuesAcrossTheTable) {
    EXPECT_TRUE(BuiltInThemeFlag(S::MacOS, 2));
    EXPECT_FALSE(BuiltInThemeFlag(S::WinXP, 2));
    EXPECT_TRUE(BuiltInThemeFlag(S::BlueGlass, 6));
    EXPECT_EQ(BuiltInThemeInteger(S::BlueGlass, 8), -3);
    EXPECT_EQ(BuiltInThemeInteger(S::BlueGlass, 13), 270);
    EXPECT_EQ(BuiltInThemeInteger(S::WinXP, 14), 13);
    EXPECT_EQ(BuiltInThemeColor(S::WinXP, 16), Rgb(0, 44, 200));
    EXPECT_EQ(BuiltInThemeColor(S::Protein, 18), Rgb(45, 48, 196));
    EXPECT_EQ(BuiltInThemeColor(S::WinXP, 19), Rgb(198, 211, 239));
    EXPECT_EQ(BuiltInThemeColor(S::BlueGlass, 21), Rgb(231, 231, 231));
    EXPECT_EQ(BuiltInThemeColor(S::MacOS, 31), Rgb(201, 201, 201));
    EXPECT_EQ(BuiltInThemeColor(S::WinXP, 37), Rgb(147, 172, 225));
    EXPECT_EQ(BuiltInThemeColor(S::MacOS, 44), 0u);
    EXPECT_EQ(BuiltInThemeColor(S::Protein, 48), Rgb(251, 251, 251));
    EXPECT_EQ(BuiltInThemeInteger(S::Protein, 47), 0);
    EXPECT_EQ(BuiltInThemeBitmapName(S::WinXP, 38), "WINXP_SCROLLBUTTON");
    for (S s : {S::DeepBlue, S::Protein, S::BlueGlass}) EXPECT_EQ(BuiltInThemeBitmapName(s, 38), "MORE_SCROLLBUTTON");
    EXPECT_EQ(BuiltInThemeBitmapName(S::DeepBlue, 41), "DEEPBLUE_SIDECHENNEL_HANDLE");
    for (int item : {43, 45, 46}) {
        EXPECT_EQ(BuiltInThemeItem(S::MacOS, item).kind, ThemeItemKind::kBitmap);
        EXPECT_EQ(BuiltInThemeBitmapName(S::MacOS, item), "");
    }
    EXPECT_EQ(AllBuiltInThemeBitmapNames().size(), 18u * 5 + 3);
}

TEST(ThemeTable, StyleNamesRoundTrip) {
    for (int i = 0; i <= 5; ++i) EXPECT_EQ(ParseUIStyle(UIStyleName(static_cast<S>(i))), static_cast<S>(i));
    EXPECT_FALSE(ParseUIStyle("Aqua").has_value());
}

// Strip helpers.
Image Numbered(int w, int h) {
    Image img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.at(x, y) = static_cast<uint32_t>(x) << 8 | static_cast<uint32_t>(y);
    return img;
}
int SourceColumn(const Image& frame, int x) { return static_cast<int>(frame.at(x, 0) >> 8 & 0xFF); }

TEST(StripFrame, LastFrameIsTakenFromTheRightEdge) {
    const Image strip = Numbered(54, 13);
    Image f;
    ExtractStripFrame(strip, &f, 4, 3);
    ASSERT_EQ(f.width, 13);
    ASSERT_EQ(f.height, 13);
    EXPECT_EQ(SourceColumn(f, 0), 26);
    EXPECT_EQ(SourceColumn(f, 12), 38);
    ExtractStripFrame(strip, &f, 4, 4);
    ASSERT_EQ(f.width, 13);
    EXPECT_EQ(SourceColumn(f, 0), 41);
    EXPECT_EQ(SourceColumn(f, 12), 53);
    ExtractStripFrame(strip, &f, 4, 1);
    EXPECT_EQ(SourceColumn(f, 0), 0);
    EXPECT_EQ(f.at(5, 7) & 0xFF, 7u);  // rows are copied as they are
}

TEST(StripFrame, BadCountsAndIndexesNeverReadOutsideTheStrip) {
    const Image strip = Numbered(30, 4);
    Image f;
    ExtractStripFrame(strip, &f, 0, 1);  // count 0 is taken as one frame
    EXPECT_EQ(f, strip);
    ExtractStripFrame(strip, &f, 3, 0);
    EXPECT_TRUE(f.empty());
    ExtractStripFrame(strip, &f, 3, 4);
    EXPECT_TRUE(f.empty());
    ExtractStripFrame(strip, &f, 40, 40);  // frames narrower than a pixel
    EXPECT_TRUE(f.empty());
    ExtractStripFrame(strip, nullptr, 3, 1);  // no destination: nothing happens
}

TEST(ThemeSourceRule, FileThemeOnlyWhenReady) {
    struct NoFiles : SkinFileHost {
        bool FileExists(const std::string&) override { return false; }
        std::optional<std::vector<uint8_t>> ReadFile(const std::string&) override { return std::nullopt; }
        std::string ModuleFolder() override { return "C:\\App\\"; }
        std::string WindowsFolder() override { return "C:\\Windows"; }
        std::string SystemFolder() override { return "C:\\Windows\\system32"; }
    } host;
    TsuiFileTheme theme(host);
    theme.SetThemeFile("C:\\nowhere\\x.skn");
    EXPECT_FALSE(theme.Ready());
    EXPECT_EQ(ResolveThemeSource(&theme, S::FromThemeFile), (ThemeSource{false, S::DeepBlue}));
    EXPECT_EQ(ResolveThemeSource(nullptr, S::FromThemeFile), (ThemeSource{false, S::DeepBlue}));
    EXPECT_EQ(ResolveThemeSource(&theme, S::WinXP), (ThemeSource{false, S::WinXP}));
    EXPECT_EQ(ResolveThemeSource(nullptr, S::MacOS), (ThemeSource{false, S::MacOS}));
}

TEST(StylePropagation, SetsThemeFirstThenStyleAndSkipsOtherChildren) {
    struct Child : StyledControl {
        std::vector<std::string> calls;
        void SetFileTheme(TsuiFileTheme* t) override { calls.push_back(t ? "theme" : "no theme"); }
        void SetUIStyle(TsuiUIStyle s) override { calls.push_back(std::string(UIStyleName(s))); }
    } a, b;
    StyledControl* children[] = {&a, nullptr, &b};
    PropagateStyleToChildren(children, S::Protein, nullptr);
    EXPECT_EQ(a.calls, (std::vector<std::string>{"no theme", "Protein"}));
    EXPECT_EQ(b.calls, a.calls);
}

}  // namespace
}  // namespace setup::skin

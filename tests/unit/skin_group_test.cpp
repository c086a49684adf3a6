// Radio and check groups: layout, ItemIndex, OnClick rules, frame and colours; URL label.
#include "controls/skin/group_model.h"

#include <gtest/gtest.h>

#include "controls/skin/url_label_model.h"
#include "tests/support/fake_platform.h"

namespace setup::skin {
namespace {

GroupLayoutInput Example(int count, int columns) {
    GroupLayoutInput in;
    in.client_width = in.control_width = 185;
    in.client_height = 105;
    in.font_height = -12;
    in.top_margin = 8;
    in.columns = columns;
    in.button_widths.assign(static_cast<size_t>(count), 60);
    return in;
}

TEST(GroupLayout, FiveItemsInTwoColumns) {
    const auto p = LayoutGroupButtons(Example(5, 2));
    ASSERT_EQ(p.size(), 5u);
    EXPECT_EQ(p[0], (Point{8, 21}));
    EXPECT_EQ(p[1], (Point{8, 48}));
    EXPECT_EQ(p[2], (Point{8, 75}));
    EXPECT_EQ(p[3], (Point{95, 21}));
    EXPECT_EQ(p[4], (Point{95, 48}));
}

TEST(GroupLayout, RightToLeftMirrorsColumns) {
    auto in = Example(5, 2);
    in.right_to_left = true;
    const auto p = LayoutGroupButtons(in);
    EXPECT_EQ(p[0].x, 185 - 0 - 60 - 8);
    EXPECT_EQ(p[3].x, 185 - 87 - 60 - 8);
}

TEST(GroupLayout, ZeroColumnsIsOneColumnAndTinyGroupsDoNotFault) {
    const auto p = LayoutGroupButtons(Example(3, 0));
    ASSERT_EQ(p.size(), 3u);
    for (const auto& pt : p) EXPECT_EQ(pt.x, 8);
    EXPECT_LT(p[0].y, p[1].y);
    EXPECT_TRUE(LayoutGroupButtons(Example(0, 2)).empty());
    auto tiny = Example(4, 9);  // more columns than items, and a group too small for them
    tiny.client_height = tiny.control_width = 5;
    EXPECT_EQ(LayoutGroupButtons(tiny).size(), 4u);
}

TEST(RadioGroup, ItemIndexRules) {
    ItemGroupModel g(ItemGroupModel::Kind::kRadio);
    int clicks = 0;
    g.on_click = [&] { ++clicks; };
    g.SetItems({"a", "b", "c"});
    EXPECT_EQ(g.ItemIndex(), -1);
    g.SetItemIndex(1);
    EXPECT_EQ(g.ItemIndex(), 1);
    EXPECT_EQ(clicks, 1);
    g.SetItemIndex(5);
    g.SetItemIndex(3);
    g.SetItemIndex(-2);
    EXPECT_EQ(g.ItemIndex(), 1);
    g.SetItemIndex(2);
    EXPECT_FALSE(g.Checked(1));
    EXPECT_EQ(clicks, 2);
    g.SetItemIndex(-1);
    EXPECT_EQ(g.ItemIndex(), -1);
    EXPECT_EQ(clicks, 2);  // unchecking fires nothing
    g.SetItems({});
    EXPECT_EQ(g.ItemIndex(), -1);
}

TEST(RadioGroup, ClicksFireOnlyForNewSelections) {
    ItemGroupModel g(ItemGroupModel::Kind::kRadio);
    std::vector<size_t> changed;
    int clicks = 0;
    g.on_click = [&] { ++clicks; };
    g.on_item_changed = [&](size_t i) { changed.push_back(i); };
    g.SetItems({"a", "b"});
    g.ItemButtonClicked(0);
    g.ItemButtonClicked(0);
    EXPECT_EQ(clicks, 1);
    g.ItemButtonClicked(1);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(changed, (std::vector<size_t>{0, 1, 0}));
    g.SurfaceClicked();
    EXPECT_EQ(clicks, 3);
    g.loading = true;
    g.ItemButtonClicked(0);
    g.SurfaceClicked();
    EXPECT_EQ(clicks, 3);
    EXPECT_EQ(g.ItemIndex(), 0);
}

TEST(CheckGroup, EveryToggleClicksAndListChangesKeepStates) {
    ItemGroupModel g(ItemGroupModel::Kind::kCheck);
    int clicks = 0;
    g.on_click = [&] { ++clicks; };
    auto change = g.SetItems({"a", "b", "c"});
    EXPECT_EQ(change.created, 3u);
    g.ItemButtonClicked(0);
    g.ItemButtonClicked(2);
    g.ItemButtonClicked(2);
    EXPECT_EQ(clicks, 3);
    EXPECT_TRUE(g.Checked(0));
    EXPECT_FALSE(g.Checked(2));
    change = g.SetItems({"x", "y"});
    EXPECT_EQ(change.destroyed, 1u);
    EXPECT_TRUE(g.Checked(0));
    g.ItemButtonClicked(7);  // no such button
    EXPECT_EQ(clicks, 3);
}

TEST(GroupFrame, ClosedFrameWithoutCaptionAndGapForIt) {
    auto f = GroupFrameGeometry(185, 105, -12, 40, false, false);
    EXPECT_EQ(f.polyline.front(), (Point{2, 7}));
    EXPECT_EQ(f.polyline.back(), (Point{0, 7}));  // back to the start: closed
    EXPECT_EQ(f.polyline[3], (Point{184, 104}));
    f = GroupFrameGeometry(185, 105, 12, 40, true, false);
    EXPECT_EQ(f.polyline.back(), (Point{46, 7}));
    EXPECT_EQ(f.caption, (Point{5, 0}));
    f = GroupFrameGeometry(185, 105, 12, 40, true, true);
    EXPECT_EQ(f.polyline.back(), (Point{185 - 40 - 7, 7}));
    EXPECT_EQ(f.caption, (Point{185 - 40 - 6, 0}));
}

TEST(GroupColours, PerStyleAndFromTheSkinFileFallBack) {
    EXPECT_EQ(GroupStyleColors(nullptr, TsuiUIStyle::WinXP), (GroupColors{Rgb(104, 104, 104), Rgb(2, 70, 207)}));
    for (auto s : {TsuiUIStyle::BlueGlass, TsuiUIStyle::DeepBlue, TsuiUIStyle::Protein})
        EXPECT_EQ(GroupStyleColors(nullptr, s), (GroupColors{0, 0}));
    EXPECT_EQ(GroupStyleColors(nullptr, TsuiUIStyle::FromThemeFile), GroupStyleColors(nullptr, TsuiUIStyle::DeepBlue));
}

TEST(ItemButton, GeometryAndGlyphFrames) {
    EXPECT_EQ(ItemButtonAutoSize(13, 13, 50, 14), (Point{71, 20}));
    EXPECT_EQ(ItemButtonAutoSize(16, 17, 50, 12), (Point{74, 21}));
    const auto g = ItemButtonLayout(71, 20, 13, 13, 14, false);
    EXPECT_EQ(g.glyph, (Point{1, 3}));
    EXPECT_EQ(g.text, (Rect{17, 3, 71, 20}));
    EXPECT_EQ(g.focus, (Rect{16, 3, 71, 19}));
    const auto r = ItemButtonLayout(71, 20, 13, 13, 14, true);
    EXPECT_EQ(r.glyph, (Point{57, 3}));
    EXPECT_EQ(r.text.right, 54);
    EXPECT_EQ(GlyphFrame(true, true, false), 1);
    EXPECT_EQ(GlyphFrame(false, true, false), 2);
    EXPECT_EQ(GlyphFrame(true, false, false), 3);
    EXPECT_EQ(GlyphFrame(false, false, false), 4);
    EXPECT_EQ(GlyphFrame(false, true, true), 3);
    EXPECT_EQ(GlyphFrame(false, false, true), 6);
}

TEST(UrlLabel, ColourSequenceOfTheWizardsLabels) {
    UrlLabelModel l;
    EXPECT_EQ(l.FontColor(), kUrlLinkBlue);
    l.MouseEnter();
    EXPECT_EQ(l.FontColor(), kUrlHoverRed);
    l.MouseLeave();
    EXPECT_EQ(l.FontColor(), kUrlLinkBlue);
    // Form data: URL, FontHoverColor, FontLinkColor, then Font (blue).
    l.SetURL("https://www.zenta.example/license.html");
    l.SetFontHoverColor(kUrlHoverOrange);
    l.SetFontLinkColor(kUrlGray);
    l.SetFontColor(kUrlLinkBlue);
    EXPECT_EQ(l.FontColor(), kUrlLinkBlue);  // blue until the controller sets grey
    l.SetFontLinkColor(kUrlGray);
    EXPECT_EQ(l.FontColor(), kUrlGray);
    l.MouseEnter();
    EXPECT_EQ(l.FontColor(), 0x0099FFu);
    l.SetFontHoverColor(0x123456);  // not until the next enter
    EXPECT_EQ(l.FontColor(), 0x0099FFu);
    l.SetFontLinkColor(kUrlGray);  // at once, even under the mouse
    EXPECT_EQ(l.FontColor(), kUrlGray);
    l.MouseLeave();
    EXPECT_EQ(l.FontColor(), kUrlGray);
}

TEST(UrlLabel, ClickOpensTheStoredTextThenRaisesOnClick) {
    testing::FakeMachine m;
    UrlLabelModel l;
    std::vector<std::string> order;
    auto on_click = [&] { order.push_back("OnClick:" + std::to_string(m.shell.executed.size())); };
    l.SetURL("https://www.zenta.example/ ");
    l.Click(m.shell, on_click);
    ASSERT_EQ(m.shell.executed.size(), 1u);
    EXPECT_EQ(m.shell.executed[0].verb, "open");
    EXPECT_EQ(m.shell.executed[0].file, "https://www.zenta.example/ ");  // untrimmed
    EXPECT_EQ(m.shell.executed[0].params, "");
    EXPECT_EQ(m.shell.executed[0].show, kSwShow);
    EXPECT_FALSE(m.shell.executed[0].owner);
    EXPECT_EQ(order, (std::vector<std::string>{"OnClick:1"}));
    l.SetURL(" \t");
    l.Click(m.shell, on_click);
    l.SetURL("");
    l.Click(m.shell, nullptr);
    EXPECT_EQ(m.shell.executed.size(), 1u);
    EXPECT_EQ(order.back(), "OnClick:1");
    EXPECT_EQ(order.size(), 2u);
}

}  // namespace
}  // namespace setup::skin

namespace setup::skin {
namespace {

TEST(UrlLabel, SiteDomainOfTheSiteRoot) {
    EXPECT_EQ(SiteDomain("https://www.zenta.example/"), "www.zenta.example");
    EXPECT_EQ(SiteDomain("http://zenta.example"), "zenta.example");
    EXPECT_EQ(SiteDomain("www.zenta.example/x/y"), "www.zenta.example");
    EXPECT_EQ(SiteDomain(""), "");
}

}  // namespace
}  // namespace setup::skin

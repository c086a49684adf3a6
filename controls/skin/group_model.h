// group_model.h: the radio and check groups without a window system: their item list and
// checked states with ItemIndex and the OnClick rules, the layout of the item buttons in
// columns, the group box frame, the item button's geometry, and the style colours.
//
//   ItemGroupModel      items, checked states, ItemIndex, clicks
//   LayoutGroupButtons  item button positions (columns fill top to bottom)
//   GroupFrame          the frame polyline and caption position of TsuiCustomGroupBox
//   ItemButtonGeometry  auto size, glyph, text and focus rectangles of an item button
//   GroupStyleColors    border and caption colours from the style or the skin file
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/geometry.h"
#include "controls/skin/theme.h"

namespace setup::skin {

class ItemGroupModel {
public:
    enum class Kind { kCheck, kRadio };
    explicit ItemGroupModel(Kind kind) : kind_(kind) {}

    // A change of the list: buttons are created at the end or destroyed from the end so that
    // there is one per line; surviving buttons keep their checked state.
    struct ItemsChange {
        size_t created = 0, destroyed = 0;
    };
    ItemsChange SetItems(std::vector<std::string> items);
    const std::vector<std::string>& Items() const { return items_; }
    size_t Count() const { return items_.size(); }

    bool Checked(size_t i) const { return i < checked_.size() && checked_[i]; }
    // The item button's Checked setter: no change does nothing; a radio button that becomes
    // checked unchecks the others; OnClick follows (a check box on every change, a radio
    // button only when it becomes checked), never while loading.
    void SetChecked(size_t i, bool checked);
    // A click on item button i: a check box toggles; a radio button becomes checked.
    void ItemButtonClicked(size_t i);
    // A click on the group's own surface fires the group's OnClick.
    void SurfaceClicked();

    // Radio groups: the first checked line, or -1. Setting a value above the last line or
    // below -1 does nothing; -1 unchecks every line (no OnClick).
    int ItemIndex() const;
    void SetItemIndex(int index);

    bool loading = false;                         // applying a stored layout: no OnClick
    std::function<void()> on_click;               // the group's OnClick
    std::function<void(size_t)> on_item_changed;  // repaint item button i

private:
    void ItemClicked();

    Kind kind_;
    std::vector<std::string> items_;
    std::vector<bool> checked_;
};

struct Point {
    int x = 0, y = 0;
    bool operator==(const Point&) const = default;
};

struct GroupLayoutInput {
    int client_width = 0, client_height = 0;
    int control_width = 0;
    int font_height = 12;  // absolute font height in pixels
    int top_margin = 8;
    int columns = 1;       // 0 is taken as one column
    bool right_to_left = false;
    std::vector<int> button_widths;  // one per button
};
// Positions (left, top) of the buttons; empty when there are none.
std::vector<Point> LayoutGroupButtons(const GroupLayoutInput& in);

struct GroupFrame {
    std::vector<Point> polyline;  // first point: move-to; then line-to each
    Point caption;                // where the caption is written
};
GroupFrame GroupFrameGeometry(int width, int height, int font_height, int caption_width, bool has_caption,
                              bool right_to_left);

struct ItemButtonGeometry {
    Point glyph;
    Rect text;   // caption, single line, left-aligned (right-aligned right to left)
    Rect focus;  // focus rectangle when one is needed
};
// Auto size of an item button: height max(text height of "W" + 2, glyph height) + 4, width
// glyph width + caption width + 8.
Point ItemButtonAutoSize(int glyph_width, int glyph_height, int caption_width, int w_height);
ItemButtonGeometry ItemButtonLayout(int width, int height, int glyph_width, int glyph_height, int w_height,
                                    bool right_to_left);

// Glyph frame of an item button: a check box drawn from a skin file uses its six-frame strip
// (1 checked, 3 unchecked, 4 checked disabled, 6 unchecked disabled); everything else the
// four-frame strips (1, 2, 3, 4). FrameCount gives the strip's count.
int GlyphFrame(bool checked, bool enabled, bool six_frame_strip);

struct GroupColors {
    Color border = 0;
    Color font = 0;
    bool operator==(const GroupColors&) const = default;
};
GroupColors GroupStyleColors(const TsuiFileTheme* file_theme, TsuiUIStyle style);

// Rectangle in which children placed with an alignment are aligned.
Rect GroupAlignRect(int client_width, int client_height, int font_height);

}  // namespace setup::skin

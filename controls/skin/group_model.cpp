#include "controls/skin/group_model.h"

#include <algorithm>
#include <cstdlib>

#include "controls/skin/file_theme.h"

namespace setup::skin {

ItemGroupModel::ItemsChange ItemGroupModel::SetItems(std::vector<std::string> items) {
    ItemsChange change;
    if (items.size() > items_.size()) change.created = items.size() - items_.size();
    if (items.size() < items_.size()) change.destroyed = items_.size() - items.size();
    items_ = std::move(items);
    checked_.resize(items_.size(), false);
    return change;
}

void ItemGroupModel::ItemClicked() {
    if (!loading && on_click) on_click();
}

void ItemGroupModel::SetChecked(size_t i, bool checked) {
    if (i >= checked_.size() || checked_[i] == checked) return;
    checked_[i] = checked;
    if (on_item_changed) on_item_changed(i);
    if (kind_ == Kind::kCheck) {
        ItemClicked();
        return;
    }
    if (!checked) return;
    for (size_t j = 0; j < checked_.size(); ++j)
        if (j != i) SetChecked(j, false);
    ItemClicked();
}

void ItemGroupModel::ItemButtonClicked(size_t i) {
    if (i >= checked_.size()) return;
    if (kind_ == Kind::kCheck)
        SetChecked(i, !checked_[i]);
    else if (!checked_[i])
        SetChecked(i, true);
}

void ItemGroupModel::SurfaceClicked() { ItemClicked(); }

int ItemGroupModel::ItemIndex() const {
    for (size_t i = 0; i < checked_.size(); ++i)
        if (checked_[i]) return static_cast<int>(i);
    return -1;
}

void ItemGroupModel::SetItemIndex(int index) {
    if (index > static_cast<int>(items_.size()) - 1 || index < -1) return;
    if (index == -1) {
        for (size_t i = 0; i < checked_.size(); ++i) SetChecked(i, false);
        return;
    }
    SetChecked(static_cast<size_t>(index), true);
}

std::vector<Point> LayoutGroupButtons(const GroupLayoutInput& in) {
    const int count = static_cast<int>(in.button_widths.size());
    if (count == 0) return {};
    // Zero columns would divide by zero: lay the buttons out in one column.
    const int columns = std::max(in.columns, 1);
    const int font_height = std::abs(in.font_height);
    const int items_top = font_height;
    const int items_bottom = in.client_height - 2;
    const int top = items_top + in.top_margin;
    const int available = items_bottom - top;
    const int rows = (count + columns - 1) / columns;
    const int column_width = (in.control_width - 10) / columns;
    const int row_height = available / rows;
    const int first_row = top + (available % rows) / 2;
    std::vector<Point> out;
    out.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const int column = i / rows;
        Point p;
        p.y = (i % rows) * row_height + first_row;
        p.x = in.right_to_left ? in.control_width - column * column_width - in.button_widths[static_cast<size_t>(i)] - 8
                               : column * column_width + 8;
        out.push_back(p);
    }
    return out;
}

GroupFrame GroupFrameGeometry(int width, int height, int font_height, int caption_width, bool has_caption,
                              bool right_to_left) {
    GroupFrame f;
    const int y = std::abs(font_height) / 2 + 1;
    const int left = 0, right = width, bottom = height;
    if (!right_to_left) {
        f.polyline = {{left + 2, y}, {left, y}, {left, bottom - 1}, {right - 1, bottom - 1}, {right - 1, y}};
        f.polyline.push_back(has_caption ? Point{left + 6 + caption_width, y} : Point{left, y});
        f.caption = {5, 0};
    } else {
        f.polyline = {{right - 3, y}, {right - 1, y}, {right - 1, bottom - 1}, {left + 1, bottom - 1}, {left + 1, y}};
        f.polyline.push_back(has_caption ? Point{right - caption_width - 7, y} : Point{right - 1, y});
        f.caption = {width - caption_width - 6, 0};
    }
    return f;
}

Point ItemButtonAutoSize(int glyph_width, int glyph_height, int caption_width, int w_height) {
    return {glyph_width + caption_width + 8, std::max(w_height + 2, glyph_height) + 4};
}

ItemButtonGeometry ItemButtonLayout(int width, int height, int glyph_width, int glyph_height, int w_height,
                                    bool right_to_left) {
    ItemButtonGeometry g;
    const int t = (height - w_height) / 2;
    const int glyph_top = (height - glyph_height) / 2;
    if (!right_to_left) {
        g.glyph = {1, glyph_top};
        g.text = {glyph_width + 4, t, width, height};
        g.focus = {glyph_width + 3, t, width, t + w_height + 2};
    } else {
        g.glyph = {width - glyph_width - 1, glyph_top};
        g.text = {0, t, width - glyph_width - 4, height};
        g.focus = {0, t, width - glyph_width - 2, t + w_height + 2};
    }
    return g;
}

int GlyphFrame(bool checked, bool enabled, bool six_frame_strip) {
    if (six_frame_strip) return enabled ? (checked ? 1 : 3) : (checked ? 4 : 6);
    return enabled ? (checked ? 1 : 2) : (checked ? 3 : 4);
}

GroupColors GroupStyleColors(const TsuiFileTheme* file_theme, TsuiUIStyle style) {
    const ThemeSource from = ResolveThemeSource(file_theme, style);
    if (from.use_file)
        return {file_theme->GetColor(kSkinColorControlBorder), file_theme->GetColor(kSkinColorControlFont)};
    return {BuiltInThemeColor(from.style, ThemeItemControlBorderColor),
            BuiltInThemeColor(from.style, ThemeItemControlFontColor)};
}

Rect GroupAlignRect(int client_width, int client_height, int font_height) {
    return {3, std::abs(font_height) + 5, client_width - 3, client_height - 3};
}

}  // namespace setup::skin

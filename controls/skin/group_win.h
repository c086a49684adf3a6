// group_win.h: TsuiCheckGroup and TsuiRadioGroup, framed group boxes (TsuiCustomGroupBox)
// that turn each line of Items into a skinned check box or radio button, laid out in columns.
//
// Use:
//   auto group = setup::skin::win::RadioGroup::Create(parent, 10, 10);   // 185 x 105
//   group->SetCaption("安装类型");
//   group->SetItems({"典型", "最小", "自定义"});
//   group->SetColumns(2);
//   group->SetUIStyle(setup::skin::TsuiUIStyle::WinXP);   // border and caption colours too
//   group->SetItemIndex(0);
//   group->on_click = [&] { ... group->ItemIndex() ... };
//
// The group owns its item button windows. OnClick rules: a radio group fires on_click once for
// each newly selected line (not when the selected line is clicked again), a check group on
// every toggle, both on a click on the group's own surface; never while `loading` is set.
// Colours set after SetUIStyle (SetFontColor, SetBorderColor) override the style's.
// A TsuiFileTheme given with SetFileTheme must outlive its use or be destroyed first: the group
// is told and falls back to DeepBlue.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "controls/skin/group_model.h"
#include "controls/skin/skin_win.h"

namespace setup::skin::win {

class CheckGroup;

// One item button (TsuiCheckGroupButton / TsuiRadioGroupButton): owned by its group.
class GroupItemButton final : public SkinWindow, public StyledControl {
public:
    GroupItemButton(CheckGroup& group, size_t index) : group_(group), index_(index) {}
    void Create(HWND parent, bool radio);
    void SetFileTheme(TsuiFileTheme* theme) override;
    void SetUIStyle(TsuiUIStyle style) override;
    void SetCaption(const std::string& caption);
    const std::string& Caption() const { return caption_; }
    // Size from the glyph and the caption (AutoSize).
    void AutoSize();
    // The glyph drawn now (checked/enabled frame of the theme's strip).
    Image Glyph() const;

private:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnPaint(Dib& canvas) override;
    bool NeedFocusRect() const;
    void MoveFocus(int step);

    CheckGroup& group_;
    size_t index_;
    bool radio_ = false;
    std::string caption_;
    TsuiUIStyle style_ = kDefaultUIStyle;
    TsuiFileTheme* theme_ = nullptr;
};

class CheckGroup : public SkinWindow, public StyledControl, private FileThemeClient {
public:
    // Throws setup::Error when a window cannot be made.
    static std::unique_ptr<CheckGroup> Create(HWND parent, int x, int y, int width = 185, int height = 105, int id = 0);
    ~CheckGroup() override;

    void SetItems(std::vector<std::string> items);
    const std::vector<std::string>& Items() const { return model_.Items(); }
    void SetColumns(int columns);       // negative: ignored; 0 lays out one column
    int Columns() const { return columns_; }
    void SetTopMargin(int top_margin);  // negative: ignored
    void SetCaption(const std::string& caption);
    void SetFont(const FontSpec& font);  // every item button gets it too
    const FontSpec& FontSpecification() const { return font_spec_; }
    void SetFontColor(Color c);
    Color FontColor() const { return font_spec_.color; }
    void SetBorderColor(Color c);
    Color BorderColor() const { return border_; }
    void SetColor(std::optional<Color> color);  // nullopt (default): the parent's background
    std::optional<Color> GroupColor() const { return color_; }
    void SetTransparent(bool transparent);
    bool Transparent() const { return transparent_; }
    void SetEnabled(bool enabled);
    void SetItemCursor(HCURSOR cursor);
    void SetUIStyle(TsuiUIStyle style) override;
    TsuiUIStyle UIStyle() const { return style_; }
    void SetFileTheme(TsuiFileTheme* theme) override;

    bool Checked(size_t i) const { return model_.Checked(i); }
    void SetChecked(size_t i, bool checked) { model_.SetChecked(i, checked); }
    void SetLoading(bool loading) { model_.loading = loading; }

    size_t ItemCount() const { return buttons_.size(); }
    GroupItemButton* Item(size_t i) { return i < buttons_.size() ? buttons_[i].get() : nullptr; }
    RECT ItemRect(size_t i) const;  // in the group's client coordinates

    std::function<void()> on_click;

protected:
    explicit CheckGroup(ItemGroupModel::Kind kind);
    void Init(const wchar_t* class_name, HWND parent, int x, int y, int width, int height, int id);
    virtual void FocusItemButton();
    ItemGroupModel model_;

private:
    friend class GroupItemButton;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnPaint(Dib& canvas) override;
    void Layout();
    void UpdateUIStyle();
    void RepaintItems();
    void FileThemeReloaded(TsuiFileTheme& theme) override;
    void FileThemeDestroyed(TsuiFileTheme& theme) override;
    bool RightToLeft() const;

    std::vector<std::unique_ptr<GroupItemButton>> buttons_;
    int columns_ = 1, top_margin_ = 8;
    std::string caption_;
    FontSpec font_spec_{.charset = kDefaultCharset};
    UniqueFont font_;
    Color border_ = 0;
    std::optional<Color> color_;
    bool transparent_ = false;
    HCURSOR item_cursor_ = nullptr;
    TsuiUIStyle style_ = kDefaultUIStyle;
    TsuiFileTheme* theme_ = nullptr;
    bool radio_;
};

class RadioGroup final : public CheckGroup {
public:
    static std::unique_ptr<RadioGroup> Create(HWND parent, int x, int y, int width = 185, int height = 105, int id = 0);
    int ItemIndex() const { return model_.ItemIndex(); }
    void SetItemIndex(int index) { model_.SetItemIndex(index); }

private:
    RadioGroup() : CheckGroup(ItemGroupModel::Kind::kRadio) {}
    void FocusItemButton() override;
};

}  // namespace setup::skin::win

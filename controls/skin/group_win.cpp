#include "controls/skin/group_win.h"

#include "win/text.h"

namespace setup::skin::win {

using setup::win::Wide;

CheckGroup::CheckGroup(ItemGroupModel::Kind kind) : model_(kind), radio_(kind == ItemGroupModel::Kind::kRadio) {
    model_.on_click = [this] {
        if (on_click) on_click();
    };
    model_.on_item_changed = [this](size_t i) {
        if (i < buttons_.size() && buttons_[i]->hwnd()) InvalidateRect(buttons_[i]->hwnd(), nullptr, FALSE);
    };
}

std::unique_ptr<CheckGroup> CheckGroup::Create(HWND parent, int x, int y, int width, int height, int id) {
    std::unique_ptr<CheckGroup> g(new CheckGroup(ItemGroupModel::Kind::kCheck));
    g->Init(L"TsuiCheckGroup", parent, x, y, width, height, id);
    return g;
}

std::unique_ptr<RadioGroup> RadioGroup::Create(HWND parent, int x, int y, int width, int height, int id) {
    std::unique_ptr<RadioGroup> g(new RadioGroup());
    g->Init(L"TsuiRadioGroup", parent, x, y, width, height, id);
    return g;
}

void CheckGroup::Init(const wchar_t* class_name, HWND parent, int x, int y, int width, int height, int id) {
    font_ = MakeFont(font_spec_);
    CreateWindowOf({class_name}, 0, WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, parent,
                   Rect::FromSize(x, y, width, height), id);
    UpdateUIStyle();
}

CheckGroup::~CheckGroup() {
    if (theme_) theme_->RemoveClient(this);
    buttons_.clear();  // the item windows go before the group's
}

void CheckGroup::SetItems(std::vector<std::string> items) {
    const auto change = model_.SetItems(std::move(items));
    while (buttons_.size() > model_.Count()) buttons_.pop_back();
    for (size_t i = buttons_.size(); i < model_.Count(); ++i) {
        auto b = std::make_unique<GroupItemButton>(*this, i);
        b->Create(hwnd(), radio_);
        b->SetFileTheme(theme_);
        b->SetUIStyle(style_);
        buttons_.push_back(std::move(b));
    }
    for (size_t i = 0; i < buttons_.size(); ++i) buttons_[i]->SetCaption(model_.Items()[i]);
    Layout();
    if (change.created > 0) {
        Invalidate();
        RepaintItems();
    }
}

void CheckGroup::RepaintItems() {
    for (auto& b : buttons_)
        if (b->hwnd()) InvalidateRect(b->hwnd(), nullptr, FALSE);
}

void CheckGroup::SetColumns(int columns) {
    if (columns < 0) return;
    columns_ = columns;
    Layout();
}

void CheckGroup::SetTopMargin(int top_margin) {
    if (top_margin < 0) return;
    top_margin_ = top_margin;
    Layout();
}

void CheckGroup::SetCaption(const std::string& caption) {
    caption_ = caption;
    Invalidate();
}

void CheckGroup::SetFont(const FontSpec& font) {
    font_spec_ = font;
    font_ = MakeFont(font);
    Layout();
    Invalidate();
    RepaintItems();
}

void CheckGroup::SetFontColor(Color c) {
    font_spec_.color = c;
    Invalidate();
    RepaintItems();
}

void CheckGroup::SetBorderColor(Color c) {
    border_ = c;
    Invalidate();
}

void CheckGroup::SetColor(std::optional<Color> color) {
    color_ = color;
    Invalidate();
    RepaintItems();
}

void CheckGroup::SetTransparent(bool transparent) {
    transparent_ = transparent;
    Invalidate();
    RepaintItems();
}

void CheckGroup::SetEnabled(bool enabled) {
    if (!hwnd()) return;
    EnableWindow(hwnd(), enabled);
    for (auto& b : buttons_) EnableWindow(b->hwnd(), enabled);
    Invalidate();
}

void CheckGroup::SetItemCursor(HCURSOR cursor) { item_cursor_ = cursor; }

void CheckGroup::SetUIStyle(TsuiUIStyle style) {
    style_ = style;
    UpdateUIStyle();
}

void CheckGroup::SetFileTheme(TsuiFileTheme* theme) {
    if (theme != theme_) {
        if (theme_) theme_->RemoveClient(this);
        theme_ = theme;
        if (theme_) theme_->AddClient(this);
    }
    SetUIStyle(style_);
}

void CheckGroup::FileThemeReloaded(TsuiFileTheme& theme) {
    // As if the theme were taken away and given back: everything is read again.
    SetFileTheme(nullptr);
    SetFileTheme(&theme);
}

void CheckGroup::FileThemeDestroyed(TsuiFileTheme&) {
    theme_ = nullptr;
    style_ = kDefaultUIStyle;
    UpdateUIStyle();
}

void CheckGroup::UpdateUIStyle() {
    std::vector<StyledControl*> children;
    for (auto& b : buttons_) children.push_back(b.get());
    PropagateStyleToChildren(children, style_, theme_);
    const GroupColors colors = GroupStyleColors(theme_, style_);
    border_ = colors.border;
    font_spec_.color = colors.font;
    Layout();  // glyph sizes differ between styles
    Invalidate();
    RepaintItems();
}

bool CheckGroup::RightToLeft() const {
    return hwnd() && (GetWindowLongPtrW(hwnd(), GWL_EXSTYLE) & WS_EX_RTLREADING) && GetSystemMetrics(SM_MIDEASTENABLED);
}

void CheckGroup::Layout() {
    if (buttons_.empty() || !hwnd()) return;
    RECT c{};
    GetClientRect(hwnd(), &c);
    GroupLayoutInput in;
    in.client_width = c.right;
    in.client_height = c.bottom;
    in.control_width = c.right;
    in.font_height = font_spec_.height;
    in.top_margin = top_margin_;
    in.columns = columns_;
    in.right_to_left = RightToLeft();
    for (auto& b : buttons_) {
        b->AutoSize();
        RECT r{};
        GetWindowRect(b->hwnd(), &r);
        in.button_widths.push_back(r.right - r.left);
    }
    const auto places = LayoutGroupButtons(in);
    for (size_t i = 0; i < places.size() && i < buttons_.size(); ++i)
        SetWindowPos(buttons_[i]->hwnd(), nullptr, places[i].x, places[i].y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT CheckGroup::ItemRect(size_t i) const {
    RECT r{};
    if (i >= buttons_.size()) return r;
    GetWindowRect(buttons_[i]->hwnd(), &r);
    MapWindowPoints(HWND_DESKTOP, hwnd(), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void CheckGroup::FocusItemButton() {
    if (!buttons_.empty() && IsWindowEnabled(buttons_[0]->hwnd())) SetFocus(buttons_[0]->hwnd());
}

void RadioGroup::FocusItemButton() {
    const int i = ItemIndex();
    if (i >= 0 && static_cast<size_t>(i) < ItemCount()) SetFocus(Item(static_cast<size_t>(i))->hwnd());
}

void CheckGroup::OnPaint(Dib& canvas) {
    const int w = canvas.width(), h = canvas.height();
    PutImage(canvas, Background(w, h, color_, transparent_));
    HDC mem = canvas.dc();
    {
        SelectScope font(mem, font_.get());
        const std::wstring text = Wide(caption_);
        SIZE extent{};
        if (!text.empty()) GetTextExtentPoint32W(mem, text.c_str(), static_cast<int>(text.size()), &extent);
        const GroupFrame frame =
            GroupFrameGeometry(w, h, font_spec_.height, extent.cx, !caption_.empty(), RightToLeft());
        UniquePen pen(CreatePen(PS_SOLID, 1, ColorOf(border_)));
        {
            SelectScope use(mem, pen.get());
            MoveToEx(mem, frame.polyline[0].x, frame.polyline[0].y, nullptr);
            for (size_t i = 1; i < frame.polyline.size(); ++i) LineTo(mem, frame.polyline[i].x, frame.polyline[i].y);
        }
        if (!text.empty()) {
            SetBkMode(mem, TRANSPARENT);
            SetTextColor(mem, IsWindowEnabled(hwnd()) ? ColorOf(font_spec_.color) : RGB(128, 128, 128));
            TextOutW(mem, frame.caption.x, frame.caption.y, text.c_str(), static_cast<int>(text.size()));
        }
    }
}

LRESULT CheckGroup::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SIZE:
        Layout();
        Invalidate();
        return 0;
    case WM_SETFOCUS:
        FocusItemButton();
        return 0;
    case WM_LBUTTONDOWN:
        SetCapture(hwnd());
        return 0;
    case WM_LBUTTONUP:
        if (EndPress(lp).value_or(false)) model_.SurfaceClicked();
        return 0;
    case WM_SETCURSOR:
        if (item_cursor_ && reinterpret_cast<HWND>(wp) != hwnd() && LOWORD(lp) == HTCLIENT) {
            ::SetCursor(item_cursor_);
            return TRUE;
        }
        break;
    default:
        break;
    }
    return Default(msg, wp, lp);
}

}  // namespace setup::skin::win

// The item buttons of the check and radio groups (TsuiCheckGroupButton, TsuiRadioGroupButton).

#include <cctype>

#include "controls/skin/button_model.h"
#include "controls/skin/group_win.h"
#include "win/text.h"

namespace setup::skin::win {

using setup::win::Wide;

namespace {
constexpr wchar_t kRadioClass[] = L"TsuiRadioGroupButton";
constexpr wchar_t kCheckClass[] = L"TsuiCheckGroupButton";

bool IsRadioItem(HWND hwnd) {
    wchar_t name[32] = {};
    return hwnd && GetClassNameW(hwnd, name, 32) && lstrcmpW(name, kRadioClass) == 0;
}

SIZE TextExtent(HDC dc, const std::wstring& text) {
    SIZE s{};
    if (!text.empty()) GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &s);
    return s;
}
}  // namespace

void GroupItemButton::Create(HWND parent, bool radio) {
    radio_ = radio;
    CreateWindowOf({radio ? kRadioClass : kCheckClass}, 0, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, parent,
                   Rect::FromSize(0, 0, 93, 17));
}

void GroupItemButton::SetFileTheme(TsuiFileTheme* theme) {
    theme_ = theme;
    SetUIStyle(style_);
}

void GroupItemButton::SetUIStyle(TsuiUIStyle style) {
    style_ = style;
    Invalidate();
}

void GroupItemButton::SetCaption(const std::string& caption) {
    caption_ = caption;
    Invalidate();
}

Image GroupItemButton::Glyph() const {
    const bool checked = group_.model_.Checked(index_);
    const bool enabled = hwnd() && IsWindowEnabled(hwnd());
    const ThemeSource from = ResolveThemeSource(theme_, style_);
    Image glyph;
    if (from.use_file) {
        // A check box from a skin file uses its six-frame strip; radio strips have four.
        const bool six = !radio_;
        theme_->GetBitmapFrame(radio_ ? kSkinBitmapRadioButton : kSkinBitmapCheckBox, &glyph,
                               GlyphFrame(checked, enabled, six), six ? 6 : 4);
    } else {
        LoadBuiltInThemeFrame(ProgramBitmaps(), from.style, radio_ ? ThemeItemRadioButtonStrip : ThemeItemCheckBoxStrip,
                              &glyph, GlyphFrame(checked, enabled, false), 4);
    }
    return glyph;
}

void GroupItemButton::AutoSize() {
    if (!hwnd()) return;
    const Image glyph = Glyph();
    HDC dc = GetDC(hwnd());
    SIZE caption{}, w{};
    {
        SelectScope font(dc, group_.font_.get());
        caption = TextExtent(dc, Wide(caption_));
        w = TextExtent(dc, L"W");
    }
    ReleaseDC(hwnd(), dc);
    const Point size = ItemButtonAutoSize(glyph.width, glyph.height, caption.cx, w.cy);
    SetWindowPos(hwnd(), nullptr, 0, 0, size.x, size.y, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool GroupItemButton::NeedFocusRect() const {
    HWND focus = GetFocus();
    if (!radio_) return focus == hwnd();
    return group_.model_.Checked(index_) && (focus == hwnd() || focus == group_.hwnd());
}

void GroupItemButton::OnPaint(Dib& surface) {
    const int w = surface.width(), h = surface.height();
    Image canvas = Background(w, h, group_.color_, group_.transparent_);
    const Image glyph = Glyph();
    HDC mem = surface.dc();
    SelectScope font(mem, group_.font_.get());
    const SIZE wsize = TextExtent(mem, L"W");
    const bool rtl = group_.RightToLeft();
    const ItemButtonGeometry g = ItemButtonLayout(w, h, glyph.width, glyph.height, wsize.cy, rtl);
    if (!glyph.empty()) {
        // Radio glyphs are drawn keyed on their bottom-left pixel; check glyphs as they are.
        std::optional<Color> key;
        if (radio_) key = FromPixel(glyph.at(0, glyph.height - 1));
        DrawImage(canvas, glyph, g.glyph.x, g.glyph.y, key);
    }
    PutImage(surface, canvas);
    SetBkMode(mem, TRANSPARENT);
    SetTextColor(mem, ColorOf(group_.font_spec_.color));  // also when disabled
    const std::wstring text = Wide(caption_);
    RECT tr = setup::win::ui::ToRect(g.text);
    DrawTextW(mem, text.c_str(), static_cast<int>(text.size()), &tr, DT_SINGLELINE | (rtl ? DT_RIGHT : DT_LEFT));
    if (NeedFocusRect()) {
        RECT fr = setup::win::ui::ToRect(g.focus);
        SetTextColor(mem, RGB(0, 0, 0));
        SetBkColor(mem, RGB(255, 255, 255));
        DrawFocusRect(mem, &fr);
    }
}

void GroupItemButton::MoveFocus(int step) {
    const size_t n = group_.buttons_.size();
    if (n < 2) return;
    const size_t next = (index_ + (step > 0 ? 1 : n - 1)) % n;
    SetFocus(group_.buttons_[next]->hwnd());
}

LRESULT GroupItemButton::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_LBUTTONDOWN:
        if (IsWindowEnabled(hwnd()) && IsWindowVisible(hwnd())) SetFocus(hwnd());
        SetCapture(hwnd());
        return 0;
    case WM_LBUTTONUP:
        if (EndPress(lp).value_or(false)) group_.model_.ItemButtonClicked(index_);
        return 0;
    case WM_KEYDOWN:
        if (wp == VK_DOWN || wp == VK_RIGHT) MoveFocus(1);
        if (wp == VK_UP || wp == VK_LEFT) MoveFocus(-1);
        return 0;
    case WM_KEYUP:
        // Check boxes toggle on Space or Enter; radio buttons ignore both.
        if (!radio_ && (wp == VK_SPACE || wp == VK_RETURN) && IsWindowEnabled(hwnd())) {
            Invalidate();
            group_.model_.ItemButtonClicked(index_);
        }
        return 0;
    case WM_GETDLGCODE:
        return DLGC_BUTTON | DLGC_WANTARROWS | (!radio_ && wp == VK_RETURN ? DLGC_WANTMESSAGE : 0);
    case WM_SETFOCUS:
        // Arrow keys move the focus between radio buttons, and with it the selection.
        if (radio_ && IsRadioItem(reinterpret_cast<HWND>(wp))) group_.model_.ItemButtonClicked(index_);
        Invalidate();
        return 0;
    case WM_KILLFOCUS:
    case WM_ENABLE:
        Invalidate();
        return 0;
    case kMsgDialogChar: {
        const auto accel = AcceleratorOf(caption_);
        if (!accel || wp == 0 || wp > 0x7F || *accel != static_cast<char>(std::tolower(static_cast<int>(wp)))) return 0;
        if (!IsWindowEnabled(hwnd()) || !IsWindowVisible(hwnd()) || !IsWindowEnabled(group_.hwnd())) return 0;
        SetFocus(hwnd());
        group_.model_.ItemButtonClicked(index_);
        return 1;
    }
    case WM_SETCURSOR:
        if (group_.item_cursor_ && LOWORD(lp) == HTCLIENT) {
            ::SetCursor(group_.item_cursor_);
            return TRUE;
        }
        break;
    default:
        break;
    }
    return Default(msg, wp, lp);
}

}  // namespace setup::skin::win

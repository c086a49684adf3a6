#include "controls/skin/image_button_win.h"

#include <windowsx.h>

#include "base/text.h"
#include "win/text.h"

namespace setup::skin::win {

namespace {
constexpr UINT_PTR kRepeatTimerId = 1;
constexpr wchar_t kClassName[] = L"TsuiImageButton";
}  // namespace

std::unique_ptr<ImageButton> ImageButton::Create(HWND parent, int x, int y, int width, int height, int id) {
    std::unique_ptr<ImageButton> b(new ImageButton());
    b->font_ = MakeFont(b->font_spec_);
    b->CreateWindowOf({kClassName}, 0, WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS, parent,
                      Rect::FromSize(x, y, width, height), id);
    return b;
}

void ImageButton::SetPicNormal(Image picture) {
    pics_.normal = std::move(picture);
    UpdateAutoSize();
    Invalidate();
}
void ImageButton::SetPicMouseOn(Image picture) {
    pics_.mouse_on = std::move(picture);
    UpdateAutoSize();
    Invalidate();
}
void ImageButton::SetPicMouseDown(Image picture) {
    pics_.mouse_down = std::move(picture);
    UpdateAutoSize();
    Invalidate();
}
void ImageButton::SetPicDisabled(Image picture) {
    pics_.disabled = std::move(picture);
    UpdateAutoSize();
    Invalidate();
}

void ImageButton::SetStretch(bool stretch) {
    stretch_ = stretch;
    Invalidate();
}
void ImageButton::SetDrawFocused(bool draw_focused) {
    draw_focused_ = draw_focused;
    Invalidate();
}
void ImageButton::SetFocusedRectMargin(int margin) {
    focus_margin_ = margin;
    Invalidate();
}
void ImageButton::SetTransparent(bool transparent) {
    transparent_ = transparent;
    Invalidate();
}
void ImageButton::SetAutoSize(bool auto_size) {
    auto_size_ = auto_size;
    UpdateAutoSize();
    Invalidate();
}
void ImageButton::SetColor(std::optional<Color> color) {
    color_ = color;
    Invalidate();
}
void ImageButton::SetCaption(const std::string& caption) {
    caption_ = caption;
    if (hwnd()) SetWindowTextW(hwnd(), setup::win::Wide(caption).c_str());
    Invalidate();
}
void ImageButton::SetFont(const FontSpec& font) {
    font_spec_ = font;
    font_ = MakeFont(font);
    Invalidate();
}
void ImageButton::SetEnabled(bool enabled) {
    model_.enabled = enabled;
    if (hwnd()) EnableWindow(hwnd(), enabled);
    Invalidate();
}
void ImageButton::SetTabStop(bool tab_stop) {
    model_.tab_stop = tab_stop;
    if (!hwnd()) return;
    const LONG_PTR style = GetWindowLongPtrW(hwnd(), GWL_STYLE);
    SetWindowLongPtrW(hwnd(), GWL_STYLE, tab_stop ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP)));
}
void ImageButton::SetUIStyle(TsuiUIStyle style) {
    ui_style_ = style;
    Invalidate();
}

void ImageButton::UpdateAutoSize() {
    if (!auto_size_ || !hwnd() || !GetParent(hwnd()) || pics_.normal.empty()) return;
    SetWindowPos(hwnd(), nullptr, 0, 0, pics_.normal.width, pics_.normal.height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ImageButton::StartRepeatTimer(int ms) {
    // An interval of 0 keeps a timer that never ticks; Windows would tick at its minimum.
    if (ms > 0)
        timer_.Set(hwnd(), kRepeatTimerId, static_cast<UINT>(ms));
    else
        timer_.Kill();
}

bool ImageButton::CanFocus() {
    for (HWND h = hwnd(); h; h = GetParent(h))
        if (!IsWindowVisible(h) || !IsWindowEnabled(h)) return false;
    return hwnd() != nullptr;
}

bool ImageButton::ParentEnabled() {
    HWND parent = hwnd() ? GetParent(hwnd()) : nullptr;
    return parent && IsWindowEnabled(parent);
}

void ImageButton::OnPaint(Dib& canvas) {
    const int w = canvas.width(), h = canvas.height();
    const RECT client{0, 0, w, h};

    const Image& picture = ImageButtonPicture(pics_, ShownPicture());
    Image background;
    if (transparent_ || !color_) background = ParentBackground(hwnd(), w, h);
    const ButtonComposition comp{w, h, transparent_, color_.value_or(0), background.empty() ? nullptr : &background,
                                 &picture, stretch_};
    PutImage(canvas, ComposeButton(comp));
    HDC mem = canvas.dc();

    if (ShouldDrawFocusRect(Focused(), model_.tab_stop, draw_focused_)) {
        RECT fr{focus_margin_, focus_margin_, w - focus_margin_, h - focus_margin_};
        SetTextColor(mem, RGB(0, 0, 0));
        SetBkColor(mem, RGB(255, 255, 255));
        DrawFocusRect(mem, &fr);
    }

    const auto passes = CaptionPasses(caption_, model_.enabled, model_.Pressed(), font_spec_.color);
    if (!passes.empty()) {
        SelectScope font(mem, font_.get());
        SetBkMode(mem, TRANSPARENT);
        const std::wstring text = setup::win::Wide(caption_);
        for (const CaptionPass& pass : passes) {
            RECT r = client;
            OffsetRect(&r, pass.dx, pass.dy);
            RECT m = r;
            DrawTextW(mem, text.c_str(), static_cast<int>(text.size()), &m, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
            OffsetRect(&m, CenterOffset(r.right - r.left, m.right - m.left), CenterOffset(r.bottom - r.top, m.bottom - m.top));
            SetTextColor(mem, ColorOf(pass.color));
            DrawTextW(mem, text.c_str(), static_cast<int>(text.size()), &m, DT_CENTER | DT_WORDBREAK | DT_EXPANDTABS);
        }
    }
}

LRESULT ImageButton::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE:
        model_.Created();
        return 0;
    case WM_SETCURSOR:
        if (cursor_ && LOWORD(lp) == HTCLIENT) {
            ::SetCursor(cursor_);
            return TRUE;
        }
        break;
    case WM_MOUSEMOVE: {
        const int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
        RECT c{};
        GetClientRect(hwnd(), &c);
        if (GetCapture() != hwnd() && TrackMouseVisit()) model_.MouseEnter();
        model_.MouseMove(x, y, c.right, c.bottom);
        return 0;
    }
    case WM_MOUSELEAVE:
        // While the button holds the mouse, leaving is settled by the release.
        if (GetCapture() != hwnd()) model_.MouseLeave();
        return 0;
    case WM_LBUTTONDOWN:
        SetCapture(hwnd());
        model_.LeftButtonDown();
        return 0;
    case WM_LBUTTONUP: {
        const std::optional<bool> inside = EndPress(lp);  // the mouse goes free before the click
        if (!inside) return 0;
        model_.LeftButtonUp(*inside);
        if (!*inside && EndMouseVisit()) model_.MouseLeave();
        return 0;
    }
    case WM_CANCELMODE:
        if (GetCapture() == hwnd()) ReleaseCapture();
        model_.CancelMode();
        return 0;
    case WM_CAPTURECHANGED:
        // Another window took the mouse away mid-press (a menu, a drag): as cancel mode.
        if (reinterpret_cast<HWND>(lp) != hwnd() && reinterpret_cast<HWND>(lp) != nullptr) model_.CancelMode();
        return 0;
    case WM_KEYDOWN:
        if (wp == VK_SPACE || wp == VK_RETURN) model_.KeyDown(wp == VK_SPACE ? ButtonKey::kSpace : ButtonKey::kEnter);
        return 0;
    case WM_KEYUP:
        if (wp == VK_SPACE || wp == VK_RETURN) model_.KeyUp(wp == VK_SPACE ? ButtonKey::kSpace : ButtonKey::kEnter);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_BUTTON | (wp == VK_RETURN ? DLGC_WANTMESSAGE : 0);
    case kMsgButtonQuery:
        return 1;
    case kMsgDialogKey: {
        const ButtonKey key = wp == VK_RETURN ? ButtonKey::kEnter : wp == VK_ESCAPE ? ButtonKey::kEscape : ButtonKey::kOther;
        return model_.DialogKey(key, lp & kModShift, lp & kModCtrl, lp & kModAlt) ? 1 : 0;
    }
    case kMsgDialogChar: {
        if (wp == 0 || wp > 0x7F) return 0;
        HWND focus = GetFocus();
        const bool skin_focus = focus && SendMessageW(focus, kMsgButtonQuery, 0, 0) == 1;
        return model_.DialogChar(caption_, static_cast<char>(wp), lp & kModAlt, skin_focus) ? 1 : 0;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        Invalidate();
        return 0;
    case WM_ENABLE:
        model_.enabled = wp != 0;
        Invalidate();
        return 0;
    case WM_TIMER:
        if (wp == kRepeatTimerId) model_.TimerTick();
        return 0;
    case WM_SETTEXT: {
        const LRESULT r = Default(msg, wp, lp);
        caption_ = lp ? setup::win::Gbk(reinterpret_cast<const wchar_t*>(lp)) : std::string();
        Invalidate();
        return r;
    }
    default:
        break;
    }
    return Default(msg, wp, lp);
}

}  // namespace setup::skin::win

#include "win/ui/buttons.h"

#include <windowsx.h>

#include "win/handles.h"
#include "win/text.h"

namespace setup::win::ui {

namespace {
constexpr wchar_t kPushClass[] = L"ZsPushButton";
constexpr wchar_t kPictureClass[] = L"ZsPictureButton";
}  // namespace

// ---- ButtonBase --------------------------------------------------------------------------

ButtonBase::ButtonBase(Container* parent, const Rect& bounds) : WindowedControl(parent, bounds) {}

void ButtonBase::Click() {
    pressed_ = false;
    if (!visible_ || !enabled_ || !hwnd()) return;
    PaintNow();
    if (on_click) on_click();
}

void ButtonBase::PaintNow() {
    if (!hwnd()) return;
    ::InvalidateRect(hwnd(), nullptr, FALSE);
    ::UpdateWindow(hwnd());
}

LRESULT ButtonBase::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_ERASEBKGND: return 1;
        case WM_PAINT:
        case WM_PRINTCLIENT: {
            RECT rc;
            ::GetClientRect(hwnd(), &rc);
            if (message == WM_PRINTCLIENT) {
                Draw(reinterpret_cast<HDC>(wparam), rc);
                return 0;
            }
            PaintScope ps(hwnd());
            UniqueDc mem(::CreateCompatibleDC(ps.get()));
            UniqueBitmap bitmap(::CreateCompatibleBitmap(ps.get(), rc.right, rc.bottom));
            if (!mem || !bitmap) {
                Draw(ps.get(), rc);
                return 0;
            }
            SelectScope keep(mem.get(), bitmap.get());
            Draw(mem.get(), rc);
            ::BitBlt(ps.get(), 0, 0, rc.right, rc.bottom, mem.get(), 0, 0, SRCCOPY);
            return 0;
        }
        case WM_MOUSEMOVE: {
            if (!tracking_) {
                TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, hwnd(), 0};
                tracking_ = ::TrackMouseEvent(&tme) != FALSE;
            }
            RECT rc;
            ::GetClientRect(hwnd(), &rc);
            const bool inside = ::PtInRect(&rc, POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)}) != FALSE;
            if (inside != mouse_inside_) {
                mouse_inside_ = inside;
                PaintNow();
            }
            return 0;
        }
        case WM_MOUSELEAVE:
            tracking_ = false;
            mouse_inside_ = false;
            PaintNow();
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (!enabled_) return 0;
            pressed_ = true;
            ::SetCapture(hwnd());
            if (::GetFocus() != hwnd()) ::SetFocus(hwnd());
            PaintNow();
            return 0;
        case WM_LBUTTONUP: {
            const bool was_pressed = pressed_;
            if (::GetCapture() == hwnd()) ::ReleaseCapture();
            RECT rc;
            ::GetClientRect(hwnd(), &rc);
            const bool inside = ::PtInRect(&rc, POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)}) != FALSE;
            pressed_ = false;
            PaintNow();
            if (was_pressed && (inside || ClickOutside())) Click();
            return 0;
        }
        case WM_CAPTURECHANGED:
            if (pressed_ && reinterpret_cast<HWND>(lparam) != hwnd()) {
                pressed_ = false;
                PaintNow();
            }
            return 0;
        case WM_KEYDOWN:
            if ((wparam == VK_SPACE || wparam == VK_RETURN) && enabled_) {
                pressed_ = true;
                PaintNow();
                return 0;
            }
            break;
        case WM_KEYUP:
            if (wparam == VK_SPACE || wparam == VK_RETURN) {
                const bool was_pressed = pressed_;
                pressed_ = false;
                PaintNow();
                if (was_pressed) Click();
                return 0;
            }
            break;
        case WM_GETDLGCODE: {
            // Enter belongs to the focused button (the form has no default button).
            const MSG* msg = reinterpret_cast<const MSG*>(lparam);
            if (msg && (msg->message == WM_KEYDOWN || msg->message == WM_KEYUP) && msg->wParam == VK_RETURN)
                return DLGC_WANTMESSAGE;
            return 0;
        }
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            PaintNow();
            return 0;
        case WM_ENABLE:
            pressed_ = false;
            PaintNow();
            return 0;
        case WM_SETTEXT: {
            LRESULT r = Default(message, wparam, lparam);
            PaintNow();
            return r;
        }
    }
    return Default(message, wparam, lparam);
}

// ---- PushButton --------------------------------------------------------------------------

PushButton::PushButton(Container* parent, const Rect& bounds, const Style& style, const std::string& caption)
    : ButtonBase(parent, bounds), style_(style), font_(MakeFont(style.font)), caption_(caption), wide_(Wide(caption)) {
    RegisterClass(kPushClass);
    CreateHandle(0, kPushClass, WS_TABSTOP | WS_CLIPSIBLINGS, wide_);
}

void PushButton::SetCaption(const std::string& gbk) {
    if (gbk == caption_) return;
    caption_ = gbk;
    wide_ = Wide(gbk);
    // The window text carries the caption for accessibility tools; WM_SETTEXT repaints.
    if (hwnd()) ::SetWindowTextW(hwnd(), wide_.c_str());
}

void PushButton::Draw(HDC dc, const RECT& rc) {
    const bool down = pressed_ && enabled_;
    UniqueBrush face(::CreateSolidBrush(enabled_ && (hot() || down) ? style_.hot_color : style_.color));
    ::FillRect(dc, &rc, face.get());
    UniqueBrush edge(::CreateSolidBrush(style_.shadow_color));
    ::FrameRect(dc, &rc, edge.get());
    if (down) {
        // Pressed: a second shadow line inside the top-left edge, the caption one pixel down.
        RECT inner{rc.left + 1, rc.top + 1, rc.right - 1, rc.top + 2};
        ::FillRect(dc, &inner, edge.get());
        inner = RECT{rc.left + 1, rc.top + 1, rc.left + 2, rc.bottom - 1};
        ::FillRect(dc, &inner, edge.get());
    }
    SelectScope keep(dc, font_.get());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, enabled_ ? style_.text_color : style_.shadow_color);
    RECT text = rc;
    if (down) ::OffsetRect(&text, 1, 1);
    ::DrawTextW(dc, wide_.c_str(), static_cast<int>(wide_.size()), &text,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (enabled_ && hwnd() && ::GetFocus() == hwnd()) {
        RECT focus{rc.left + 4, rc.top + 4, rc.right - 4, rc.bottom - 4};
        ::SetTextColor(dc, kBlack);
        ::SetBkColor(dc, kWhite);
        ::DrawFocusRect(dc, &focus);
    }
}

// ---- PictureButton -----------------------------------------------------------------------

PictureButton::PictureButton(Container* parent, const Rect& bounds, COLORREF back_color, Picture normal,
                             Picture mouse_on)
    : ButtonBase(parent, bounds), back_color_(back_color), normal_(std::move(normal)), mouse_on_(std::move(mouse_on)) {
    RegisterClass(kPictureClass, ::LoadCursorW(nullptr, IDC_HAND));
    CreateHandle(0, kPictureClass, WS_TABSTOP | WS_CLIPSIBLINGS);
}

void PictureButton::Draw(HDC dc, const RECT& rc) {
    UniqueBrush back(::CreateSolidBrush(back_color_));
    ::FillRect(dc, &rc, back.get());
    const Picture& picture = enabled_ && mouse_inside_ && !mouse_on_.Empty() ? mouse_on_ : normal_;
    picture.Draw(dc, 0, 0);
}

}  // namespace setup::win::ui

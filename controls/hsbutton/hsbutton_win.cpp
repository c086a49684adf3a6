#include "controls/hsbutton/hsbutton_win.h"

#include <windowsx.h>

#include <cstring>
#include <optional>
#include <string>
#include <utility>

#include "base/error.h"
#include "win/text.h"
#include "win/ui/gdi.h"

namespace setup::win {

namespace {

SystemPalette CurrentPalette() {
    SystemPalette palette;
    for (int i = 0; i < SystemPalette::kCount; ++i) palette.Set(i, ::GetSysColor(i));
    return palette;
}

}  // namespace

HSButton::HSButton() = default;

HSButton::~HSButton() {
    BeginDestroy();  // kills the fade timer before the window goes
}

void HSButton::Create(HWND parent, int id, int x, int y, int w, int h) {
    if (hwnd() || Destroying()) throw Error("The button window can be created once only");
    SetBounds(x, y, w, h);
    DWORD style = WS_CHILD | WS_TABSTOP | WS_CLIPSIBLINGS;
    if (Visible()) style |= WS_VISIBLE;
    if (!Enabled()) style |= WS_DISABLED;
    const DWORD ex_style = IsTransparentStyle(Style()) ? WS_EX_TRANSPARENT : 0;
    const std::wstring text = Wide(Caption());
    // No CS_DBLCLKS: a quick second click is a second press, not a double click.
    CreateWindowOf({kClassName}, ex_style, style, parent, Rect::FromSize(x, y, w, h), id, text.c_str());
}

HSButton* HSButton::FromWindow(HWND window) { return dynamic_cast<HSButton*>(Window::FromHandle(window)); }

void HSButton::SetPopupMenu(HMENU menu) {
    popup_ = menu;
    SetHasPopupMenu(menu != nullptr);
}

void HSButton::Focus() {
    if (hwnd()) ::SetFocus(hwnd());
}

// Every branch that calls into the button's rules returns right after: an event handler may
// have destroyed the button.
LRESULT HSButton::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    HWND window = hwnd();
    switch (message) {
        case WM_PAINT: {
            PaintScope paint(window);
            if (paint.get() && Visible()) PaintTo(paint.get());
            return 0;
        }
        case WM_PRINTCLIENT:
            PaintTo(reinterpret_cast<HDC>(wparam));
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the paint covers every pixel
        case WM_MOUSEMOVE:
            OnMouseMove({GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)});
            return 0;
        case WM_MOUSELEAVE:
            OnMouseLeaveMessage();
            return 0;
        case WM_LBUTTONDOWN:
            ::SetCapture(window);
            mouse_press_ = Enabled();
            MouseDown(MouseButton::kLeft);
            return 0;
        case WM_RBUTTONDOWN:
            MouseDown(MouseButton::kRight);
            return 0;
        case WM_MBUTTONDOWN:
            MouseDown(MouseButton::kMiddle);
            return 0;
        case WM_LBUTTONUP:
            OnButtonUp(MouseButton::kLeft, wparam);
            return 0;
        case WM_RBUTTONUP:
            OnButtonUp(MouseButton::kRight, wparam);
            return 0;
        case WM_MBUTTONUP:
            OnButtonUp(MouseButton::kMiddle, wparam);
            return 0;
        case WM_CAPTURECHANGED:
            // Capture taken away mid-press (a window popped up, Alt+Tab): no click.
            if (!releasing_capture_ && reinterpret_cast<HWND>(lparam) != window && mouse_press_) {
                mouse_press_ = false;
                CancelPress();
            }
            return 0;
        case WM_KEYDOWN:
            if (wparam == VK_RETURN || wparam == VK_SPACE) {
                KeyDown(static_cast<int>(wparam));
                return 0;
            }
            break;
        case WM_KEYUP:
            if (wparam == VK_RETURN || wparam == VK_SPACE) {
                KeyUp(static_cast<int>(wparam));
                return 0;
            }
            break;
        case WM_GETDLGCODE: {
            // Enter goes to the focused button itself (IsDialogMessage would turn it into
            // IDOK); a push button for everything else.
            const auto* msg = reinterpret_cast<const MSG*>(lparam);
            const bool enter = msg && (msg->message == WM_KEYDOWN || msg->message == WM_KEYUP) && msg->wParam == VK_RETURN;
            return DLGC_UNDEFPUSHBUTTON | (enter ? DLGC_WANTMESSAGE : 0);
        }
        case BM_CLICK:
            Click();
            return 0;
        case WM_SETFOCUS:
            FocusChanged(true);
            return 0;
        case WM_KILLFOCUS:
            FocusChanged(false);
            return 0;
        case WM_ENABLE:
            OnEnable(wparam != 0);
            return 0;
        case WM_TIMER:
            if (wparam == kFadeTimerId) {
                FadeTick();
                return 0;
            }
            break;
        case WM_SETTEXT: {
            const LRESULT result = ::DefWindowProcW(window, message, wparam, lparam);
            if (!setting_text_ && result && lparam) {
                setting_text_ = true;  // keep the model's caption; the window has the text already
                SetCaption(Gbk(reinterpret_cast<const wchar_t*>(lparam)));
                setting_text_ = false;
            }
            return result;
        }
        case WM_DESTROY:
            // The parent went first: stop the fade now, the button object stays inert.
            BeginDestroy();
            ::KillTimer(window, kFadeTimerId);
            break;
        default:
            break;
    }
    return ::DefWindowProcW(window, message, wparam, lparam);
}

bool HSButton::PointerInside() const {
    POINT p;
    if (!hwnd() || !::GetCursorPos(&p)) return false;
    if (::WindowFromPoint(p) != hwnd()) return false;
    ::ScreenToClient(hwnd(), &p);
    RECT client;
    ::GetClientRect(hwnd(), &client);
    return ::PtInRect(&client, p) != FALSE;
}

void HSButton::OnMouseMove(POINT p) {
    TrackMouseVisit();
    RECT client;
    ::GetClientRect(hwnd(), &client);
    const bool inside = ::PtInRect(&client, p) != FALSE;
    // While the mouse is captured, moves outside the button arrive here too.
    if (inside && !MouseInside()) {
        MouseEnter();
    } else if (!inside && MouseInside()) {
        MouseLeave();
    }
}

void HSButton::OnMouseLeaveMessage() {
    // Some systems post a leave when the capture is taken; the pointer decides.
    if (::GetCapture() == hwnd() && PointerInside()) return;
    if (MouseInside()) MouseLeave();
}

void HSButton::OnButtonUp(MouseButton button, WPARAM keys) {
    const bool others_held = (keys & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) != 0;
    if (::GetCapture() == hwnd() && (Pressed() || !others_held)) {
        releasing_capture_ = true;
        ::ReleaseCapture();
        releasing_capture_ = false;
    }
    mouse_press_ = false;
    MouseUp(button);  // may click, and the click may destroy the button
}

void HSButton::OnEnable(bool enabled) {
    EnabledChanged(enabled);
    // A disabled window gets no mouse messages: it cannot see the pointer leave. Settle the
    // hover state now, and again when it is enabled under the pointer.
    if (!enabled) {
        if (MouseInside()) MouseLeave();
    } else if (!MouseInside() && PointerInside()) {
        EndMouseVisit();
        POINT p;
        ::GetCursorPos(&p);
        ::ScreenToClient(hwnd(), &p);
        OnMouseMove(p);
    }
}

void HSButton::PlatformRepaint(bool now) {
    if (!hwnd()) return;
    if (now) {
        ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    } else {
        ::InvalidateRect(hwnd(), nullptr, FALSE);
    }
}

void HSButton::PlatformFadeTimer(bool run) {
    if (!hwnd()) return;
    if (run) {
        ::SetTimer(hwnd(), kFadeTimerId, FadeAnimator::kTickMs, nullptr);
    } else {
        ::KillTimer(hwnd(), kFadeTimerId);
    }
}

void HSButton::PlatformTransparent(bool transparent) {
    if (hwnd()) ::SetWindowLongPtrW(hwnd(), GWL_EXSTYLE, transparent ? WS_EX_TRANSPARENT : 0);
}

void HSButton::PlatformTakeFocus() {
    if (hwnd() && ::GetFocus() != hwnd()) ::SetFocus(hwnd());
}

Image HSButton::PlatformLoadBitmap(std::string_view resource_name) {
    return ui::LoadBitmapResource(resource_name);
}

void HSButton::PlatformModalResult(int32_t result) {
    if (OnModalResult) {
        OnModalResult(result);
        return;
    }
    HWND root = hwnd() ? ::GetAncestor(hwnd(), GA_ROOT) : nullptr;
    constexpr ULONG_PTR kDialogAtom = 32770;  // the system dialog class "#32770"
    if (root && ::GetClassLongPtrW(root, GCW_ATOM) == kDialogAtom) ::EndDialog(root, result);
}

void HSButton::PlatformPopupMenu() {
    if (!hwnd() || !popup_) return;
    POINT corner{0, Height()};
    ::ClientToScreen(hwnd(), &corner);
    ::TrackPopupMenu(popup_, TPM_LEFTALIGN | TPM_TOPALIGN, corner.x, corner.y, 0, ::GetAncestor(hwnd(), GA_ROOT),
                     nullptr);
}

void HSButton::PlatformShow(bool visible) {
    if (hwnd()) ::ShowWindow(hwnd(), visible ? SW_SHOWNA : SW_HIDE);
}

void HSButton::PlatformEnable(bool enabled) {
    if (hwnd()) ::EnableWindow(hwnd(), enabled);
}

void HSButton::PlatformCaptionChanged() {
    if (!hwnd() || setting_text_) return;
    const std::wstring text = Wide(Caption());
    setting_text_ = true;
    ::SetWindowTextW(hwnd(), text.c_str());
    setting_text_ = false;
}

void HSButton::PlatformBoundsChanged() {
    if (!hwnd()) return;
    const Rect r = Bounds();
    ::SetWindowPos(hwnd(), nullptr, r.left, r.top, r.width(), r.height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

bool HSButton::PlatformParentShowing() const {
    HWND parent = hwnd() ? ::GetParent(hwnd()) : nullptr;
    return parent && ::IsWindowVisible(parent);
}

void HSButton::PaintTo(HDC target) {
    RECT client;
    ::GetClientRect(hwnd(), &client);
    const int w = client.right, h = client.bottom;
    ui::Dib face(w, h);
    if (!face.ok()) return;

    if (HasPopupMenu() && arrow_.empty()) arrow_ = ui::LoadBitmapResource("HSARROW");
    hsb::GdiTextRenderer text(face.dc(), fonts_, Style() != THSButtonStyle::bsShape);
    const SystemPalette palette = CurrentPalette();
    FaceTools tools{text, palette, &arrow_};
    Render(face.view(), tools);
    ::GdiFlush();

    HDC source = face.dc();
    std::optional<ui::Dib> composed;
    if (IsTransparentStyle(Style())) {
        // The key colour lets the parent's background through.
        composed.emplace(w, h);
        if (!composed->ok()) return;
        const RECT all{0, 0, w, h};
        ::FillRect(composed->dc(), &all, ::GetSysColorBrush(COLOR_BTNFACE));  // a parent that paints nothing
        ui::PaintParentBackground(composed->dc(), hwnd());
        ::GdiFlush();
        DrawImage(composed->view(), face.view(), 0, 0, FromPixel(kKeyPixel));
        source = composed->dc();
    }
    if (ShowsFocusRect()) {
        RECT focus{4, 4, w - 4, h - 4};
        ::SetTextColor(source, RGB(0, 0, 0));
        ::SetBkColor(source, RGB(255, 255, 255));
        ::DrawFocusRect(source, &focus);
    }
    ::BitBlt(target, 0, 0, w, h, source, 0, 0, SRCCOPY);
}

}  // namespace setup::win

#include "controls/hsbutton/hsbutton_win.h"

#include <windowsx.h>

#include <cstring>
#include <optional>
#include <string>
#include <utility>

#include "base/error.h"
#include "win/text.h"

namespace setup::win {

namespace {

std::function<void(const std::exception&)>& ErrorHandler() {
    static std::function<void(const std::exception&)> handler;
    return handler;
}

}  // namespace

void hsb::ReportException(HWND window, const std::exception& e) noexcept {
    try {
        if (ErrorHandler()) {
            ErrorHandler()(e);
            return;
        }
        const std::wstring text = Wide(e.what());
        ::MessageBoxW(window ? ::GetAncestor(window, GA_ROOT) : nullptr, text.c_str(), L"",
                      MB_OK | MB_ICONERROR);
    } catch (...) {
    }
}

void HSButton::RegisterButtonClass() {
    static bool registered = false;
    if (registered) return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &HSButton::WindowProc;
    wc.hInstance = hsb::ThisModule();
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = HSButton::kClassName;
    // No CS_DBLCLKS: a quick second click is a second press, not a double click.
    if (!::RegisterClassExW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw Error("The button window class could not be registered");
    registered = true;
}

namespace {

SystemPalette CurrentPalette() {
    SystemPalette palette;
    for (int i = 0; i < SystemPalette::kCount; ++i) palette.Set(i, ::GetSysColor(i));
    return palette;
}

}  // namespace

HSButton::HSButton() = default;

HSButton::~HSButton() {
    BeginDestroy();  // kills the fade timer before anything else
    if (hwnd_) {
        HWND window = std::exchange(hwnd_, nullptr);
        // Detached first: the messages of the destruction find no button behind the window.
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        ::DestroyWindow(window);
    }
}

void HSButton::Create(HWND parent, int id, int x, int y, int w, int h) {
    if (hwnd_ || Destroying()) throw Error("The button window can be created once only");
    RegisterButtonClass();
    SetBounds(x, y, w, h);
    DWORD style = WS_CHILD | WS_TABSTOP | WS_CLIPSIBLINGS;
    if (Visible()) style |= WS_VISIBLE;
    if (!Enabled()) style |= WS_DISABLED;
    const DWORD ex_style = IsTransparentStyle(Style()) ? WS_EX_TRANSPARENT : 0;
    const std::wstring text = Wide(Caption());
    HWND window = ::CreateWindowExW(ex_style, kClassName, text.c_str(), style, x, y, w, h, parent,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), hsb::ThisModule(), this);
    if (!window) throw Error("The button window could not be created");
}

HSButton* HSButton::FromWindow(HWND window) {
    if (!window) return nullptr;
    wchar_t name[32] = {};
    if (::GetClassNameW(window, name, 32) == 0 || std::wcscmp(name, kClassName) != 0) return nullptr;
    return reinterpret_cast<HSButton*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

void HSButton::SetPopupMenu(HMENU menu) {
    popup_ = menu;
    SetHasPopupMenu(menu != nullptr);
}

void HSButton::Focus() {
    if (hwnd_) ::SetFocus(hwnd_);
}

LRESULT CALLBACK HSButton::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        auto* created = static_cast<HSButton*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
        if (created) created->hwnd_ = window;
    }
    auto* self = reinterpret_cast<HSButton*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(window, message, wparam, lparam);
    try {
        return self->Handle(message, wparam, lparam);
    } catch (const std::exception& e) {
        hsb::ReportException(window, e);
    } catch (...) {
        hsb::ReportException(window, Error("Unexpected failure in a button handler"));
    }
    return 0;
}

// Every branch that calls into the button's rules returns right after: an event handler may
// have destroyed the button.
LRESULT HSButton::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
    HWND window = hwnd_;
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
        case WM_NCDESTROY:
            ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            hwnd_ = nullptr;
            break;
        default:
            break;
    }
    return ::DefWindowProcW(window, message, wparam, lparam);
}

bool HSButton::PointerInside() const {
    POINT p;
    if (!hwnd_ || !::GetCursorPos(&p)) return false;
    if (::WindowFromPoint(p) != hwnd_) return false;
    ::ScreenToClient(hwnd_, &p);
    RECT client;
    ::GetClientRect(hwnd_, &client);
    return ::PtInRect(&client, p) != FALSE;
}

void HSButton::OnMouseMove(POINT p) {
    if (!tracking_leave_) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, hwnd_, 0};
        tracking_leave_ = ::TrackMouseEvent(&track) != FALSE;
    }
    RECT client;
    ::GetClientRect(hwnd_, &client);
    const bool inside = ::PtInRect(&client, p) != FALSE;
    // While the mouse is captured, moves outside the button arrive here too.
    if (inside && !MouseInside()) {
        MouseEnter();
    } else if (!inside && MouseInside()) {
        MouseLeave();
    }
}

void HSButton::OnMouseLeaveMessage() {
    tracking_leave_ = false;
    // Some systems post a leave when the capture is taken; the pointer decides.
    if (::GetCapture() == hwnd_ && PointerInside()) return;
    if (MouseInside()) MouseLeave();
}

void HSButton::OnButtonUp(MouseButton button, WPARAM keys) {
    const bool others_held = (keys & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) != 0;
    if (::GetCapture() == hwnd_ && (Pressed() || !others_held)) {
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
        tracking_leave_ = false;
        POINT p;
        ::GetCursorPos(&p);
        ::ScreenToClient(hwnd_, &p);
        OnMouseMove(p);
    }
}

void HSButton::PlatformRepaint(bool now) {
    if (!hwnd_) return;
    if (now) {
        ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    } else {
        ::InvalidateRect(hwnd_, nullptr, FALSE);
    }
}

void HSButton::PlatformFadeTimer(bool run) {
    if (!hwnd_) return;
    if (run) {
        ::SetTimer(hwnd_, kFadeTimerId, FadeAnimator::kTickMs, nullptr);
    } else {
        ::KillTimer(hwnd_, kFadeTimerId);
    }
}

void HSButton::PlatformTransparent(bool transparent) {
    if (hwnd_) ::SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, transparent ? WS_EX_TRANSPARENT : 0);
}

void HSButton::PlatformTakeFocus() {
    if (hwnd_ && ::GetFocus() != hwnd_) ::SetFocus(hwnd_);
}

Bitmap HSButton::PlatformLoadBitmap(std::string_view resource_name) {
    return hsb::LoadBitmapResource(hsb::ThisModule(), Wide(resource_name).c_str());
}

void HSButton::PlatformModalResult(int32_t result) {
    if (OnModalResult) {
        OnModalResult(result);
        return;
    }
    HWND root = hwnd_ ? ::GetAncestor(hwnd_, GA_ROOT) : nullptr;
    constexpr ULONG_PTR kDialogAtom = 32770;  // the system dialog class "#32770"
    if (root && ::GetClassLongPtrW(root, GCW_ATOM) == kDialogAtom) ::EndDialog(root, result);
}

void HSButton::PlatformPopupMenu() {
    if (!hwnd_ || !popup_) return;
    POINT corner{0, Height()};
    ::ClientToScreen(hwnd_, &corner);
    ::TrackPopupMenu(popup_, TPM_LEFTALIGN | TPM_TOPALIGN, corner.x, corner.y, 0, ::GetAncestor(hwnd_, GA_ROOT),
                     nullptr);
}

void HSButton::PlatformShow(bool visible) {
    if (hwnd_) ::ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
}

void HSButton::PlatformEnable(bool enabled) {
    if (hwnd_) ::EnableWindow(hwnd_, enabled);
}

void HSButton::PlatformCaptionChanged() {
    if (!hwnd_ || setting_text_) return;
    const std::wstring text = Wide(Caption());
    setting_text_ = true;
    ::SetWindowTextW(hwnd_, text.c_str());
    setting_text_ = false;
}

void HSButton::PlatformBoundsChanged() {
    if (!hwnd_) return;
    const Rect r = Bounds();
    ::SetWindowPos(hwnd_, nullptr, r.left, r.top, r.width(), r.height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

bool HSButton::PlatformParentShowing() const {
    HWND parent = hwnd_ ? ::GetParent(hwnd_) : nullptr;
    return parent && ::IsWindowVisible(parent);
}

void HSButton::PaintParentBackground(HDC dc, int width, int height) {
    HWND parent = ::GetParent(hwnd_);
    if (!parent) return;
    POINT origin{0, 0};
    ::MapWindowPoints(hwnd_, parent, &origin, 1);
    POINT old;
    ::SetViewportOrgEx(dc, -origin.x, -origin.y, &old);
    if (!::SendMessageW(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0)) {
        auto brush = reinterpret_cast<HBRUSH>(::GetClassLongPtrW(parent, GCLP_HBRBACKGROUND));
        const RECT area{origin.x, origin.y, origin.x + width, origin.y + height};
        ::FillRect(dc, &area, brush ? brush : ::GetSysColorBrush(COLOR_BTNFACE));
    }
    ::SendMessageW(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    ::SetViewportOrgEx(dc, old.x, old.y, nullptr);
}

void HSButton::PaintTo(HDC target) {
    RECT client;
    ::GetClientRect(hwnd_, &client);
    const int w = client.right, h = client.bottom;
    hsb::DibSection face = hsb::DibSection::Create(w, h);
    hsb::UniqueDc face_dc(::CreateCompatibleDC(target));
    if (!face || !face_dc) return;
    hsb::SelectScope select_face(face_dc.get(), face.bitmap.get());

    if (HasPopupMenu() && arrow_.empty()) arrow_ = hsb::LoadBitmapResource(hsb::ThisModule(), L"HSARROW");
    hsb::GdiTextRenderer text(face_dc.get(), fonts_, Style() != THSButtonStyle::bsShape);
    const SystemPalette palette = CurrentPalette();
    FaceTools tools{text, palette, &arrow_};
    Render(face.view(), tools);
    ::GdiFlush();

    HDC source = face_dc.get();
    hsb::DibSection composed;
    hsb::UniqueDc composed_dc;
    std::optional<hsb::SelectScope> select_composed;
    if (IsTransparentStyle(Style())) {
        // The key colour lets the parent's background through.
        composed = hsb::DibSection::Create(w, h);
        composed_dc.reset(::CreateCompatibleDC(target));
        if (!composed || !composed_dc) return;
        select_composed.emplace(composed_dc.get(), composed.bitmap.get());
        PaintParentBackground(composed_dc.get(), w, h);
        ::GdiFlush();
        const size_t count = static_cast<size_t>(w) * h;
        for (size_t i = 0; i < count; ++i)
            if (!SameRgb(face.bits[i], kKeyPixel)) composed.bits[i] = face.bits[i];
        source = composed_dc.get();
    }
    if (ShowsFocusRect()) {
        RECT focus{4, 4, w - 4, h - 4};
        ::SetTextColor(source, RGB(0, 0, 0));
        ::SetBkColor(source, RGB(255, 255, 255));
        ::DrawFocusRect(source, &focus);
    }
    ::BitBlt(target, 0, 0, w, h, source, 0, 0, SRCCOPY);
}

void SetButtonErrorHandler(std::function<void(const std::exception&)> handler) {
    ErrorHandler() = std::move(handler);
}

}  // namespace setup::win

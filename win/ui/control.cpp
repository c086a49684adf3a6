#include "win/ui/control.h"

#include "win/application.h"
#include "win/ui/container.h"

namespace setup::win::ui {

// ---- Control -----------------------------------------------------------------------------

void Control::SetBounds(const Rect& r) {
    if (r.left == bounds_.left && r.top == bounds_.top && r.width == bounds_.width && r.height == bounds_.height)
        return;
    const Rect old = bounds_;
    bounds_ = r;
    BoundsChanged(old);
}

void Control::BoundsChanged(const Rect&) { Invalidate(); }

void Control::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    VisibleChanged();
}

void Control::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    EnabledChanged();
}

// ---- GraphicControl ----------------------------------------------------------------------

GraphicControl::GraphicControl(Container* parent, const Rect& bounds) : Control(parent, bounds) {
    if (parent_) parent_->AddGraphic(this);
}

GraphicControl::~GraphicControl() {
    if (parent_) parent_->RemoveGraphic(this);
}

void GraphicControl::Invalidate() {
    if (parent_) parent_->InvalidateArea(bounds_);
}

void GraphicControl::Repaint() {
    if (!parent_) return;
    Invalidate();
    parent_->Update();
}

void GraphicControl::BoundsChanged(const Rect& old) {
    if (parent_) parent_->InvalidateArea(old);
    Invalidate();
}

void GraphicControl::VisibleChanged() {
    // Hidden controls are skipped by the parent's paint; either way the area changes.
    if (parent_) parent_->InvalidateArea(bounds_);
}

// ---- WindowedControl ---------------------------------------------------------------------

WindowedControl::WindowedControl(Container* parent, const Rect& bounds) : Control(parent, bounds) {}

WindowedControl::~WindowedControl() {
    if (parent_) parent_->RemoveWindowed(this);
    if (hwnd_) {
        // Our window procedure must not reach this half-destroyed object any more.
        if (own_class_) ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        ::DestroyWindow(hwnd_);
    }
}

void WindowedControl::RegisterClass(const wchar_t* class_name, HCURSOR cursor, HICON icon, UINT class_style) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = class_style;
    wc.lpfnWndProc = &WindowedControl::Proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = cursor ? cursor : ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = icon;
    wc.lpszClassName = class_name;
    ::RegisterClassExW(&wc);  // a second registration fails harmlessly
}

void WindowedControl::CreateHandle(DWORD ex_style, const wchar_t* class_name, DWORD style, const std::wstring& text) {
    HWND parent = parent_ ? parent_->hwnd() : nullptr;
    WNDCLASSEXW info{};
    info.cbSize = sizeof(info);
    own_class_ = ::GetClassInfoExW(::GetModuleHandleW(nullptr), class_name, &info) &&
                 info.lpfnWndProc == &WindowedControl::Proc;
    style |= WS_CHILD | (visible_ ? WS_VISIBLE : 0) | (enabled_ ? 0 : WS_DISABLED);
    hwnd_ = ::CreateWindowExW(ex_style, class_name, text.c_str(), style, bounds_.left, bounds_.top, bounds_.width,
                              bounds_.height, parent, nullptr, ::GetModuleHandleW(nullptr), own_class_ ? this : nullptr);
    if (parent_) parent_->AddWindowed(this);
}

void WindowedControl::CreateTopLevel(DWORD ex_style, const wchar_t* class_name, DWORD style, HWND owner,
                                     const Rect& outer, const std::wstring& text) {
    own_class_ = true;
    hwnd_ = ::CreateWindowExW(ex_style, class_name, text.c_str(), style, outer.left, outer.top, outer.width,
                              outer.height, owner, nullptr, ::GetModuleHandleW(nullptr), this);
}

LRESULT CALLBACK WindowedControl::Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
        auto* self = static_cast<WindowedControl*>(create->lpCreateParams);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        if (self) self->hwnd_ = hwnd;
    }
    auto* self = reinterpret_cast<WindowedControl*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(hwnd, message, wparam, lparam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return ::DefWindowProcW(hwnd, message, wparam, lparam);
    }
    // No exception may cross the system's frames back into the message loop.
    try {
        return self->OnMessage(message, wparam, lparam);
    } catch (const std::exception& e) {
        if (auto* app = Application::Current()) app->ShowException(e);
    } catch (...) {
    }
    return 0;
}

LRESULT WindowedControl::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    return Default(message, wparam, lparam);
}

LRESULT WindowedControl::Default(UINT message, WPARAM wparam, LPARAM lparam) {
    return ::DefWindowProcW(hwnd_, message, wparam, lparam);
}

bool WindowedControl::Reflect(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

void WindowedControl::Invalidate() {
    if (hwnd_) ::InvalidateRect(hwnd_, nullptr, TRUE);
}

void WindowedControl::Repaint() {
    if (hwnd_) ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void WindowedControl::Focus() {
    if (hwnd_) ::SetFocus(hwnd_);
}

void WindowedControl::BoundsChanged(const Rect&) {
    if (hwnd_)
        ::SetWindowPos(hwnd_, nullptr, bounds_.left, bounds_.top, bounds_.width, bounds_.height,
                       SWP_NOZORDER | SWP_NOACTIVATE);
}

void MoveFocusFrom(HWND window) {
    HWND focus = ::GetFocus();
    if (!window || !focus || (focus != window && !::IsChild(window, focus))) return;
    // A hidden window would keep the focus, and the keyboard would reach nothing visible.
    HWND top = ::GetAncestor(window, GA_ROOT);
    HWND next = top ? ::GetNextDlgTabItem(top, window, FALSE) : nullptr;
    if (next && next != window && !::IsChild(window, next) && ::IsWindowVisible(next))
        ::SetFocus(next);
    else
        ::SetFocus(top);
}

void WindowedControl::VisibleChanged() {
    if (!hwnd_) return;
    if (!visible_) MoveFocusFrom(hwnd_);
    ::ShowWindow(hwnd_, visible_ ? SW_SHOWNA : SW_HIDE);
}

void WindowedControl::EnabledChanged() {
    if (hwnd_) ::EnableWindow(hwnd_, enabled_ ? TRUE : FALSE);
}

}  // namespace setup::win::ui

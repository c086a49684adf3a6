#include "win/ui/control.h"

#include "win/ui/container.h"

namespace setup::win::ui {

// ---- Control -----------------------------------------------------------------------------

void Control::SetBounds(const Rect& r) {
    if (r == bounds_)
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
}

DWORD WindowedControl::ChildStyle(DWORD style) const {
    return style | WS_CHILD | (visible_ ? WS_VISIBLE : 0) | (enabled_ ? 0 : WS_DISABLED);
}

void WindowedControl::CreateHandle(DWORD ex_style, const WindowClass& window_class, DWORD style) {
    CreateWindowOf(window_class, ex_style, ChildStyle(style), parent_ ? parent_->hwnd() : nullptr, bounds_);
    if (parent_) parent_->AddWindowed(this);
}

void WindowedControl::CreateHandle(DWORD ex_style, const wchar_t* system_class, DWORD style, const std::wstring& text) {
    CreateSystemWindow(system_class, ex_style, ChildStyle(style), parent_ ? parent_->hwnd() : nullptr, bounds_,
                       text.c_str());
    if (parent_) parent_->AddWindowed(this);
}

void WindowedControl::CreateTopLevel(DWORD ex_style, const WindowClass& window_class, DWORD style, HWND owner,
                                     const Rect& outer, const std::wstring& text) {
    CreateWindowOf(window_class, ex_style, style, owner, outer, 0, text.c_str());
}

bool WindowedControl::Reflect(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

void WindowedControl::Invalidate() {
    if (hwnd()) ::InvalidateRect(hwnd(), nullptr, TRUE);
}

void WindowedControl::Repaint() {
    if (hwnd()) ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void WindowedControl::Focus() {
    if (hwnd()) ::SetFocus(hwnd());
}

void WindowedControl::BoundsChanged(const Rect&) {
    if (hwnd())
        ::SetWindowPos(hwnd(), nullptr, bounds_.left, bounds_.top, bounds_.width(), bounds_.height(),
                       SWP_NOZORDER | SWP_NOACTIVATE);
    if (parent_) parent_->Restack();
}

// ---- HostedControl -----------------------------------------------------------------------

void HostedControl::Invalidate() {
    if (HWND window = HostedWindow()) ::InvalidateRect(window, nullptr, FALSE);
}

void HostedControl::Repaint() {
    if (HWND window = HostedWindow())
        ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void HostedControl::BoundsChanged(const Rect&) {
    if (HWND window = HostedWindow())
        ::SetWindowPos(window, nullptr, bounds_.left, bounds_.top, bounds_.width(), bounds_.height(),
                       SWP_NOZORDER | SWP_NOACTIVATE);
}

void HostedControl::VisibleChanged() {
    if (!visible_) MoveFocusFrom(HostedWindow());
    if (HWND window = HostedWindow()) ::ShowWindow(window, visible_ ? SW_SHOWNA : SW_HIDE);
}

void HostedControl::EnabledChanged() {
    if (HWND window = HostedWindow()) ::EnableWindow(window, enabled_ ? TRUE : FALSE);
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
    if (!hwnd()) return;
    if (!visible_) MoveFocusFrom(hwnd());
    ::ShowWindow(hwnd(), visible_ ? SW_SHOWNA : SW_HIDE);
    if (parent_) parent_->Restack();
}

void WindowedControl::EnabledChanged() {
    if (hwnd()) ::EnableWindow(hwnd(), enabled_ ? TRUE : FALSE);
}

}  // namespace setup::win::ui

#include "win/ui/container.h"

#include <windowsx.h>

#include <algorithm>

#include "win/text.h"
#include "win/ui/gdi.h"

namespace setup::win::ui {

// ---- Container ---------------------------------------------------------------------------

Container::Container(Container* parent, const Rect& bounds, COLORREF color)
    : WindowedControl(parent, bounds), color_(color), brush_(::CreateSolidBrush(color)) {}

void Container::SetColor(COLORREF color) {
    if (color == color_) return;
    color_ = color;
    brush_.reset(::CreateSolidBrush(color));
    Invalidate();
}

void Container::InvalidateArea(const Rect& r) {
    if (!hwnd()) return;
    const RECT rc = ToRect(r);
    ::InvalidateRect(hwnd(), &rc, FALSE);
}

void Container::Update() {
    if (hwnd()) ::UpdateWindow(hwnd());
}

void Container::AddGraphic(GraphicControl* c) { graphics_.push_back(c); }

void Container::RemoveGraphic(GraphicControl* c) {
    std::erase(graphics_, c);
    if (hover_ == c) hover_ = nullptr;
    if (pressed_ == c) pressed_ = nullptr;
}

void Container::AddWindowed(WindowedControl* c) {
    windowed_.push_back(c);
    Restack();
}

void Container::RemoveWindowed(WindowedControl* c) {
    std::erase(windowed_, c);
    if (c->hwnd()) std::erase(clipped_, c->hwnd());
    Restack();
}

// The system lays a later child window under an earlier one, and the dialog keys follow
// that order through the controls. The layout's order (a later control above) is kept for
// the eye instead: an earlier child loses, through its window region, what visible later
// siblings cover of it.
void Container::Restack() {
    for (size_t i = 0; i < windowed_.size(); ++i) {
        HWND window = windowed_[i]->hwnd();
        if (!window) continue;
        const RECT own = ToRect(windowed_[i]->Bounds());
        UniqueRegion region;
        for (size_t j = i + 1; j < windowed_.size(); ++j) {
            const RECT above = ToRect(windowed_[j]->Bounds());
            RECT hit;
            if (!windowed_[j]->Visible() || !::IntersectRect(&hit, &own, &above)) continue;
            if (!region) region.reset(::CreateRectRgn(0, 0, own.right - own.left, own.bottom - own.top));
            UniqueRegion cut(::CreateRectRgn(hit.left - own.left, hit.top - own.top, hit.right - own.left,
                                             hit.bottom - own.top));
            if (region && cut) ::CombineRgn(region.get(), region.get(), cut.get(), RGN_DIFF);
        }
        const bool was_clipped = std::find(clipped_.begin(), clipped_.end(), window) != clipped_.end();
        if (!region && !was_clipped) continue;
        // The window owns the region once it is set.
        if (::SetWindowRgn(window, region.get(), TRUE) && region) {
            static_cast<void>(region.release());
            if (!was_clipped) clipped_.push_back(window);
        } else if (!region) {
            std::erase(clipped_, window);
        }
    }
}

GraphicControl* Container::GraphicAt(POINT p) const {
    // Later children are drawn above earlier ones: search from the top.
    for (auto it = graphics_.rbegin(); it != graphics_.rend(); ++it) {
        GraphicControl* c = *it;
        if (c->Visible() && c->WantsMouse() && c->Bounds().Contains(p.x, p.y)) return c;
    }
    return nullptr;
}

void Container::SetHover(GraphicControl* c) {
    if (c == hover_) return;
    if (hover_) hover_->MouseLeave();
    hover_ = c;
    if (hover_) hover_->MouseEnter();
}

void Container::MouseMove(POINT p) {
    TrackMouseVisit();
    GraphicControl* c = GraphicAt(p);
    SetHover(c && c->Enabled() ? c : nullptr);
}

void Container::Paint(HDC dc, const RECT& area) {
    const int w = area.right - area.left, h = area.bottom - area.top;
    if (w <= 0 || h <= 0) return;
    // Off-screen, then one copy: labels over pictures never flicker.
    Dib buffer(w, h);
    if (!buffer.ok()) {
        ::FillRect(dc, &area, brush_.get());
        return;
    }
    HDC mem = buffer.dc();
    ::SetViewportOrgEx(mem, -area.left, -area.top, nullptr);
    ::FillRect(mem, &area, brush_.get());
    ::SetBkMode(mem, TRANSPARENT);
    for (GraphicControl* c : graphics_) {
        if (!c->Visible()) continue;
        RECT r = ToRect(c->Bounds()), hit;
        if (!::IntersectRect(&hit, &r, &area)) continue;
        const int saved = ::SaveDC(mem);
        ::IntersectClipRect(mem, r.left, r.top, r.right, r.bottom);
        c->Paint(mem);
        ::RestoreDC(mem, saved);
    }
    ::SetViewportOrgEx(mem, 0, 0, nullptr);
    ::BitBlt(dc, area.left, area.top, w, h, mem, 0, 0, SRCCOPY);
}

bool Container::Reflected(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
    HWND child = nullptr;
    switch (message) {
        case WM_COMMAND: child = reinterpret_cast<HWND>(lparam); break;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: child = reinterpret_cast<HWND>(lparam); break;
        default: return false;
    }
    for (WindowedControl* c : windowed_)
        if (c->hwnd() == child && child) return c->Reflect(message, wparam, lparam, result);
    return false;
}

LRESULT Container::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_ERASEBKGND: return 1;  // the paint covers every pixel
        case WM_PAINT: {
            PaintScope ps(hwnd());
            Paint(ps.get(), ps.area());
            return 0;
        }
        case WM_PRINTCLIENT: {
            RECT rc;
            ::GetClientRect(hwnd(), &rc);
            Paint(reinterpret_cast<HDC>(wparam), rc);
            return 0;
        }
        case WM_MOUSEMOVE: MouseMove({GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)}); return 0;
        case WM_MOUSELEAVE:
            SetHover(nullptr);
            return 0;
        case WM_LBUTTONDOWN: {
            GraphicControl* c = GraphicAt({GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)});
            pressed_ = c && c->Enabled() ? c : nullptr;
            if (pressed_) ::SetCapture(hwnd());
            return 0;
        }
        case WM_LBUTTONUP: {
            GraphicControl* c = pressed_;
            pressed_ = nullptr;
            if (::GetCapture() == hwnd()) ::ReleaseCapture();
            // A click is a press and a release on the same control.
            if (c && c == GraphicAt({GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)})) c->Click();
            return 0;
        }
        case WM_CAPTURECHANGED: pressed_ = nullptr; return 0;
        case WM_SETCURSOR:
            if (LOWORD(lparam) == HTCLIENT) {
                POINT p;
                ::GetCursorPos(&p);
                ::ScreenToClient(hwnd(), &p);
                GraphicControl* c = GraphicAt(p);
                if (HCURSOR cursor = c ? c->Cursor() : nullptr) {
                    ::SetCursor(cursor);
                    return TRUE;
                }
            }
            break;
        default: {
            LRESULT result = 0;
            if (Reflected(message, wparam, lparam, result)) return result;
            if (message == WM_CTLCOLORSTATIC || message == WM_CTLCOLORBTN) {
                // Standard controls without their own colours take this container's.
                ::SetBkColor(reinterpret_cast<HDC>(wparam), color_);
                return reinterpret_cast<LRESULT>(brush_.get());
            }
            break;
        }
    }
    return Default(message, wparam, lparam);
}

// ---- Panel -------------------------------------------------------------------------------

Panel::Panel(Container* parent, const Rect& bounds, COLORREF color) : Container(parent, bounds, color) {
    CreateHandle(WS_EX_CONTROLPARENT, kClass, WS_CLIPCHILDREN | WS_CLIPSIBLINGS);
}

// ---- Form --------------------------------------------------------------------------------

namespace {
constexpr wchar_t kFormClass[] = L"ZsForm";
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_CONTROLPARENT | WS_EX_WINDOWEDGE;
}  // namespace

Form::Form(HWND owner, int client_width, int client_height, COLORREF color, HICON icon)
    : Container(nullptr, Rect::FromSize(0, 0, client_width, client_height), color) {
    // Fixed border: the outer size follows from the client size and never changes.
    RECT outer{0, 0, client_width, client_height};
    ::AdjustWindowRectEx(&outer, kFormStyle, FALSE, kFormExStyle);
    const int w = outer.right - outer.left, h = outer.bottom - outer.top;
    RECT work{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int x = work.left + std::max(0L, (work.right - work.left - w) / 2);
    const int y = work.top + std::max(0L, (work.bottom - work.top - h) / 2);
    visible_ = false;
    CreateTopLevel(kFormExStyle, WindowClass{kFormClass, nullptr, icon}, kFormStyle, owner, Rect::FromSize(x, y, w, h), L"MainForm");
    if (hwnd() && icon) {
        ::SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        ::SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
}

void Form::SetCaption(const std::string& gbk) {
    if (hwnd()) ::SetWindowTextW(hwnd(), Wide(gbk).c_str());
}

LRESULT Form::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_SHOWWINDOW:
            if (wparam && !shown_) {
                shown_ = true;
                visible_ = true;
                if (on_first_show) on_first_show();
            }
            break;
        case WM_CLOSE:
            if (!on_close_query || on_close_query()) {
                if (on_close) on_close();
                else ::DestroyWindow(hwnd());
            }
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wparam) == WA_INACTIVE) {
                HWND focus = ::GetFocus();
                if (focus && ::IsChild(hwnd(), focus)) last_focus_ = focus;
            } else {
                // Activated again while already active (a window manager's focus request):
                // the focus it has now is newer than the one saved when it last lost it.
                HWND focus = ::GetFocus();
                if (focus && ::IsChild(hwnd(), focus)) return 0;
                HWND target = last_focus_;
                if (!target || !::IsWindow(target) || !::IsWindowVisible(target) || !::IsWindowEnabled(target))
                    target = ::GetNextDlgTabItem(hwnd(), nullptr, FALSE);
                if (target) ::SetFocus(target);
            }
            return 0;
        case WM_DESTROY:
            if (on_destroy) on_destroy();
            return 0;
        case WM_COMMAND:
            // Enter and Escape that no control took (IsDialogMessage sends IDOK/IDCANCEL).
            if (lparam == 0 && (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL)) return 0;
            break;
    }
    return Container::OnMessage(message, wparam, lparam);
}

}  // namespace setup::win::ui

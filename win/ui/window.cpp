#include "win/ui/window.h"

#include <string>
#include <vector>

#include "base/error.h"
#include "win/application.h"
#include "win/system.h"
#include "win/text.h"

namespace setup::win::ui {

void ReportException(const std::exception& e) noexcept {
    if (auto* app = Application::Current()) {
        app->ShowException(e);
        return;
    }
    try {
        ::MessageBoxW(nullptr, Wide(e.what()).c_str(), L"", MB_OK | MB_ICONERROR);
    } catch (...) {
    }
}

Window::~Window() {
    if (!hwnd_) return;
    HWND window = hwnd_;
    hwnd_ = nullptr;
    // The messages of the destruction must not reach this half-destroyed object.
    if (FromHandle(window) == this) ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    ::DestroyWindow(window);
}

Window* Window::FromHandle(HWND window) {
    if (!window || reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(window, GWLP_WNDPROC)) != &Window::Proc)
        return nullptr;
    return reinterpret_cast<Window*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

bool Window::FormKey(HWND, const MSG&) { return false; }

void Window::CreateWindowOf(const WindowClass& window_class, DWORD ex_style, DWORD style, HWND parent, const Rect& r,
                            int id, const wchar_t* text) {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (!::GetClassInfoExW(instance, window_class.name, &wc)) {
        wc = WNDCLASSEXW{};
        wc.cbSize = sizeof(wc);
        wc.style = window_class.style;
        wc.lpfnWndProc = &Window::Proc;
        wc.hInstance = instance;
        wc.hCursor = window_class.cursor ? window_class.cursor : ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hIcon = window_class.icon;
        wc.lpszClassName = window_class.name;
        RegisterClassOnce(wc);
    }
    const auto menu = (style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)) : nullptr;
    const bool made = ::CreateWindowExW(ex_style, window_class.name, text, style, r.left, r.top, r.width(), r.height(),
                                        parent, menu, instance, this) != nullptr;
    CheckWindow(made ? hwnd_ : nullptr);  // null too when the window went during its creation
}

void Window::CreateSystemWindow(const wchar_t* class_name, DWORD ex_style, DWORD style, HWND parent, const Rect& r,
                                const wchar_t* text) {
    hwnd_ = CheckWindow(::CreateWindowExW(ex_style, class_name, text, style, r.left, r.top, r.width(), r.height(), parent,
                                          nullptr, ::GetModuleHandleW(nullptr), nullptr));
}

LRESULT Window::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) { return Default(message, wparam, lparam); }

bool Window::TrackMouseVisit() {
    if (mouse_visit_) return false;
    TRACKMOUSEEVENT t{sizeof t, TME_LEAVE, hwnd_, 0};
    mouse_visit_ = ::TrackMouseEvent(&t) != FALSE;
    return true;
}

bool Window::EndMouseVisit() {
    if (!mouse_visit_) return false;
    TRACKMOUSEEVENT t{sizeof t, TME_LEAVE | TME_CANCEL, hwnd_, 0};
    ::TrackMouseEvent(&t);
    mouse_visit_ = false;
    return true;
}

LRESULT Window::Default(UINT message, WPARAM wparam, LPARAM lparam) {
    return ::DefWindowProcW(hwnd_, message, wparam, lparam);
}

LRESULT CALLBACK Window::Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        auto* created = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
        if (created) created->hwnd_ = hwnd;
    }
    auto* self = reinterpret_cast<Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(hwnd, message, wparam, lparam);
    if (message == WM_NCDESTROY) {
        // The window went with its parent: the object stays and forgets it.
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return ::DefWindowProcW(hwnd, message, wparam, lparam);
    }
    if (message == WM_MOUSELEAVE) self->mouse_visit_ = false;
    // No exception may cross the system's frames back into the message loop.
    try {
        return self->OnMessage(message, wparam, lparam);
    } catch (const std::exception& e) {
        if (message == WM_PAINT) ::ValidateRect(hwnd, nullptr);  // one box, not one per paint
        ReportException(e);
    } catch (...) {
        if (message == WM_PAINT) ::ValidateRect(hwnd, nullptr);
        ReportException(Error("Unexpected error"));
    }
    return 0;
}

namespace {

BOOL CALLBACK CollectWindow(HWND child, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
    return TRUE;
}

}  // namespace

bool RouteFormKeys(HWND form, const MSG& msg) {
    if (!form || !msg.hwnd || (msg.hwnd != form && !::IsChild(form, msg.hwnd))) return false;
    const bool dialog_key = msg.message == WM_KEYDOWN && (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE);
    if (!dialog_key && msg.message != WM_CHAR && msg.message != WM_SYSCHAR) return false;
    // Windows, not objects: a click may destroy controls, so each is looked up when its turn
    // comes.
    std::vector<HWND> windows;
    ::EnumChildWindows(form, &CollectWindow, reinterpret_cast<LPARAM>(&windows));
    try {
        for (HWND window : windows)
            if (Window* control = Window::FromHandle(window); control && control->FormKey(form, msg)) return true;
    } catch (const std::exception& e) {  // from a click's handler: reported like one in a window
        ReportException(e);
        return true;
    }
    return false;
}

}  // namespace setup::win::ui

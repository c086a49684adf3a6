#include "win/application.h"

#include <commctrl.h>

#include <new>

#include "base/error.h"
#include "win/system.h"
#include "win/text.h"

namespace setup::win {

namespace {

constexpr wchar_t kWindowClass[] = L"ZSetupApplication";
// Posted to the application window when it is activated (task-bar button, Alt+Tab), so the
// main window or its modal box takes the activation once the current activation is done.
constexpr UINT kActivateMain = WM_APP + 1;

Application* g_current = nullptr;

BOOL CALLBACK TakeFirstIcon(HMODULE module, LPCWSTR, LPWSTR name, LONG_PTR param) {
    *reinterpret_cast<HICON*>(param) = ::LoadIconW(module, name);
    return FALSE;  // the first one only
}

// The program's icon as Explorer shows it: the first icon group of the executable.
HICON FirstIcon(HINSTANCE instance) {
    HICON icon = nullptr;
    ::EnumResourceNamesW(instance, RT_GROUP_ICON, TakeFirstIcon, reinterpret_cast<LONG_PTR>(&icon));
    return icon ? icon : ::LoadIconW(nullptr, IDI_APPLICATION);
}

void RegisterWindowClass(HINSTANCE instance, WNDPROC proc) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hIcon = FirstIcon(instance);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kWindowClass;
    RegisterClassOnce(wc);  // a second application object finds it registered already
}

}  // namespace

Application::Application(HINSTANCE instance)
    : instance_(instance ? instance : ::GetModuleHandleW(nullptr)), title_(ExecutableTitle()) {
    g_current = this;
    // Without its window the program has no task-bar button and no owner for the main window:
    // the failure is shown in the error box, as any window's is, and the program ends.
    if (!Guarded([this] { CreateOwnWindow(); })) Terminate();
}

void Application::CreateOwnWindow() {
    RegisterWindowClass(instance_, &Application::WindowProc);
    // A zero-size popup with a caption at the screen's centre: it owns the main window, so
    // only it has a task-bar button, and its text is the task-bar title.
    int x = ::GetSystemMetrics(SM_CXSCREEN) / 2;
    int y = ::GetSystemMetrics(SM_CYSCREEN) / 2;
    window_.reset(CheckWindow(::CreateWindowExW(0, kWindowClass, Wide(title_).c_str(),
                                                WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                                                x, y, 0, 0, nullptr, nullptr, instance_, this)));
}

Application::~Application() {
    if (g_current == this) g_current = nullptr;
    if (main_window_ && ::IsWindow(main_window_))
        ::RemoveWindowSubclass(main_window_, &Application::MainWindowSubclass, 0);
    window_.reset();
}

Application* Application::Current() noexcept { return g_current; }

void Application::SetMainWindow(HWND window) noexcept {
    if (main_window_ && ::IsWindow(main_window_))
        ::RemoveWindowSubclass(main_window_, &Application::MainWindowSubclass, 0);
    main_window_ = window;
    if (window) ::SetWindowSubclass(window, &Application::MainWindowSubclass, 0, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK Application::MainWindowSubclass(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                                 DWORD_PTR data) {
    auto* self = reinterpret_cast<Application*>(data);
    if (message == WM_SYSCOMMAND && (wparam & 0xFFF0) == SC_MINIMIZE && self->window_) {
        self->Minimize();
        return 0;
    }
    if (message == WM_NCDESTROY) ::RemoveWindowSubclass(window, &Application::MainWindowSubclass, 0);
    return ::DefSubclassProc(window, message, wparam, lparam);
}

void Application::SetTitle(const std::string& gbk) {
    title_ = gbk;
    if (window_) ::SetWindowTextW(window_.get(), Wide(title_).c_str());
}

HWND Application::DialogOwner() const noexcept {
    if (main_window_ && ::IsWindow(main_window_) && ::IsWindowVisible(main_window_)) return main_window_;
    return ::GetActiveWindow();
}

void Application::Terminate() noexcept {
    if (terminated_) return;
    terminated_ = true;
    ::PostQuitMessage(0);
}

namespace {

// Keys, clicks and pointer moves, in the client area or on the frame.
bool IsInput(UINT message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
           (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK);
}

}  // namespace

void Application::HandleMessagesDroppingInput() {
    // A bounded number per call: a window that keeps asking cannot stall the step.
    constexpr int kMostMessages = 100;
    MSG msg;
    for (int n = 0; n < kMostMessages && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++n) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        // The task bar's "Close window" comes as WM_CLOSE, not as input.
        if (IsInput(msg.message) || msg.message == WM_CLOSE) continue;
        Guarded([&] { ::DispatchMessageW(&msg); });
    }
}

int Application::Run(int show_cmd) {
    int exit_code = 0;
    if (!terminated_ && main_window_ && ::IsWindow(main_window_)) {
        ::ShowWindow(main_window_, show_cmd);
        ::UpdateWindow(main_window_);
    }
    UpdateTaskbarButton();
    MSG msg;
    while (!terminated_) {
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            exit_code = static_cast<int>(msg.wParam);
            break;
        }
        if (got == -1) break;
        if (IsInput(msg.message) && input_floor_ != 0 && static_cast<LONG>(msg.time - input_floor_) < 0) continue;
        Guarded([&] {
            if (pre_translate && pre_translate(msg)) return;
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        });
        // A main window destroyed without Terminate ends the program all the same.
        if (main_window_ && !::IsWindow(main_window_)) Terminate();
        UpdateTaskbarButton();
    }
    terminated_ = true;
    // The loop has stopped: destroy the main window now, so its WM_DESTROY handler runs
    // before Run returns and the process ends.
    if (main_window_ && ::IsWindow(main_window_)) ::DestroyWindow(main_window_);
    main_window_ = nullptr;
    if (window_) ::ShowWindow(window_.get(), SW_HIDE);
    return exit_code;
}

void Application::Minimize() noexcept {
    if (!window_) return;
    ::ShowWindow(window_.get(), SW_MINIMIZE);
    // The system hides owned pop-ups with their minimised owner; the main window is hidden
    // here in any case, and shown again when the application window is restored.
    if (main_window_ && ::IsWindowVisible(main_window_)) {
        ::ShowWindow(main_window_, SW_HIDE);
        main_hidden_by_minimize_ = true;
    }
}

bool Application::Guarded(const std::function<void()>& handler) noexcept {
    try {
        handler();
        return true;
    } catch (const std::exception& e) {
        ShowException(e);
    } catch (...) {
        ShowErrorBox(ErrorBoxText("Unexpected error"));
    }
    return false;
}

void Application::ShowException(const std::exception& e) noexcept {
    try {
        if (auto* error = dynamic_cast<const Error*>(&e)) {
            ShowErrorBox(ErrorBoxText(error->text()));
        } else if (dynamic_cast<const std::bad_alloc*>(&e)) {
            ShowErrorBox(ErrorBoxText("Out of memory"));
        } else {
            ShowErrorBox(ErrorBoxText(e.what()));
        }
    } catch (...) {
        // Building the text ran out of memory: nothing more can be shown.
    }
}

void Application::ShowErrorBox(const std::string& gbk_text) noexcept {
    try {
        ::MessageBoxW(DialogOwner(), Wide(gbk_text).c_str(), Wide(title_).c_str(), MB_ICONERROR | MB_OK);
    } catch (...) {
    }
}

void Application::UpdateTaskbarButton() noexcept {
    if (!window_) return;
    HWND app = window_.get();
    // Minimising the application window hides the windows it owns; the button stays then.
    bool needed = main_window_ && ::IsWindow(main_window_) && (::IsWindowVisible(main_window_) || ::IsIconic(app));
    bool shown = ::IsWindowVisible(app) != FALSE;
    if (needed && !shown) {
        ::ShowWindow(app, SW_SHOWNOACTIVATE);
    } else if (!needed && shown) {
        ::ShowWindow(app, SW_HIDE);
    }
}

void Application::ActivateMainWindow() noexcept {
    if (!main_window_ || !::IsWindow(main_window_) || !::IsWindowVisible(main_window_)) return;
    // While a modal box is open the main window is disabled: the box takes the activation.
    HWND target = ::GetLastActivePopup(main_window_);
    if (!target || !::IsWindowVisible(target) || !::IsWindowEnabled(target)) target = main_window_;
    if (::IsWindowEnabled(target)) ::SetForegroundWindow(target);
}

LRESULT CALLBACK Application::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Application*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self || !self->window_) return ::DefWindowProcW(window, message, wparam, lparam);
    return self->HandleMessage(message, wparam, lparam);
}

LRESULT Application::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    HWND app = window_.get();
    switch (message) {
        case WM_ACTIVATE:
            if (LOWORD(wparam) != WA_INACTIVE) ::PostMessageW(app, kActivateMain, 0, 0);
            return 0;
        case kActivateMain:
            ActivateMainWindow();
            return 0;
        case WM_SYSCOMMAND:
            switch (wparam & 0xFFF0) {
                case SC_CLOSE:
                    // "Close window" on the task-bar button closes the main window, which asks.
                    if (main_window_ && ::IsWindowEnabled(main_window_)) ::PostMessageW(main_window_, WM_CLOSE, 0, 0);
                    return 0;
                case SC_MINIMIZE:  // the task-bar button clicked while the program is active
                    Minimize();
                    return 0;
                case SC_RESTORE: {
                    LRESULT r = ::DefWindowProcW(app, message, wparam, lparam);
                    ActivateMainWindow();
                    return r;
                }
            }
            break;
        case WM_SIZE:
            if (wparam != SIZE_MINIMIZED && main_hidden_by_minimize_) {
                main_hidden_by_minimize_ = false;
                if (main_window_ && ::IsWindow(main_window_)) ::ShowWindow(main_window_, SW_SHOW);
            }
            break;
        case WM_CLOSE:
            if (main_window_ && ::IsWindowEnabled(main_window_)) ::PostMessageW(main_window_, WM_CLOSE, 0, 0);
            return 0;
    }
    return ::DefWindowProcW(app, message, wparam, lparam);
}

}  // namespace setup::win

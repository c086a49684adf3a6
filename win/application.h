// application.h: the application object of the setup program.
//
// Like the framework the wizard was designed for, the program has a small, invisible
// application window that owns the main window and carries the task-bar button, so the
// task-bar title (Title) is separate from the main window's caption. The application also
// runs the message loop and ends the program on request.
//
// Use from wWinMain:
//   setup::win::HardenDllSearch();
//   setup::win::Application app(instance);
//   HWND main = CreateWindowExW(..., app.window() /* owner */, ...);
//   app.SetMainWindow(main);
//   return app.Run(show);          // shows the main window unless start-up ended the program
// When the application's own window cannot be made, the constructor shows the error box and
// the application is Terminated from the start.
// SetMainWindow subclasses the main window for one message: its minimise command minimises
// the application window instead, so the task-bar button and the window go down together.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <string>

#include "win/handles.h"

namespace setup::win {

class Application {
public:
    explicit Application(HINSTANCE instance = nullptr);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // The one application object of the process, or null outside its lifetime.
    static Application* Current() noexcept;

    HINSTANCE instance() const noexcept { return instance_; }
    // The invisible owner window that carries the task-bar button.
    HWND window() const noexcept { return window_.get(); }

    // Task-bar title (GBK). Until set it is the executable's file name without its extension.
    const std::string& Title() const noexcept { return title_; }
    void SetTitle(const std::string& gbk);

    // The wizard window: owner of message boxes, destroyed when the loop ends.
    HWND MainWindow() const noexcept { return main_window_; }
    void SetMainWindow(HWND window) noexcept;

    // Owner for a modal box: the main window while it is visible, else the active window of
    // this thread (null during start-up, so the box gets its own task-bar button).
    HWND DialogOwner() const noexcept;

    // Ends the program: the current handler finishes, the loop stops, then Run destroys the
    // main window (its WM_DESTROY runs) and returns. No close question is asked.
    void Terminate() noexcept;
    bool Terminated() const noexcept { return terminated_; }

    // Shows the main window with show_cmd (not when Terminate was already called during
    // start-up), runs the message loop until Terminate or a WM_QUIT, then destroys the main
    // window. Returns the exit code. The task-bar button is shown while the main window is.
    int Run(int show_cmd = SW_SHOWNORMAL);

    // Keyboard and mouse input made before this moment (a GetTickCount value) is thrown away
    // when it comes out of the queue: input that waited while a long step held the thread,
    // however late the system turned it into messages.
    void DropInputBefore(DWORD tick) noexcept { input_floor_ = tick; }

    // For a long step that holds the thread: handles what waits (paint, timers, the system's
    // messages), so that no window shows as not responding, and drops input (keys, clicks,
    // the frame's too) and close requests, which would act on a page that takes none or take
    // the windows away under the step. A WM_QUIT is left for the message loop.
    void HandleMessagesDroppingInput();

    // Called for every message before it is translated and dispatched; true swallows it
    // (keyboard navigation between controls, for example).
    std::function<bool(MSG&)> pre_translate;

    void Minimize() noexcept;

    // Calls handler and shows an escaping exception in the error box (error icon, OK, Title,
    // text finished with a full stop), as the framework does for an event handler. Returns
    // false when an exception was shown. Use it at the edge of every window procedure.
    bool Guarded(const std::function<void()>& handler) noexcept;
    void ShowException(const std::exception& e) noexcept;

    // The error box itself (text already finished by the caller).
    void ShowErrorBox(const std::string& gbk_text) noexcept;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    static LRESULT CALLBACK MainWindowSubclass(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                               UINT_PTR id, DWORD_PTR data);
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
    void CreateOwnWindow();  // throws setup::Error when it cannot be made
    void UpdateTaskbarButton() noexcept;
    void ActivateMainWindow() noexcept;

    HINSTANCE instance_;
    UniqueWindow window_;
    HWND main_window_ = nullptr;
    DWORD input_floor_ = 0;
    std::string title_;
    bool terminated_ = false;
    bool main_hidden_by_minimize_ = false;
};

}  // namespace setup::win

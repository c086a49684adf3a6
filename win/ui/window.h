// window.h: the window every control of the program is made of.
//
//   Window            owns one window. A window of a class registered here sends its messages
//                     to OnMessage; an exception thrown there goes no further than the window
//                     procedure: ReportException shows it. A class that cannot be registered
//                     or a window that cannot be made throws setup::Error.
//   ReportException   an exception that reached a window procedure or the message loop: the
//                     application's error box (Application::ShowException)
//   RouteFormKeys     the one key chain of a form: Enter, Escape and access keys offered to
//                     each control inside it (Window::FormKey) before the dialog navigation
//
// Use:
//   class Knob : public setup::win::ui::Window {
//       LRESULT OnMessage(UINT m, WPARAM w, LPARAM l) override { ...; return Default(m, w, l); }
//   };
//   knob.CreateWindowOf({L"ZsKnob"}, 0, WS_CHILD | WS_VISIBLE, parent, Rect::FromSize(10, 10, 40, 40));
#pragma once

#include <windows.h>

#include <exception>

#include "base/geometry.h"

namespace setup::win::ui {

// The rectangle as Win32 takes it.
inline RECT ToRect(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

// A window class of ours: registered once, on first use.
struct WindowClass {
    const wchar_t* name;
    HCURSOR cursor = nullptr;  // null: the arrow
    HICON icon = nullptr;
    UINT style = 0;            // CS_ flags
};

void ReportException(const std::exception& e) noexcept;

class Window {
public:
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND hwnd() const { return hwnd_; }

    // The object behind a window made with CreateWindowOf, or null for any other window.
    static Window* FromHandle(HWND window);

    // A form-level key (WM_KEYDOWN of Enter or Escape, WM_CHAR, WM_SYSCHAR) while the focus is
    // somewhere in `form`; true when this control took it.
    virtual bool FormKey(HWND form, const MSG& msg);

protected:
    Window() = default;
    // Detaches the object from its window, then destroys the window.
    virtual ~Window();

    // Registers the class if needed and creates the window (child `id` of parent, or a
    // top-level window owned by it) with this object behind it. Throws setup::Error.
    void CreateWindowOf(const WindowClass& window_class, DWORD ex_style, DWORD style, HWND parent, const Rect& r,
                        int id = 0, const wchar_t* text = L"");
    // A window of a system class (EDIT, BUTTON...): its messages stay with the system's
    // procedure. Throws setup::Error.
    void CreateSystemWindow(const wchar_t* class_name, DWORD ex_style, DWORD style, HWND parent, const Rect& r,
                            const wchar_t* text = L"");

    virtual LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT Default(UINT message, WPARAM wparam, LPARAM lparam);

    // A visit of the mouse. Call on every WM_MOUSEMOVE: asks Windows for a WM_MOUSELEAVE once
    // per visit; true when the visit has just begun. The visit ends when WM_MOUSELEAVE comes
    // (noted here before OnMessage sees it) or with EndMouseVisit, for a visit the control
    // settles itself (no WM_MOUSELEAVE follows); true when one was going on.
    bool TrackMouseVisit();
    bool EndMouseVisit();

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    HWND hwnd_ = nullptr;
    bool mouse_visit_ = false;
};

// Offers a form-level key of a message for `form` or a window inside it to the controls
// inside the form in window order; true when one took it (the loop then neither translates
// nor dispatches it). Exceptions from the click handlers it runs are reported.
bool RouteFormKeys(HWND form, const MSG& msg);

}  // namespace setup::win::ui

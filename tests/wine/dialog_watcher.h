// dialog_watcher.h: answers the test process's own dialogs without a person.
//
// A DialogWatcher starts a thread that waits for a visible top-level window of this process
// (a dialog of class "#32770", or any window with the given title), records its title, its
// static texts and its buttons, presses the chosen button and waits for the window to go.
// Create it before the call that shows the dialog; the call returns once the button is
// pressed. When no dialog appears, or the button is missing, the watcher still closes what
// it found (by its last button) and reports the problem, so a failing test fails instead of
// waiting for ever.
//
//   DialogWatcher watcher(L"&No");                      // any dialog, press "&No"
//   int answer = dialogs.MessageBox(text, title, 36);
//   DialogSnapshot seen = watcher.Finish();             // joins; check seen.error first
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

#include "tests/wine/test_thread.h"

namespace setup::testing {

struct DialogButton {
    std::wstring text;
    int id = 0;
    bool is_default = false;  // BS_DEFPUSHBUTTON
    RECT rect{};              // in the dialog's client coordinates
};

struct DialogStatic {
    std::wstring text;
    RECT rect{};
};

struct DialogSnapshot {
    bool found = false;
    bool pressed = false;
    std::string error;  // empty when the dialog appeared and the button was pressed
    HWND window = nullptr;
    std::wstring class_name;
    std::wstring title;
    RECT client{};
    bool has_icon = false;              // a static showing an icon
    std::vector<DialogStatic> texts;    // non-empty static texts, in child order
    std::vector<DialogButton> buttons;  // push buttons, in child order

    std::wstring Text() const;          // the static texts joined by "\n"
    const DialogButton* Button(const std::wstring& text) const;  // exact or without '&'
    const DialogButton* DefaultButton() const;
};

class DialogWatcher {
public:
    struct Options {
        std::wstring title;          // empty: any "#32770" dialog of this process
        std::wstring button;         // caption to press ("&Yes", "Yes" and "&yes" all match "&Yes")
        int button_id = 0;           // used when button is empty
        DWORD timeout_ms = 15000;
    };

    explicit DialogWatcher(std::wstring button, std::wstring title = L"", DWORD timeout_ms = 15000);
    explicit DialogWatcher(Options options);
    ~DialogWatcher();
    DialogWatcher(const DialogWatcher&) = delete;
    DialogWatcher& operator=(const DialogWatcher&) = delete;

    // Waits for the watcher to finish and returns what it saw.
    DialogSnapshot Finish();

private:
    void Run();

    Options options_;
    DialogSnapshot result_;
    TestThread thread_;
    bool finished_ = false;
};

// Reads a window the way the watcher does (no button pressed).
DialogSnapshot ReadDialog(HWND window);

// Text comparison used for captions: ignores '&' and letter case.
bool SameCaption(const std::wstring& a, const std::wstring& b);

}  // namespace setup::testing

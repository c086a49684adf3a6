// The form-level keys of the hot-track buttons: Enter to the Default button, Escape to the
// Cancel button, access keys to the button whose caption marks that character.
#include <windows.h>

#include <exception>
#include <vector>

#include "controls/hsbutton/hsbutton_win.h"
#include "win/text.h"

namespace setup::win {

namespace {

bool Inside(HWND form, HWND window) { return window && (window == form || ::IsChild(form, window)); }

BOOL CALLBACK CollectButton(HWND child, LPARAM list) {
    if (HSButton::FromWindow(child)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
    return TRUE;
}

// The buttons inside form, in the order of the window list (windows, not pointers: a click
// may destroy buttons, so each is looked up again when its turn comes).
std::vector<HWND> ButtonWindows(HWND form) {
    std::vector<HWND> windows;
    ::EnumChildWindows(form, &CollectButton, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// What has the focus, for the Default/Cancel rule. The system's own BUTTON class also makes
// check boxes, radio buttons and group boxes: only its push styles count as push buttons.
FocusKind FocusedKind(HWND form) {
    HWND focus = ::GetFocus();
    if (focus == form || !Inside(form, focus)) return FocusKind::kNone;
    wchar_t name[64] = {};
    ::GetClassNameW(focus, name, 64);
    FocusKind kind = ClassifyFocusedClass(Gbk(name));
    if (kind == FocusKind::kPushButton && ::lstrcmpiW(name, L"Button") == 0) {
        const LONG type = ::GetWindowLongW(focus, GWL_STYLE) & BS_TYPEMASK;
        if (type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON && type != BS_OWNERDRAW) kind = FocusKind::kOther;
    }
    return kind;
}

KeyModifiers HeldModifiers() {
    return {::GetKeyState(VK_SHIFT) < 0, ::GetKeyState(VK_CONTROL) < 0, ::GetKeyState(VK_MENU) < 0};
}

bool RouteDialogKey(HWND form, const MSG& msg) {
    const int key = msg.wParam == VK_RETURN ? kKeyEnter : kKeyEscape;
    const FocusKind focus = FocusedKind(form);
    const KeyModifiers mods = HeldModifiers();
    // A held key repeats its key-down: one click per press, the repeats are swallowed.
    const bool repeat = (msg.lParam & (1L << 30)) != 0;
    for (HWND window : ButtonWindows(form)) {
        HSButton* button = HSButton::FromWindow(window);
        if (!button || !button->WantsDialogKey(key, mods, focus)) continue;
        if (!repeat) button->DialogKey(key, mods, focus);
        return true;
    }
    return false;
}

bool RouteAccessKey(HWND form, wchar_t ch) {
    if (ch == 0 || ch >= 0x80) return false;
    for (HWND window : ButtonWindows(form)) {
        HSButton* button = HSButton::FromWindow(window);
        if (button && button->AccessKey(static_cast<char>(ch))) return true;
    }
    return false;
}

// A plain letter is an access key only when the focused control takes no characters (a
// button, not an edit box), as in a dialog.
bool FocusTakesChars(HWND form, const MSG& msg) {
    HWND focus = ::GetFocus();
    if (!Inside(form, focus)) return false;
    MSG copy = msg;
    const LRESULT code = ::SendMessageW(focus, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&copy));
    return (code & (DLGC_WANTCHARS | DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) != 0;
}

bool RouteKey(HWND form, const MSG& msg);

}  // namespace

bool RouteButtonKeys(HWND form, const MSG& msg) {
    if (!form || !Inside(form, msg.hwnd)) return false;
    try {
        return RouteKey(form, msg);
    } catch (const std::exception& e) {  // from a click's handler: reported like one in a window
        hsb::ReportException(form, e);
    }
    return true;
}

namespace {

bool RouteKey(HWND form, const MSG& msg) {
    switch (msg.message) {
        case WM_KEYDOWN:
            if (msg.wParam != VK_RETURN && msg.wParam != VK_ESCAPE) return false;
            return RouteDialogKey(form, msg);
        case WM_SYSCHAR:  // Alt+letter
            return RouteAccessKey(form, static_cast<wchar_t>(msg.wParam));
        case WM_CHAR:
            if (msg.wParam <= 0x20 || FocusTakesChars(form, msg)) return false;
            return RouteAccessKey(form, static_cast<wchar_t>(msg.wParam));
        default:
            return false;
    }
}

}  // namespace

}  // namespace setup::win

// The form-level keys of the hot-track buttons: Enter to the Default button, Escape to the
// Cancel button, access keys to the button whose caption marks that character.
#include <windows.h>

#include "controls/hsbutton/hsbutton_win.h"
#include "win/text.h"

namespace setup::win {

namespace {

bool Inside(HWND form, HWND window) { return window && (window == form || ::IsChild(form, window)); }

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

// A plain letter is an access key only when the focused control takes no characters (a
// button, not an edit box), as in a dialog.
bool FocusTakesChars(HWND form, const MSG& msg) {
    HWND focus = ::GetFocus();
    if (!Inside(form, focus)) return false;
    MSG copy = msg;
    const LRESULT code = ::SendMessageW(focus, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&copy));
    return (code & (DLGC_WANTCHARS | DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) != 0;
}

}  // namespace

bool HSButton::FormKey(HWND form, const MSG& msg) {
    switch (msg.message) {
        case WM_KEYDOWN: {  // Enter or Escape
            const int key = msg.wParam == VK_RETURN ? kKeyEnter : kKeyEscape;
            const FocusKind focus = FocusedKind(form);
            const KeyModifiers mods = HeldModifiers();
            if (!WantsDialogKey(key, mods, focus)) return false;
            // A held key repeats its key-down: one click per press, the repeats are swallowed.
            if ((msg.lParam & (1L << 30)) == 0) DialogKey(key, mods, focus);
            return true;
        }
        case WM_CHAR:
            if (msg.wParam <= 0x20 || FocusTakesChars(form, msg)) return false;
            [[fallthrough]];
        case WM_SYSCHAR:  // Alt+letter
            return msg.wParam != 0 && msg.wParam < 0x80 && AccessKey(static_cast<char>(msg.wParam));
        default:
            return false;
    }
}

}  // namespace setup::win

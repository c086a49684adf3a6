// confirm_dialog.h: the framework-style confirmation dialog: caption "Confirm", the question
// icon, the text, and the buttons "&Yes" (default) and "&No". Built from an in-memory dialog
// template, laid out in WM_INITDIALOG from the system's message font.
#pragma once

#include <windows.h>

#include <string>

namespace setup::win {

// Control ids of the dialog (the buttons carry IDYES and IDNO).
inline constexpr int kConfirmIconId = 100;
inline constexpr int kConfirmTextId = 101;

// Modal; true only when "&Yes" was chosen (Esc and the close box answer No).
bool ShowConfirmDialog(HWND owner, const std::wstring& text);

}  // namespace setup::win

#include "win/ui/std_controls.h"

#include <commctrl.h>

#include "win/system.h"
#include "win/text.h"
#include "win/ui/container.h"

namespace setup::win::ui {

void DisableVisualStyles(HWND window) {
    using SetWindowThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
    static UniqueModule uxtheme = LoadSystemLibrary(L"uxtheme.dll");
    static auto set_theme =
        uxtheme ? reinterpret_cast<SetWindowThemeFn>(
                      reinterpret_cast<void*>(::GetProcAddress(uxtheme.get(), "SetWindowTheme")))
                : nullptr;
    // A class list that names no theme class: every system, Wine included, falls back to the
    // classic look (an empty string is not honoured everywhere).
    if (set_theme && window) set_theme(window, L" ", L" ");
}

namespace {

std::wstring WindowText(HWND window) {
    if (!window) return {};
    const int n = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    const int got = ::GetWindowTextW(window, text.data(), n + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return text;
}

}  // namespace

// ---- Edit --------------------------------------------------------------------------------

Edit::Edit(Container* parent, const Rect& bounds, const FontSpec& font, COLORREF text_color, COLORREF back_color)
    : WindowedControl(parent, bounds),
      font_(MakeFont(font)),
      back_brush_(::CreateSolidBrush(back_color)),
      text_color_(text_color),
      back_color_(back_color) {
    CreateHandle(0, L"EDIT", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | ES_LEFT);
    ::SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    ::SendMessageW(hwnd(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(2, 2));
}

std::string Edit::Text() const { return Gbk(WindowText(hwnd())); }

void Edit::SetText(const std::string& gbk) {
    if (hwnd()) ::SetWindowTextW(hwnd(), Wide(gbk).c_str());
}

bool Edit::Reflect(UINT message, WPARAM wparam, LPARAM, LRESULT& result) {
    if (message != WM_CTLCOLOREDIT && message != WM_CTLCOLORSTATIC) return false;
    HDC dc = reinterpret_cast<HDC>(wparam);
    ::SetTextColor(dc, enabled_ ? text_color_ : ::GetSysColor(COLOR_GRAYTEXT));
    ::SetBkColor(dc, back_color_);
    result = reinterpret_cast<LRESULT>(back_brush_.get());
    return true;
}

// ---- CheckBox ----------------------------------------------------------------------------

CheckBox::CheckBox(Container* parent, const Rect& bounds, const FontSpec& font, COLORREF text_color,
                   COLORREF back_color, const std::string& caption, bool checked)
    : WindowedControl(parent, bounds),
      font_(MakeFont(font)),
      back_brush_(::CreateSolidBrush(back_color)),
      text_color_(text_color),
      back_color_(back_color) {
    CreateHandle(0, L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, Wide(caption));
    DisableVisualStyles(hwnd());
    ::SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    SetChecked(checked);
}

bool CheckBox::Checked() const {
    return hwnd() && ::SendMessageW(hwnd(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CheckBox::SetChecked(bool checked) {
    if (hwnd()) ::SendMessageW(hwnd(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void CheckBox::SetCaption(const std::string& gbk) {
    if (hwnd()) ::SetWindowTextW(hwnd(), Wide(gbk).c_str());
}

std::string CheckBox::Caption() const { return Gbk(WindowText(hwnd())); }

bool CheckBox::Reflect(UINT message, WPARAM wparam, LPARAM, LRESULT& result) {
    if (message != WM_CTLCOLORSTATIC && message != WM_CTLCOLORBTN) return false;
    HDC dc = reinterpret_cast<HDC>(wparam);
    ::SetTextColor(dc, text_color_);
    ::SetBkColor(dc, back_color_);
    result = reinterpret_cast<LRESULT>(back_brush_.get());
    return true;
}

// ---- ProgressBar -------------------------------------------------------------------------

ProgressBar::ProgressBar(Container* parent, const Rect& bounds) : WindowedControl(parent, bounds) {
    CreateHandle(0, PROGRESS_CLASSW, PBS_SMOOTH);
    DisableVisualStyles(hwnd());
    ::SendMessageW(hwnd(), PBM_SETRANGE32, 0, 100);
    ::SendMessageW(hwnd(), PBM_SETSTEP, 1, 0);
}

void ProgressBar::SetPosition(int position) {
    position_ = position;
    if (hwnd()) ::SendMessageW(hwnd(), PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void ProgressBar::SetBarColor(COLORREF color) {
    if (hwnd()) ::SendMessageW(hwnd(), PBM_SETBARCOLOR, 0, static_cast<LPARAM>(color));
}

}  // namespace setup::win::ui

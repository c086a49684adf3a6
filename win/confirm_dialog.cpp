#include "win/confirm_dialog.h"

#include <algorithm>
#include <vector>

#include "win/handles.h"

namespace setup::win {

namespace {

// Dialog template writer: DLGTEMPLATE and DLGITEMTEMPLATE records, WORD-packed, items on
// DWORD boundaries.
class TemplateWriter {
public:
    void Dialog(DWORD style, WORD items, const wchar_t* title) {
        Dword(style);
        Dword(0);  // extended style
        Word(items);
        for (int i = 0; i < 4; ++i) Word(0);  // position and size: set at WM_INITDIALOG
        Word(0);                              // no menu
        Word(0);                              // default class
        String(title);
    }
    void Item(DWORD style, WORD id, WORD class_atom, const wchar_t* text) {
        if (words_.size() % 2) Word(0);
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(0);
        for (int i = 0; i < 4; ++i) Word(0);
        Word(id);
        Word(0xFFFF);
        Word(class_atom);
        String(text);
        Word(0);  // no creation data
    }
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void Word(WORD w) { words_.push_back(w); }
    void Dword(DWORD d) {
        Word(LOWORD(d));
        Word(HIWORD(d));
    }
    void String(const wchar_t* s) {
        for (; *s; ++s) Word(static_cast<WORD>(*s));
        Word(0);
    }
    // A vector of WORD keeps the WORD alignment the records need; DWORD alignment of items
    // is relative to the start, which DialogBoxIndirect requires to be DWORD-aligned too.
    std::vector<WORD> words_;
};

constexpr WORD kButtonAtom = 0x0080;
constexpr WORD kStaticAtom = 0x0082;

struct ConfirmState {
    const std::wstring* text;
    UniqueFont font;
};

// Metrics of the framework's message dialog, in dialog units of the message font.
constexpr int kHorzMargin = 8, kVertMargin = 8, kHorzSpacing = 10, kVertSpacing = 10;
constexpr int kButtonWidth = 50, kButtonHeight = 14, kButtonSpacing = 4;

void Layout(HWND dialog, ConfirmState& state) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        state.font.reset(::CreateFontIndirectW(&metrics.lfMessageFont));
    HFONT font = state.font ? state.font.get() : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

    // Dialog units from the font: average width of the letters, and the line height.
    WindowDc dc(dialog);
    SelectScope select(dc.get(), font);
    static constexpr wchar_t kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE letters{};
    ::GetTextExtentPoint32W(dc.get(), kLetters, 52, &letters);
    TEXTMETRICW tm{};
    ::GetTextMetricsW(dc.get(), &tm);
    const int unit_x = std::max(1L, letters.cx / 52), unit_y = std::max(1L, tm.tmHeight);
    auto dx = [&](int units) { return ::MulDiv(units, unit_x, 4); };
    auto dy = [&](int units) { return ::MulDiv(units, unit_y, 8); };

    RECT text{0, 0, ::GetSystemMetrics(SM_CXSCREEN) / 2, 0};
    ::DrawTextW(dc.get(), state.text->c_str(), static_cast<int>(state.text->size()), &text,
                DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    const int icon = ::GetSystemMetrics(SM_CXICON);
    const int button_w = dx(kButtonWidth), button_h = dy(kButtonHeight), gap = dx(kButtonSpacing);
    const int buttons_w = 2 * button_w + gap;
    const int body_w = icon + dx(kHorzSpacing) + text.right;
    const int client_w = std::max(body_w, buttons_w) + 2 * dx(kHorzMargin);
    const int body_h = std::max<int>(icon, text.bottom);
    const int buttons_y = dy(kVertMargin) + body_h + dy(kVertSpacing);
    const int client_h = buttons_y + button_h + dy(kVertMargin);

    ::MoveWindow(::GetDlgItem(dialog, kConfirmIconId), dx(kHorzMargin), dy(kVertMargin), icon, icon, FALSE);
    ::MoveWindow(::GetDlgItem(dialog, kConfirmTextId), dx(kHorzMargin) + icon + dx(kHorzSpacing), dy(kVertMargin),
                 text.right, text.bottom, FALSE);
    int x = (client_w - buttons_w) / 2;
    ::MoveWindow(::GetDlgItem(dialog, IDYES), x, buttons_y, button_w, button_h, FALSE);
    ::MoveWindow(::GetDlgItem(dialog, IDNO), x + button_w + gap, buttons_y, button_w, button_h, FALSE);

    RECT frame{0, 0, client_w, client_h};
    ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongPtrW(dialog, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongPtrW(dialog, GWL_EXSTYLE)));
    const int w = frame.right - frame.left, h = frame.bottom - frame.top;
    // Centred on the screen, as the framework places its message dialogs.
    ::SetWindowPos(dialog, nullptr, (::GetSystemMetrics(SM_CXSCREEN) - w) / 2,
                   (::GetSystemMetrics(SM_CYSCREEN) - h) / 2, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK ConfirmProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG: {
            auto* state = reinterpret_cast<ConfirmState*>(lparam);
            ::SendDlgItemMessageW(dialog, kConfirmIconId, STM_SETICON,
                                  reinterpret_cast<WPARAM>(::LoadIconW(nullptr, IDI_QUESTION)), 0);
            Layout(dialog, *state);
            ::SetFocus(::GetDlgItem(dialog, IDYES));
            return FALSE;  // focus set here
        }
        case WM_COMMAND:
            switch (LOWORD(wparam)) {
                case IDYES: ::EndDialog(dialog, IDYES); return TRUE;
                case IDNO:
                case IDCANCEL: ::EndDialog(dialog, IDNO); return TRUE;
            }
            break;
    }
    return FALSE;
}

}  // namespace

bool ShowConfirmDialog(HWND owner, const std::wstring& text) {
    TemplateWriter t;
    t.Dialog(DS_MODALFRAME | DS_SETFOREGROUND | WS_POPUP | WS_CAPTION | WS_SYSMENU, 4, L"Confirm");
    t.Item(SS_ICON, kConfirmIconId, kStaticAtom, L"");
    t.Item(SS_LEFT | SS_NOPREFIX, kConfirmTextId, kStaticAtom, text.c_str());
    t.Item(BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, IDYES, kButtonAtom, L"&Yes");
    t.Item(BS_PUSHBUTTON | WS_TABSTOP, IDNO, kButtonAtom, L"&No");
    ConfirmState state{&text, {}};
    INT_PTR answer = ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), t.get(), owner, ConfirmProc,
                                               reinterpret_cast<LPARAM>(&state));
    return answer == IDYES;
}

}  // namespace setup::win

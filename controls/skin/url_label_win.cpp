#include "controls/skin/url_label_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include "win/system.h"
#include "win/text.h"

namespace setup::skin::win {

using setup::win::Wide;

namespace {
constexpr wchar_t kClassName[] = L"TsuiURLLabel";
constexpr UINT kTextFormat = DT_LEFT | DT_SINGLELINE | DT_NOPREFIX;
}  // namespace

std::unique_ptr<UrlLabel> UrlLabel::Create(HWND parent, int x, int y, int width, int height, int id) {
    std::unique_ptr<UrlLabel> l(new UrlLabel());
    l->font_ = MakeFont(l->font_spec_);
    l->CreateWindowOf({kClassName}, 0, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, parent,
                      Rect::FromSize(x, y, width, height), id);
    return l;
}

void UrlLabel::SetCaption(const std::string& caption) {
    caption_ = caption;
    FitToText();
    Invalidate();
}

void UrlLabel::SetFontLinkColor(Color c) {
    model_.SetFontLinkColor(c);
    Invalidate();
}

void UrlLabel::SetFont(const FontSpec& font) {
    font_spec_ = font;
    font_ = MakeFont(font);
    model_.SetFontColor(font.color);
    FitToText();
    Invalidate();
}

void UrlLabel::SetAutoSize(bool auto_size) {
    auto_size_ = auto_size;
    FitToText();
}

void UrlLabel::SetColor(std::optional<Color> color) {
    color_ = color;
    Invalidate();
}

void UrlLabel::FitToText() {
    if (!auto_size_ || !hwnd()) return;
    HDC dc = GetDC(hwnd());
    RECT r{0, 0, 0, 0};
    {
        SelectScope font(dc, font_.get());
        const std::wstring text = Wide(caption_);
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, kTextFormat | DT_CALCRECT);
    }
    ReleaseDC(hwnd(), dc);
    SetWindowPos(hwnd(), nullptr, 0, 0, r.right, r.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void UrlLabel::SetHint(const std::string& hint) {
    if (!hwnd()) return;
    if (!tooltip_) {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
        InitCommonControlsEx(&icc);
        tooltip_ = setup::win::CheckWindow(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                                           WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr,
                                                           GetModuleHandleW(nullptr), nullptr));
    }
    std::wstring text = Wide(hint);
    TTTOOLINFOW ti{};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;  // accepted by every version of the common controls
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = hwnd();
    ti.uId = reinterpret_cast<UINT_PTR>(hwnd());
    ti.lpszText = text.data();
    SendMessageW(tooltip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    if (!text.empty()) SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void UrlLabel::Click() {
    if (shell_) {
        model_.Click(*shell_, on_click);
        return;
    }
    model_.Click(
        [](const std::string& url) {
            ShellExecuteW(nullptr, L"open", Wide(url).c_str(), nullptr, nullptr, SW_SHOW);
        },
        on_click);
}

void UrlLabel::OnPaint(Dib& canvas) {
    const int w = canvas.width(), h = canvas.height();
    PutImage(canvas, Background(w, h, color_));
    HDC mem = canvas.dc();
    {
        SelectScope font(mem, font_.get());
        SetBkMode(mem, TRANSPARENT);
        SetTextColor(mem, ColorOf(model_.FontColor()));
        const std::wstring text = Wide(caption_);
        RECT r{0, 0, w, h};
        DrawTextW(mem, text.c_str(), static_cast<int>(text.size()), &r, kTextFormat);
    }
}

LRESULT UrlLabel::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SETCURSOR:
        if (cursor_ && LOWORD(lp) == HTCLIENT) {
            ::SetCursor(cursor_);
            return TRUE;
        }
        break;
    case WM_MOUSEMOVE:
        if (TrackMouseVisit()) {
            model_.MouseEnter();
            Invalidate();
        }
        return 0;
    case WM_MOUSELEAVE:
        model_.MouseLeave();
        Invalidate();
        return 0;
    case WM_LBUTTONDOWN:
        SetCapture(hwnd());
        return 0;
    case WM_LBUTTONUP:
        if (EndPress(lp).value_or(false)) Click();
        return 0;
    case WM_NCHITTEST:
        return HTCLIENT;
    default:
        break;
    }
    return Default(msg, wp, lp);
}

}  // namespace setup::skin::win

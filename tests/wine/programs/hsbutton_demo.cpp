// hsbutton_demo: a window with hot-track buttons of every style, colour preset and state, for
// looking at them (screenshots under Xvfb). "hsbutton_demo.exe 5" closes itself after five
// seconds. The bottom strip is the wizard's: orange panel, Back, Next (Default), Cancel.
#include <windows.h>

#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include "controls/hsbutton/hsbutton_win.h"
#include "win/ui/gdi.h"

namespace {

using setup::THSButtonKind;
using setup::THSButtonStyle;
using setup::THSColorStyle;
using setup::win::HSButton;

constexpr UINT_PTR kCloseTimer = 7;
HBRUSH g_orange = nullptr;
HMENU g_menu = nullptr;

struct Row {
    const wchar_t* label;
    int top;
};
constexpr Row kRows[] = {{L"bsNormal / bsEncarta / bsOld", 20},
                         {L"bsModern / bsGlass presets", 70},
                         {L"bsQuicken / bsShape / flat / popup", 120},
                         {L"normal, hot, pressed, disabled, fading", 170}};

LRESULT CALLBACK PanelProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_ERASEBKGND) {
        RECT rc;
        ::GetClientRect(w, &rc);
        ::FillRect(reinterpret_cast<HDC>(wp), &rc, g_orange);
        return 1;
    }
    return ::DefWindowProcW(w, m, wp, lp);
}

LRESULT CALLBACK FormProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    switch (m) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(w, &ps);
            ::SetBkMode(dc, TRANSPARENT);
            for (const Row& row : kRows) ::TextOutW(dc, 12, row.top + 4, row.label, static_cast<int>(std::wcslen(row.label)));
            ::EndPaint(w, &ps);
            return 0;
        }
        case WM_TIMER:
            if (wp == kCloseTimer) ::DestroyWindow(w);
            return 0;
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
        default:
            return ::DefWindowProcW(w, m, wp, lp);
    }
}

HWND MakeWindow(const wchar_t* cls, WNDPROC proc, HBRUSH brush, DWORD style, int x, int y, int w, int h, HWND parent) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hbrBackground = brush;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = cls;
    ::RegisterClassExW(&wc);
    return ::CreateWindowExW(0, cls, L"HSButton styles", style, x, y, w, h, parent, nullptr, wc.hInstance, nullptr);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR args, int) {
    g_orange = ::CreateSolidBrush(RGB(255, 153, 0));
    g_menu = ::CreatePopupMenu();
    ::AppendMenuW(g_menu, MF_STRING, 1, L"One");
    HWND form = MakeWindow(L"HSButtonDemo", FormProc, ::GetSysColorBrush(COLOR_WINDOW),
                           WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 40, 40, 760, 330, nullptr);
    RECT client;
    ::GetClientRect(form, &client);
    HWND panel = MakeWindow(L"HSButtonDemoPanel", PanelProc, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0,
                            client.bottom - 49, client.right, 49, form);

    std::vector<std::unique_ptr<HSButton>> buttons;
    int id = 100;
    auto add = [&](HWND parent, int x, int y, const char* caption, auto setup) -> HSButton& {
        auto b = std::make_unique<HSButton>();
        setup(*b);
        b->SetCaption(caption);
        b->Create(parent, id++, x, y, 92, 23);
        buttons.push_back(std::move(b));
        return *buttons.back();
    };
    auto style = [](THSButtonStyle s, THSColorStyle preset, int border) {
        return [=](HSButton& b) {
            b.SetColorStyle(preset);
            b.SetStyle(s);
            b.SetBorder(static_cast<uint8_t>(border));
        };
    };
    const int x0 = 250;
    add(form, x0, 20, "Normal", style(THSButtonStyle::bsNormal, THSColorStyle::lcsDefault, 2));
    add(form, x0 + 100, 20, "Encarta", style(THSButtonStyle::bsEncarta, THSColorStyle::lcsChrome, 1));
    add(form, x0 + 200, 20, "Old", style(THSButtonStyle::bsOld, THSColorStyle::lcsDefault, 1));
    add(form, x0 + 300, 20, "", [](HSButton& b) {
        b.SetColorStyle(THSColorStyle::lcsDefault);
        b.SetKind(THSButtonKind::bkOK);
    });
    add(form, x0, 70, "Gold", style(THSButtonStyle::bsModern, THSColorStyle::lcsGold, 6));
    add(form, x0 + 100, 70, "Aqua", style(THSButtonStyle::bsModern, THSColorStyle::lcsAqua, 8));
    add(form, x0 + 200, 70, "Glass", style(THSButtonStyle::bsGlass, THSColorStyle::lcsGlassBlue, 6));
    add(form, x0 + 300, 70, "Red", style(THSButtonStyle::bsGlass, THSColorStyle::lcsGlassRed, 4));
    add(form, x0, 120, "Quicken", style(THSButtonStyle::bsQuicken, THSColorStyle::lcsQuicken, 8));
    add(form, x0 + 100, 120, "Shape", [](HSButton& b) {
        b.SetStyle(THSButtonStyle::bsShape);
        b.SetGlyph(setup::win::ui::LoadBitmapResource("BBHELP"));
        b.SetLayout(setup::THSButtonLayout::blGlyphTop);
    });
    add(form, x0 + 200, 120, "Flat XP", style(THSButtonStyle::bsNormal, THSColorStyle::lcsUltraFlatXP, 1));
    HSButton& popup = add(form, x0 + 300, 120, "Menu", style(THSButtonStyle::bsNormal, THSColorStyle::lcsDefault, 1));
    popup.SetAlignment(setup::TAlignment::taLeftJustify);
    popup.SetPopupMenu(g_menu);

    // One wizard button in each state.
    auto wizard = [](HSButton& b) { setup::ApplyWizardButtonProps(b); };
    add(form, x0, 170, "下一步", wizard);
    HSButton& hot = add(form, x0 + 100, 170, "下一步", wizard);
    HSButton& pressed = add(form, x0 + 200, 170, "下一步", wizard);
    add(form, x0 + 300, 170, "下一步", wizard).SetEnabled(false);
    add(form, x0 + 400, 170, "下一步", [](HSButton& b) {
        setup::ApplyWizardButtonProps(b);
        b.SetSlowDecease(setup::THSSlowDecease::sdEnterLeave);
    });
    ::ShowWindow(form, SW_SHOWNORMAL);
    ::SetForegroundWindow(form);

    // The wizard's bottom panel.
    HSButton& back = add(panel, 336 - 230, 15, "上一步(&B)", wizard);
    HSButton& next = add(panel, 440 - 230, 15, "下一步(&N)", wizard);
    HSButton& cancel = add(panel, 544 - 230, 15, "取消", wizard);
    next.SetDefault(true);
    cancel.SetCancel(true);
    cancel.OnClick = [form] { ::DestroyWindow(form); };
    back.OnClick = [&next] { next.SetCaption(next.Caption() == "下一步(&N)" ? "完成" : "下一步(&N)"); };
    // States that need the shown window: hot as if the mouse were over it, pressed (and so
    // focused) as if the left button were held on it.
    hot.MouseEnter();
    pressed.MouseDown(setup::MouseButton::kLeft);

    const int seconds = args ? _wtoi(args) : 0;
    if (seconds > 0) ::SetTimer(form, kCloseTimer, static_cast<UINT>(seconds) * 1000, nullptr);

    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (setup::win::ui::RouteFormKeys(form, msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    buttons.clear();
    ::DestroyMenu(g_menu);
    ::DeleteObject(g_orange);
    return 0;
}

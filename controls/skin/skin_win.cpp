#include "controls/skin/skin_win.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "win/text.h"

namespace setup::skin::win {

using setup::win::Gbk;
using setup::win::Wide;

// ---- SkinWindow -------------------------------------------------------------------------

LRESULT SkinWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) { return Default(msg, wp, lp); }

LRESULT SkinWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;  // OnPaint covers every pixel
    case WM_PAINT: {
        setup::win::PaintScope paint(hwnd());
        Paint(paint.get());
        return 0;
    }
    case WM_PRINTCLIENT:
        Paint(reinterpret_cast<HDC>(wp));
        return 0;
    default:
        return HandleMessage(msg, wp, lp);
    }
}

void SkinWindow::Paint(HDC dc) {
    RECT client{};
    GetClientRect(hwnd(), &client);
    const int w = client.right, h = client.bottom;
    if (w <= 0 || h <= 0) return;
    Dib canvas(w, h);
    if (!canvas.ok()) return;
    OnPaint(canvas);
    BitBlt(dc, 0, 0, w, h, canvas.dc(), 0, 0, SRCCOPY);
}

Image SkinWindow::Background(int width, int height, std::optional<Color> color, bool transparent) const {
    if (transparent || !color) return ParentBackground(hwnd(), width, height);
    return Image(width, height, ToPixel(ColorOf(*color)));
}

std::optional<bool> SkinWindow::EndPress(LPARAM lp) {
    if (GetCapture() != hwnd()) return std::nullopt;
    RECT client{};
    GetClientRect(hwnd(), &client);
    const POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    ReleaseCapture();
    return PtInRect(&client, pt) != FALSE;
}

// ---- Bitmaps ------------------------------------------------------------------------------

std::optional<std::span<const uint8_t>> ResourceBitmaps::FindBitmap(std::string_view name) {
    const auto bytes = setup::win::ui::ResourceData(module_, Wide(name).c_str(), RT_BITMAP);
    if (bytes.empty()) return std::nullopt;
    return bytes;
}

ResourceBitmaps& ProgramBitmaps() {
    static ResourceBitmaps bitmaps;
    return bitmaps;
}

void PutImage(const Dib& dib, const Image& image) {
    if (!dib.ok()) return;
    GdiFlush();
    DrawImage(dib.view(), image, 0, 0);
}

Image GetImage(const Dib& dib) {
    Image out(dib.width(), dib.height());
    if (!dib.ok()) return out;
    GdiFlush();
    DrawImage(out, dib.view(), 0, 0);
    return out;
}

// ---- Files --------------------------------------------------------------------------------

bool Win32SkinFileHost::FileExists(const std::string& path) {
    const DWORD attr = GetFileAttributesW(Wide(path).c_str());
    return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::vector<uint8_t>> Win32SkinFileHost::ReadFile(const std::string& path) {
    HANDLE f = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return std::nullopt;
    std::optional<std::vector<uint8_t>> result;
    LARGE_INTEGER size{};
    // Skins are small; anything past 64 MiB is not one.
    if (GetFileSizeEx(f, &size) && size.QuadPart <= (64 << 20)) {
        std::vector<uint8_t> bytes(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        if (bytes.empty() || (::ReadFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
                              read == bytes.size()))
            result = std::move(bytes);
    }
    CloseHandle(f);
    return result;
}

std::string Win32SkinFileHost::ModuleFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    return Gbk(path.substr(0, path.find_last_of(L"\\/") + 1));
}

std::string Win32SkinFileHost::WindowsFolder() {
    wchar_t buf[MAX_PATH];
    const UINT n = GetWindowsDirectoryW(buf, MAX_PATH);
    return n && n < MAX_PATH ? Gbk({buf, n}) : std::string{};
}

std::string Win32SkinFileHost::SystemFolder() {
    wchar_t buf[MAX_PATH];
    const UINT n = GetSystemDirectoryW(buf, MAX_PATH);
    return n && n < MAX_PATH ? Gbk({buf, n}) : std::string{};
}

// ---- Colours, background ----------------------------------------------------------------

Image ParentBackground(HWND control, int width, int height) {
    Dib s(std::max(width, 1), std::max(height, 1));
    // A parent that paints nothing into a borrowed DC still leaves a sensible colour.
    PutImage(s, Image(width, height, ToPixel(ColorOf(kClNone))));
    setup::win::ui::PaintParentBackground(s.dc(), control);
    return GetImage(s);
}

// ---- Keys ---------------------------------------------------------------------------------

LPARAM CurrentModifiers() {
    LPARAM m = 0;
    if (GetKeyState(VK_SHIFT) < 0) m |= kModShift;
    if (GetKeyState(VK_CONTROL) < 0) m |= kModCtrl;
    if (GetKeyState(VK_MENU) < 0) m |= kModAlt;
    return m;
}

namespace {

LRESULT DialogCode(HWND window, const MSG& msg) {
    MSG copy = msg;
    return SendMessageW(window, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&copy));
}

}  // namespace

bool SkinWindow::FormKey(HWND form, const MSG& msg) {
    HWND focus = GetFocus();
    const bool focus_inside = focus && (focus == form || IsChild(form, focus));
    if (msg.message == WM_KEYDOWN) {
        // Enter or Escape: a control that takes the key itself keeps it.
        if (focus_inside && (DialogCode(focus, msg) & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE))) return false;
        return SendMessageW(hwnd(), kMsgDialogKey, msg.wParam, CurrentModifiers()) == 1;
    }
    // A plain letter is text for a control that takes characters (an edit box).
    if (msg.message == WM_CHAR && focus && (DialogCode(focus, msg) & (DLGC_WANTCHARS | DLGC_WANTALLKEYS)))
        return false;
    return SendMessageW(hwnd(), kMsgDialogChar, msg.wParam,
                        CurrentModifiers() | (msg.message == WM_SYSCHAR ? kModAlt : 0)) == 1;
}

}  // namespace setup::skin::win

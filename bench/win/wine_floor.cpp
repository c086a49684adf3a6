// wine_floor: the least a windowed program costs under Wine. It opens one window, paints it,
// lets the window manager show it, and ends after a second. Its peak resident memory is the
// floor that every Windows program shows under Wine (the loader, ntdll, user32 and gdi32, the
// X11 driver, the fonts Wine opens at start-up), so the benchmark can tell what an installer
// costs on top of it.
#include <windows.h>

namespace {

LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(window, &ps);
            TextOutW(dc, 8, 8, L"floor", 5);
            EndPaint(window, &ps);
            return 0;
        }
        case WM_TIMER: DestroyWindow(window); return 0;
        case WM_DESTROY: PostQuitMessage(0); return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"WineFloor";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, wc.lpszClassName, L"wine floor", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 642, 490,
                                  nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    SetTimer(window, 1, 1000, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

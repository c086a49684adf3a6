// ZENTA-KOV.exe: the example product's main program, a stand-in for the real one.
// It opens one window that names itself and, when started, leaves the marker file
// "ZENTA-KOV.started" in its own folder (holding its command line as UTF-8), so tests can
// tell that the setup's launcher started the installed program, from where and how.
#include <windows.h>

namespace {

constexpr wchar_t kClassName[] = L"ZentaKovMainWindow";
constexpr wchar_t kTitle[] = L"ZENTA-KOV";
constexpr DWORD kLongPath = 32768;

class FileHandle {
public:
    explicit FileHandle(HANDLE h) : h_(h) {}
    ~FileHandle() {
        if (ok()) CloseHandle(h_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool ok() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return h_; }

private:
    HANDLE h_;
};

void WriteMarker() {
    wchar_t path[kLongPath];  // on the stack: a static array would be stored in the file
    const DWORD n = GetModuleFileNameW(nullptr, path, kLongPath);
    if (n == 0 || n >= kLongPath - 32) return;
    wchar_t* slash = path + n;
    while (slash > path && *slash != L'\\') --slash;
    if (*slash != L'\\') return;
    lstrcpyW(slash + 1, L"ZENTA-KOV.started");

    FileHandle file(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.ok()) return;
    char utf8[8192];
    const int len = WideCharToMultiByte(CP_UTF8, 0, GetCommandLineW(), -1, utf8, sizeof utf8, nullptr, nullptr);
    DWORD written = 0;
    if (len > 1) WriteFile(file.get(), utf8, static_cast<DWORD>(len - 1), &written, nullptr);
    WriteFile(file.get(), "\r\n", 2, &written, nullptr);
}

void Paint(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    SetBkMode(dc, TRANSPARENT);
    RECT upper = client, lower = client;
    upper.bottom = (client.top + client.bottom) / 2;
    lower.top = upper.bottom;
    DrawTextW(dc, L"ZENTA-KOV", -1, &upper, DT_CENTER | DT_BOTTOM | DT_SINGLELINE);
    DrawTextW(dc, L"青岚护卫（示例程序）", -1, &lower, DT_CENTER | DT_TOP | DT_SINGLELINE);
    EndPaint(window, &ps);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_PAINT:
            Paint(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wparam, lparam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    WriteMarker();

    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClassName;
    if (!RegisterClassExW(&wc)) return 1;

    HWND window = CreateWindowExW(0, kClassName, kTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 360,
                                  200, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    ShowWindow(window, show);
    UpdateWindow(window);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

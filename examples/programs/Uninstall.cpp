// Uninstall.exe: the example package's uninstaller, a stand-in. It removes nothing: it says
// so in a message box and leaves the marker file "Uninstall.started" in its own folder, so
// tests can tell that the uninstall entry or shortcut started it.
#include <windows.h>

namespace {

constexpr DWORD kLongPath = 32768;

void WriteMarker() {
    wchar_t path[kLongPath];  // on the stack: a static array would be stored in the file
    const DWORD n = GetModuleFileNameW(nullptr, path, kLongPath);
    if (n == 0 || n >= kLongPath - 32) return;
    wchar_t* slash = path + n;
    while (slash > path && *slash != L'\\') --slash;
    if (*slash != L'\\') return;
    lstrcpyW(slash + 1, L"Uninstall.started");
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    WriteMarker();
    MessageBoxW(nullptr,
                L"这是示例安装包中卸载程序的替身。\n\n"
                L"它不会删除任何文件，也不会修改注册表。",
                L"卸载 ZENTA-KOV", MB_OK | MB_ICONINFORMATION);
    return 0;
}

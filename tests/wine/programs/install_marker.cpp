// install_marker.exe: the "installed program" of the Windows tests. Started (through the
// launcher batch) from wherever it was installed, it writes its command line and its current
// directory (UTF-16, one per line) to "<its own path>.ran" and exits.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t path[MAX_PATH + 8] = {};
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return 1;
    lstrcatW(path, L".ran");
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 2;
    wchar_t cwd[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, cwd);
    const wchar_t* parts[] = {GetCommandLineW(), L"\r\n", cwd, L"\r\n"};
    for (const wchar_t* part : parts) {
        DWORD written = 0;
        WriteFile(file, part, static_cast<DWORD>(lstrlenW(part) * sizeof(wchar_t)), &written, nullptr);
    }
    CloseHandle(file);
    return 0;
}

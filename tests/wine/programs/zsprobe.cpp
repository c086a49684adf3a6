// zsprobe: a small program the Windows tests start, copy and rename.
//   zsprobe wait <seconds>    stays alive that long (default 60), then exits with 0
//   zsprobe write <path>      writes its current directory (UTF-16) to <path> and exits
#include <windows.h>

#include <cwchar>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR command_line, int) {
    const wchar_t* args = command_line ? command_line : L"";
    if (std::wcsncmp(args, L"write ", 6) == 0) {
        wchar_t dir[MAX_PATH] = {};
        DWORD n = GetCurrentDirectoryW(MAX_PATH, dir);
        HANDLE file = CreateFileW(args + 6, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return 2;
        DWORD written = 0;
        WriteFile(file, dir, n * sizeof(wchar_t), &written, nullptr);
        CloseHandle(file);
        return 0;
    }
    DWORD seconds = 60;
    if (std::wcsncmp(args, L"wait ", 5) == 0) seconds = static_cast<DWORD>(std::wcstoul(args + 5, nullptr, 10));
    Sleep(seconds * 1000);
    return 0;
}

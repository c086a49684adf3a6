#include "win/system.h"

#include "base/error.h"
#include "win/text.h"

namespace setup::win {

namespace {

// Present from Windows 8, and on Windows 7 with update KB2533623.
using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);

// Any length: the call reports the size it needs when the buffer is too small.
template <typename Fn>
std::wstring FolderFrom(Fn get) {
    std::wstring folder(MAX_PATH, L'\0');
    for (;;) {
        UINT n = get(folder.data(), static_cast<UINT>(folder.size()));
        if (n == 0) return {};
        if (n < folder.size()) {
            folder.resize(n);
            if (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
            return folder;
        }
        folder.resize(n);
    }
}

template <typename Fn>
Fn KernelProc(const char* name) {
    // kernel32 is mapped into every process from the system folder before any code runs.
    HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    return kernel ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(kernel, name))) : nullptr;
}

}  // namespace

std::wstring SystemFolder() { return FolderFrom(::GetSystemDirectoryW); }

// The machine's, not the per-user one GetWindowsDirectoryW gives under terminal services.
std::wstring WindowsFolder() { return FolderFrom(::GetSystemWindowsDirectoryW); }

bool HardenDllSearch() {
    ::SetDllDirectoryW(L"");
    auto set_default = KernelProc<SetDefaultDllDirectoriesFn>("SetDefaultDllDirectories");
    return set_default && set_default(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

UniqueModule LoadSystemLibrary(const wchar_t* name) {
    std::wstring folder = SystemFolder();
    if (folder.empty()) return UniqueModule{};
    if (folder.back() != L'\\') folder += L'\\';
    std::wstring path = folder + name;
    HMODULE module = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Without the search flags (an old system) the full path still fixes the DLL itself.
    if (!module && ::GetLastError() == ERROR_INVALID_PARAMETER) module = ::LoadLibraryExW(path.c_str(), nullptr, 0);
    return UniqueModule(module);
}

std::string SystemErrorText(DWORD code) {
    wchar_t* buffer = nullptr;
    DWORD n = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                   FORMAT_MESSAGE_IGNORE_INSERTS,
                               nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    UniqueLocal owner(buffer);
    if (n == 0 || !buffer) return {};
    std::wstring_view text(buffer, n);
    while (!text.empty() && (text.back() <= L' ' || text.back() == L'.' || text.back() == L'\x3002'))
        text.remove_suffix(1);
    return Gbk(text);
}

std::wstring ModuleFileName(HMODULE module) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);  // truncated: try again with more room
    }
}

std::string ExecutableTitle() {
    std::wstring path = ModuleFileName();
    std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);  // npos + 1 == 0
    size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos && dot > 0) name.resize(dot);
    return Gbk(name);
}

void RegisterClassOnce(const WNDCLASSEXW& wc) {
    if (!::RegisterClassExW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw Error("Error creating window class");
}

HWND CheckWindow(HWND window) {
    if (!window) throw Error("Error creating window");
    return window;
}

}  // namespace setup::win

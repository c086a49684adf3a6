// wintool: the end-to-end tests' window of the machine under Wine. Reads windows, registry
// values, shell links and processes, and answers dialogs; prints UTF-8, one item a line,
// fields separated by tabs, control characters in texts escaped (\r \n \t \\).
//
//   wintool list                          visible top-level windows: hwnd, class, title
//   wintool wait <title> <seconds>        exit 0 once a visible window has that title
//   wintool gone <title> <seconds>        exit 0 once no visible window has that title
//   wintool dump <title>                  the window, its client size and every child
//   wintool click <title> <button>        presses a push button by caption ('&' and case ignored)
//   wintool close <title>                 sends the window a close request
//   wintool regget [--32|--64] <root\key> <value>   type, data size, data
//   wintool regkey [--32|--64] <root\key> exit 0 when the key exists; lists its values
//   wintool lnk <path>                    target, arguments, icon and index, working folder
//   wintool procs                         pid and executable name of every process
//   wintool version <path>                the file's version resource as Windows reads it:
//                                         fixed file version, then name and text of each
//                                         string of its first translation
//   wintool hold <path> <seconds>         keeps the file open without sharing (as Windows
//                                         holds a running program's file), prints "held"
// A title ending in '*' matches every title that starts with the rest. Exit codes: 0 done,
// 1 not found or timed out, 2 bad usage.
#include <windows.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <cwchar>
#include <string>
#include <vector>

namespace {

void Out(const std::wstring& text) {
    std::wstring line = text + L"\n";
    int n = WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), bytes.data(), n, nullptr, nullptr);
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::wstring Escape(const std::wstring& text) {
    std::wstring out;
    for (wchar_t c : text) {
        switch (c) {
            case L'\r': out += L"\\r"; break;
            case L'\n': out += L"\\n"; break;
            case L'\t': out += L"\\t"; break;
            case L'\\': out += L"\\\\"; break;
            default: out += c;
        }
    }
    return out;
}

std::wstring ClassOf(HWND w) {
    wchar_t name[256] = {};
    GetClassNameW(w, name, 256);
    return name;
}

std::wstring TextOf(HWND w) {
    // WM_GETTEXT through SendMessageTimeout: a hung window must not hang the tool.
    std::vector<wchar_t> buffer(32768, L'\0');
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutW(w, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()), SMTO_ABORTIFHUNG,
                             2000, &got))
        return {};
    return std::wstring(buffer.data(), got);
}

std::wstring Hex(UINT_PTR value) {
    wchar_t buffer[32];
    swprintf(buffer, 32, L"0x%llx", static_cast<unsigned long long>(value));
    return buffer;
}

bool TitleMatches(const std::wstring& title, const std::wstring& pattern) {
    if (!pattern.empty() && pattern.back() == L'*') return title.compare(0, pattern.size() - 1, pattern, 0, pattern.size() - 1) == 0;
    return title == pattern;
}

struct Find {
    const std::wstring* pattern;
    HWND found = nullptr;
};

BOOL CALLBACK MatchTitle(HWND w, LPARAM p) {
    auto* f = reinterpret_cast<Find*>(p);
    if (!IsWindowVisible(w) || !TitleMatches(TextOf(w), *f->pattern)) return TRUE;
    f->found = w;
    return FALSE;
}

HWND FindWindowByTitle(const std::wstring& pattern) {
    Find find{&pattern};
    EnumWindows(MatchTitle, reinterpret_cast<LPARAM>(&find));
    return find.found;
}

BOOL CALLBACK Collect(HWND w, LPARAM p) {
    reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
    return TRUE;
}

std::wstring Rect(const RECT& r) {
    return std::to_wstring(r.left) + L" " + std::to_wstring(r.top) + L" " + std::to_wstring(r.right) + L" " +
           std::to_wstring(r.bottom);
}

bool IsPushButton(HWND w) {
    if (_wcsicmp(ClassOf(w).c_str(), L"Button") != 0) return false;
    LONG_PTR type = GetWindowLongPtrW(w, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

bool SameCaption(const std::wstring& a, const std::wstring& b) {
    auto strip = [](const std::wstring& s) {
        std::wstring out;
        for (wchar_t c : s)
            if (c != L'&') out += static_cast<wchar_t>(towlower(c));
        return out;
    };
    return strip(a) == strip(b);
}

int Wait(const std::wstring& title, double seconds, bool until_gone) {
    ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
    for (;;) {
        bool present = FindWindowByTitle(title) != nullptr;
        if (present != until_gone) return 0;
        if (GetTickCount64() >= deadline) return 1;
        Sleep(100);
    }
}

int List() {
    std::vector<HWND> windows;
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&windows));
    for (HWND w : windows)
        if (IsWindowVisible(w)) Out(Hex(reinterpret_cast<UINT_PTR>(w)) + L"\t" + ClassOf(w) + L"\t" + Escape(TextOf(w)));
    return 0;
}

int Dump(const std::wstring& title) {
    HWND w = FindWindowByTitle(title);
    if (!w) return 1;
    RECT client{}, frame{};
    GetClientRect(w, &client);
    GetWindowRect(w, &frame);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    Out(L"window\t" + Hex(reinterpret_cast<UINT_PTR>(w)) + L"\t" + ClassOf(w) + L"\t" + Escape(TextOf(w)));
    Out(L"pid\t" + std::to_wstring(pid));
    Out(L"client\t" + std::to_wstring(client.right) + L"\t" + std::to_wstring(client.bottom));
    Out(L"frame\t" + Rect(frame));
    Out(L"enabled\t" + std::to_wstring(IsWindowEnabled(w) ? 1 : 0));
    // The keyboard focus of the window's thread, as "focus <class> <text> <rect>".
    GUITHREADINFO gui{sizeof(gui)};
    if (GetGUIThreadInfo(GetWindowThreadProcessId(w, nullptr), &gui) && gui.hwndFocus) {
        RECT r{};
        GetWindowRect(gui.hwndFocus, &r);
        MapWindowPoints(nullptr, w, reinterpret_cast<POINT*>(&r), 2);
        Out(L"focus\t" + ClassOf(gui.hwndFocus) + L"\t" + Escape(TextOf(gui.hwndFocus)) + L"\t" + Rect(r));
    }
    bool dialog = ClassOf(w) == L"#32770";
    std::vector<HWND> children;
    EnumChildWindows(w, Collect, reinterpret_cast<LPARAM>(&children));
    for (HWND c : children) {
        RECT r{};
        GetWindowRect(c, &r);
        MapWindowPoints(nullptr, w, reinterpret_cast<POINT*>(&r), 2);
        Out(L"child\t" + ClassOf(c) + L"\t" + std::to_wstring(GetDlgCtrlID(c)) + L"\t" +
            std::to_wstring(IsWindowVisible(c) ? 1 : 0) + L"\t" + std::to_wstring(IsWindowEnabled(c) ? 1 : 0) + L"\t" +
            Rect(r) + L"\t" + Escape(TextOf(c)));
    }
    if (dialog) {
        for (HWND c : children) {
            if (!IsWindowVisible(c) || GetParent(c) != w) continue;
            std::wstring cls = ClassOf(c);
            if (_wcsicmp(cls.c_str(), L"Static") == 0 && (GetWindowLongPtrW(c, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) {
                std::wstring text = TextOf(c);
                if (!text.empty()) Out(L"message\t" + Escape(text));
            } else if (IsPushButton(c)) {
                bool is_default = (GetWindowLongPtrW(c, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
                Out(L"button\t" + Escape(TextOf(c)) + (is_default ? L"\tdefault" : L""));
            }
        }
    }
    return 0;
}

int Click(const std::wstring& title, const std::wstring& caption) {
    HWND w = FindWindowByTitle(title);
    if (!w) return 1;
    for (HWND c = GetWindow(w, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (!IsPushButton(c) || !IsWindowVisible(c) || !SameCaption(TextOf(c), caption)) continue;
        PostMessageW(w, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(c), BN_CLICKED), reinterpret_cast<LPARAM>(c));
        return 0;
    }
    return 1;
}

int Close(const std::wstring& title) {
    HWND w = FindWindowByTitle(title);
    if (!w) return 1;
    PostMessageW(w, WM_CLOSE, 0, 0);
    return 0;
}

bool SplitKey(const std::wstring& full, HKEY& root, std::wstring& sub) {
    size_t slash = full.find(L'\\');
    std::wstring name = full.substr(0, slash);
    sub = slash == std::wstring::npos ? L"" : full.substr(slash + 1);
    struct Root {
        const wchar_t *short_name, *long_name;
        HKEY key;
    };
    for (const Root& r : {Root{L"HKLM", L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
                          Root{L"HKCU", L"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
                          Root{L"HKCR", L"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT}}) {
        if (_wcsicmp(name.c_str(), r.short_name) == 0 || _wcsicmp(name.c_str(), r.long_name) == 0) {
            root = r.key;
            return true;
        }
    }
    return false;
}

std::wstring TypeName(DWORD type) {
    switch (type) {
        case REG_SZ: return L"REG_SZ";
        case REG_EXPAND_SZ: return L"REG_EXPAND_SZ";
        case REG_DWORD: return L"REG_DWORD";
        case REG_QWORD: return L"REG_QWORD";
        case REG_BINARY: return L"REG_BINARY";
        case REG_MULTI_SZ: return L"REG_MULTI_SZ";
        default: return L"type" + std::to_wstring(type);
    }
}

std::wstring Data(DWORD type, const std::vector<BYTE>& data) {
    if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ) {
        std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
        while (!text.empty() && text.back() == L'\0') text.pop_back();
        return Escape(text);
    }
    if (type == REG_DWORD && data.size() == 4) return std::to_wstring(*reinterpret_cast<const DWORD*>(data.data()));
    std::wstring hex;
    for (BYTE b : data) hex += Hex(b).substr(2) + L" ";
    return hex;
}

int RegKey(REGSAM view, const std::wstring& full, const std::wstring* value) {
    HKEY root;
    std::wstring sub;
    if (!SplitKey(full, root, sub)) return 2;
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, sub.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return 1;
    int rc = 0;
    if (value) {
        DWORD type = 0, size = 0;
        if (RegQueryValueExW(key, value->c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
            std::vector<BYTE> data(size);
            RegQueryValueExW(key, value->c_str(), nullptr, &type, data.data(), &size);
            data.resize(size);
            Out(TypeName(type) + L"\t" + std::to_wstring(size) + L"\t" + Data(type, data));
        } else {
            rc = 1;
        }
    } else {
        for (DWORD i = 0;; ++i) {
            wchar_t name[16384];
            DWORD name_len = 16384, type = 0;
            if (RegEnumValueW(key, i, name, &name_len, nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS) break;
            Out(Escape(name) + L"\t" + TypeName(type));
        }
    }
    RegCloseKey(key);
    return rc;
}

int Lnk(const std::wstring& path) {
    if (FAILED(CoInitialize(nullptr))) return 1;
    int rc = 1;
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
        wchar_t buffer[4096] = {};
        PIDLIST_ABSOLUTE items = nullptr;
        // The item list holds the target in Unicode; GetPath may answer from an ANSI copy.
        if (SUCCEEDED(link->GetIDList(&items)) && items && SHGetPathFromIDListW(items, buffer)) {
            Out(L"path\t" + Escape(buffer));
        } else {
            link->GetPath(buffer, 4096, nullptr, SLGP_RAWPATH);
            Out(L"path\t" + Escape(buffer));
        }
        CoTaskMemFree(items);
        buffer[0] = 0;
        link->GetArguments(buffer, 4096);
        Out(L"arguments\t" + Escape(buffer));
        int index = 0;
        buffer[0] = 0;
        link->GetIconLocation(buffer, 4096, &index);
        Out(L"icon\t" + Escape(buffer) + L"\t" + std::to_wstring(index));
        buffer[0] = 0;
        link->GetWorkingDirectory(buffer, 4096);
        Out(L"workdir\t" + Escape(buffer));
        buffer[0] = 0;
        link->GetDescription(buffer, 4096);
        Out(L"description\t" + Escape(buffer));
        rc = 0;
    }
    if (file) file->Release();
    if (link) link->Release();
    CoUninitialize();
    return rc;
}

int Procs() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 1;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL ok = Process32FirstW(snapshot, &entry); ok; ok = Process32NextW(snapshot, &entry))
        Out(std::to_wstring(entry.th32ProcessID) + L"\t" + entry.szExeFile);
    CloseHandle(snapshot);
    return 0;
}

int Hold(const std::wstring& path, double seconds) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    Out(L"held");
    Sleep(static_cast<DWORD>(seconds * 1000));
    CloseHandle(file);
    return 0;
}

int Version(const std::wstring& path) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) return 1;
    std::vector<BYTE> data(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return 1;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed)
        Out(L"fixed\t" + std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." + std::to_wstring(LOWORD(fixed->dwFileVersionMS)) +
            L"." + std::to_wstring(HIWORD(fixed->dwFileVersionLS)) + L"." + std::to_wstring(LOWORD(fixed->dwFileVersionLS)));
    WORD* translation = nullptr;
    if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length) ||
        length < 4)
        return 1;
    wchar_t block[32];
    swprintf(block, 32, L"\\StringFileInfo\\%04x%04x\\", translation[0], translation[1]);
    for (const wchar_t* name : {L"CompanyName", L"FileDescription", L"FileVersion", L"InternalName", L"LegalCopyright",
                                L"OriginalFilename", L"ProductName", L"ProductVersion"}) {
        wchar_t* text = nullptr;
        if (VerQueryValueW(data.data(), (std::wstring(block) + name).c_str(), reinterpret_cast<void**>(&text), &length) && text)
            Out(std::wstring(name) + L"\t" + Escape(text));
    }
    return 0;
}

int Usage() {
    Out(L"usage: wintool list | wait <title> <s> | gone <title> <s> | dump <title> | click <title> <button> | "
        L"close <title> | regget [--32|--64] <key> <value> | regkey [--32|--64] <key> | lnk <path> | procs | hold <path> <s> | "
        L"version <path>");
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<std::wstring> args(argv + 1, argv + argc);
    REGSAM view = 0;
    if (args.size() >= 2 && (args[0] == L"regget" || args[0] == L"regkey")) {
        if (args[1] == L"--32") view = KEY_WOW64_32KEY;
        if (args[1] == L"--64") view = KEY_WOW64_64KEY;
        if (view) args.erase(args.begin() + 1);
    }
    if (args.empty()) return Usage();
    const std::wstring& cmd = args[0];
    size_t n = args.size();
    if (cmd == L"list" && n == 1) return List();
    if (cmd == L"wait" && n == 3) return Wait(args[1], _wtof(args[2].c_str()), false);
    if (cmd == L"gone" && n == 3) return Wait(args[1], _wtof(args[2].c_str()), true);
    if (cmd == L"dump" && n == 2) return Dump(args[1]);
    if (cmd == L"click" && n == 3) return Click(args[1], args[2]);
    if (cmd == L"close" && n == 2) return Close(args[1]);
    if (cmd == L"regget" && n == 3) return RegKey(view, args[1], &args[2]);
    if (cmd == L"regkey" && n == 2) return RegKey(view, args[1], nullptr);
    if (cmd == L"lnk" && n == 2) return Lnk(args[1]);
    if (cmd == L"procs" && n == 1) return Procs();
    if (cmd == L"hold" && n == 3) return Hold(args[1], _wtof(args[2].c_str()));
    if (cmd == L"version" && n == 2) return Version(args[1]);
    return Usage();
}

// wizard_probe: watches the wizard window of a running setup from another process under Wine
// and prints, each time it changes, the wall-clock time and what is shown:
//
//   wizard_probe <title> <seconds>          (a title ending in '*' matches by prefix)
//   <unix seconds with microseconds> TAB none | page N | box TITLE
//
// "page N" is the visible page (0 welcome ... 5 finish), "box" a visible message box.
// Everything it reads comes from the window manager's own state (visibility, rectangles,
// titles), so it neither waits for nor disturbs a wizard that is busy installing. It ends
// when the window has gone after being seen, or after <seconds>. Built by scripts/bench-*.sh.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

// The page control's six pages are the containers at this rectangle of the client area.
constexpr RECT kPageRect = {5, 68, 637, 437};

double UnixNow() {
    FILETIME ft;
    GetSystemTimePreciseAsFileTime(&ft);
    const unsigned long long t = (static_cast<unsigned long long>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    return static_cast<double>(t - 116444736000000000ULL) / 1e7;
}

std::wstring ClassOf(HWND w) {
    wchar_t name[64] = {};
    GetClassNameW(w, name, 64);
    return name;
}

// The title as the window manager holds it: no message goes to the (maybe busy) owner.
std::wstring TitleOf(HWND w) {
    wchar_t text[256] = {};
    InternalGetWindowText(w, text, 256);
    return text;
}

BOOL CALLBACK Collect(HWND w, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(w);
    return TRUE;
}

std::wstring PageOf(HWND main) {
    std::vector<HWND> children;
    EnumChildWindows(main, Collect, reinterpret_cast<LPARAM>(&children));
    int index = 0;
    for (HWND c : children) {
        if (ClassOf(c) != L"ZsContainer") continue;
        RECT r{};
        GetWindowRect(c, &r);
        MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&r), 2);
        if (!EqualRect(&r, &kPageRect)) continue;
        if (IsWindowVisible(c)) return L"page " + std::to_wstring(index);
        ++index;
    }
    return L"page ?";
}

struct BoxSearch {
    HWND main;
    DWORD pid;
    HWND found = nullptr;
};

BOOL CALLBACK FindBox(HWND w, LPARAM param) {
    auto* s = reinterpret_cast<BoxSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (w != s->main && pid == s->pid && IsWindowVisible(w) && ClassOf(w) == L"#32770") {
        s->found = w;
        return FALSE;
    }
    return TRUE;
}

struct MainSearch {
    const std::wstring* prefix;
    HWND found = nullptr;
};

BOOL CALLBACK FindByPrefix(HWND w, LPARAM param) {
    auto* s = reinterpret_cast<MainSearch*>(param);
    if (!IsWindowVisible(w) || TitleOf(w).compare(0, s->prefix->size(), *s->prefix) != 0) return TRUE;
    s->found = w;
    return FALSE;
}

// The window with that title; a title ending in '*' matches every title that starts with the
// rest (installers that name the page in the title).
HWND FindMain(const std::wstring& title) {
    if (title.empty() || title.back() != L'*') return FindWindowW(nullptr, title.c_str());
    const std::wstring prefix = title.substr(0, title.size() - 1);
    MainSearch search{&prefix};
    EnumWindows(FindByPrefix, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring State(const std::wstring& title) {
    HWND main = FindMain(title);
    if (!main || !IsWindowVisible(main)) return L"none";
    BoxSearch box{main};
    GetWindowThreadProcessId(main, &box.pid);
    EnumWindows(FindBox, reinterpret_cast<LPARAM>(&box));
    if (box.found) return L"box " + TitleOf(box.found);
    return PageOf(main);
}

void Print(double when, const std::wstring& state) {
    char utf8[512] = {};
    WideCharToMultiByte(CP_UTF8, 0, state.c_str(), -1, utf8, sizeof utf8 - 1, nullptr, nullptr);
    std::printf("%.6f\t%s\n", when, utf8);
    std::fflush(stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: wizard_probe <title> <seconds>\n");
        return 2;
    }
    _setmode(_fileno(stdout), _O_BINARY);  // lines end in LF alone
    const std::wstring title = argv[1];
    const double deadline = UnixNow() + _wtof(argv[2]);
    // Fine-grained sleeps: the default timer resolution would round 5 ms up to 15.
    timeBeginPeriod(1);
    std::wstring last;
    bool seen = false;
    for (;;) {
        const double now = UnixNow();
        const std::wstring state = State(title);
        if (state != last) {
            Print(now, state);
            last = state;
        }
        if (state != L"none") seen = true;
        if ((seen && state == L"none") || now > deadline) break;
        Sleep(5);
    }
    timeEndPeriod(1);
    return seen ? 0 : 1;
}

// write_floor: the least it costs to write a payload's files under Wine, the floor under the
// setup's install step. It reads every file of a benchmark payload into memory first (and
// touches every page of it), then writes them into a fresh folder, one WriteFile per file,
// and prints the seconds the writing took: making the folders, creating, writing and closing
// the files. Nothing is inflated, checked or shown, and nothing is flushed to disk (the setup
// does not flush either).
//
//   write_floor <files.tsv> <source folder> <target folder>
//
// files.tsv is bench_payload's list (stored name TAB path under the source TAB size); each
// file goes to <target>\<stored name>. Built by bench/bench_lib.bash for the bitness under test,
// large-address-aware so that the 32-bit build can hold the 1.2 GB payload.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Entry {
    std::wstring stored;  // "\bin\x.dll"
    std::wstring source;  // full path
    char* bytes = nullptr;
    DWORD size = 0;
};

std::wstring Widen(const std::string& s) {
    std::wstring w(s.size(), L'\0');
    w.resize(MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), static_cast<int>(w.size())));
    return w;
}

double Now() {
    LARGE_INTEGER t, f;
    QueryPerformanceCounter(&t);
    QueryPerformanceFrequency(&f);
    return static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

bool ReadAll(Entry& e) {
    HANDLE h = CreateFileW(e.source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size;
    bool ok = GetFileSizeEx(h, &size) && size.QuadPart < 0x7FFFFFFF;
    if (ok) {
        e.size = static_cast<DWORD>(size.QuadPart);
        e.bytes = static_cast<char*>(VirtualAlloc(nullptr, e.size ? e.size : 1, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        ok = e.bytes != nullptr;
        for (DWORD done = 0; ok && done < e.size;) {
            DWORD got = 0;
            ok = ReadFile(h, e.bytes + done, e.size - done, &got, nullptr) && got > 0;
            done += got;
        }
    }
    CloseHandle(h);
    return ok;
}

// Makes every folder above a file's path (the target's own folders included).
void MakeFolders(const std::wstring& path) {
    for (size_t at = path.find(L'\\', 3); at != std::wstring::npos; at = path.find(L'\\', at + 1))
        CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: write_floor <files.tsv> <source folder> <target folder>\n");
        return 2;
    }
    FILE* list = _wfopen(argv[1], L"rb");
    if (!list) {
        std::fprintf(stderr, "write_floor: cannot open the list\n");
        return 1;
    }
    std::vector<Entry> entries;
    char line[4096];
    while (std::fgets(line, sizeof line, list)) {
        std::string l(line);
        while (!l.empty() && (l.back() == '\n' || l.back() == '\r')) l.pop_back();
        const size_t tab1 = l.find('\t'), tab2 = l.find('\t', tab1 + 1);
        if (tab1 == std::string::npos || tab2 == std::string::npos) continue;
        Entry e;
        e.stored = Widen(l.substr(0, tab1));
        std::wstring rel = Widen(l.substr(tab1 + 1, tab2 - tab1 - 1));
        for (auto& c : rel)
            if (c == L'/') c = L'\\';
        e.source = std::wstring(argv[2]) + L"\\" + rel;
        entries.push_back(std::move(e));
    }
    std::fclose(list);
    for (Entry& e : entries) {
        if (!ReadAll(e)) {
            std::fwprintf(stderr, L"write_floor: cannot read %ls\n", e.source.c_str());
            return 1;
        }
    }

    const std::wstring target = argv[3];
    const double t0 = Now();
    for (const Entry& e : entries) {
        const std::wstring path = target + e.stored;
        MakeFolders(path);
        HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        if (h == INVALID_HANDLE_VALUE || !WriteFile(h, e.bytes, e.size, &written, nullptr) || written != e.size) {
            std::fwprintf(stderr, L"write_floor: cannot write %ls\n", path.c_str());
            return 1;
        }
        CloseHandle(h);
    }
    const double t1 = Now();
    std::printf("%.3f\n", t1 - t0);
    return 0;
}

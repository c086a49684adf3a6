// WinShell: shell links, ShellExecute, the WinINet connection state and the process list.
#include "win/platform_win.h"

#include <shellapi.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <string_view>

#include "win/handles.h"
#include "win/system.h"
#include "win/text.h"

namespace setup::win {

namespace {

// Bound at run time, so a system without them (or without WinINet) just yields nothing.
using CreateSnapshotFn = HANDLE(WINAPI*)(DWORD, DWORD);
using ProcessWalkFn = BOOL(WINAPI*)(HANDLE, PROCESSENTRY32W*);
using ConnectedStateFn = BOOL(WINAPI*)(DWORD*, DWORD);

template <typename Fn>
Fn Proc(const UniqueModule& module, const char* name) {
    if (!module) return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module.get(), name)));
}

const wchar_t* OrNull(const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); }

bool SameName(std::wstring_view a, std::wstring_view b) {
    return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

// The name of one "NAME=value" entry; entries such as "=C:=C:\dir" have a "=" first.
std::wstring_view EntryName(std::wstring_view entry) {
    const size_t eq = entry.find(L'=', 1);
    return entry.substr(0, eq == std::wstring_view::npos ? entry.size() : eq);
}

// This process's environment with the given variables set, as a CreateProcess block: entries
// sorted by name without regard to case, each ended by a zero, and one more zero at the end.
std::wstring EnvironmentWith(const std::vector<std::pair<std::string, std::string>>& variables) {
    std::vector<std::wstring> entries;
    std::vector<std::wstring> names;
    for (const auto& [name, value] : variables) {
        names.push_back(Wide(name));
        entries.push_back(names.back() + L"=" + Wide(value));
    }
    if (wchar_t* block = ::GetEnvironmentStringsW()) {
        for (const wchar_t* entry = block; *entry; entry += ::lstrlenW(entry) + 1) {
            const std::wstring_view name = EntryName(entry);
            if (std::none_of(names.begin(), names.end(), [&](const std::wstring& n) { return SameName(n, name); }))
                entries.emplace_back(entry);
        }
        ::FreeEnvironmentStringsW(block);
    }
    std::sort(entries.begin(), entries.end(), [](const std::wstring& a, const std::wstring& b) {
        const std::wstring_view x = EntryName(a), y = EntryName(b);
        return ::CompareStringOrdinal(x.data(), static_cast<int>(x.size()), y.data(), static_cast<int>(y.size()),
                                      TRUE) == CSTR_LESS_THAN;
    });
    std::wstring out;
    for (const std::wstring& entry : entries) out.append(entry).push_back(L'\0');
    out.push_back(L'\0');
    return out;
}

}  // namespace

Shell::LinkResult WinShell::CreateShellLink(const std::string& link_path, const ShellLinkFields& fields) {
    // COM lives exactly as long as this one link (the interfaces below are released first).
    CoInitScope com;
    if (!com.ok()) return LinkResult::kComFailed;
    ComPtr<IShellLinkW> link;
    if (FAILED(link.CreateInstance(CLSID_ShellLink)) || !link) return LinkResult::kObjectFailed;
    link->SetPath(Wide(fields.target).c_str());
    link->SetArguments(Wide(fields.arguments).c_str());
    link->SetIconLocation(Wide(fields.icon_path).c_str(), fields.icon_index);
    link->SetWorkingDirectory(Wide(fields.working_dir).c_str());
    ComPtr<IPersistFile> file;
    if (FAILED(link.As(file)) || !file) return LinkResult::kObjectFailed;
    if (FAILED(file->Save(Wide(link_path).c_str(), FALSE))) return LinkResult::kNotSaved;
    return LinkResult::kOk;
}

void WinShell::Execute(const std::string& verb, const std::string& file, const std::string& params,
                       const std::string& dir, int show_cmd, bool owner_main_window) {
    std::wstring wverb = Wide(verb), wfile = Wide(file), wparams = Wide(params), wdir = Wide(dir);
    // The shell may hand the request to extensions that need COM on this thread.
    CoInitScope com;
    // ShellExecute itself, made synchronous: the program often ends right after this call
    // (the finish actions), and a launch still in progress must not be cut off.
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.hwnd = owner_main_window && app_ ? app_->MainWindow() : nullptr;
    info.lpVerb = OrNull(wverb);
    info.lpFile = wfile.c_str();
    info.lpParameters = OrNull(wparams);
    info.lpDirectory = OrNull(wdir);
    info.nShow = show_cmd;
    ::ShellExecuteExW(&info);
}

bool WinShell::StartProcess(const ProcessStart& start) {
    const std::wstring program = Wide(start.program), dir = Wide(start.dir);
    std::wstring command_line = Wide(start.command_line);  // CreateProcessW may write into it
    std::wstring environment = EnvironmentWith(start.environment);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(start.show_cmd);
    // A hidden console program gets a console without any window at all.
    const DWORD flags = CREATE_UNICODE_ENVIRONMENT | CREATE_DEFAULT_ERROR_MODE |
                        (start.show_cmd == SW_HIDE ? CREATE_NO_WINDOW : 0);
    PROCESS_INFORMATION info{};
    // The program by its full path: nothing is searched for. No handles are handed on.
    if (!::CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, FALSE, flags, environment.data(),
                          OrNull(dir), &startup, &info))
        return false;
    UniqueHandle process(info.hProcess), thread(info.hThread);
    return true;
}

std::optional<uint32_t> WinShell::ConnectedState() {
    UniqueModule wininet = LoadSystemLibrary(L"wininet.dll");
    auto connected_state = Proc<ConnectedStateFn>(wininet, "InternetGetConnectedState");
    if (!connected_state) return std::nullopt;
    DWORD flags = 0;
    if (!connected_state(&flags, 0)) return std::nullopt;
    return flags;
}

std::vector<ProcessEntry> WinShell::ListProcesses() {
    std::vector<ProcessEntry> list;
    UniqueModule kernel = LoadSystemLibrary(L"kernel32.dll");
    auto create_snapshot = Proc<CreateSnapshotFn>(kernel, "CreateToolhelp32Snapshot");
    auto first = Proc<ProcessWalkFn>(kernel, "Process32FirstW");
    auto next = Proc<ProcessWalkFn>(kernel, "Process32NextW");
    if (!create_snapshot || !first || !next) return list;
    UniqueSnapshot snapshot(create_snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return list;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL ok = first(snapshot.get(), &entry); ok; ok = next(snapshot.get(), &entry)) {
        entry.szExeFile[MAX_PATH - 1] = L'\0';
        list.push_back(ProcessEntry{entry.th32ProcessID, Gbk(entry.szExeFile)});
        entry.dwSize = sizeof(entry);
    }
    return list;
}

void WinShell::TerminateProcess(uint32_t pid) {
    // Never this process itself, whatever its file is called: ending it here would cut the
    // installation off half-way.
    if (pid == ::GetCurrentProcessId()) return;
    UniqueHandle process(::OpenProcess(PROCESS_TERMINATE, FALSE, pid));
    if (process) ::TerminateProcess(process.get(), 0xFFFFFFFF);
}

void WinShell::Sleep(uint32_t ms) { ::Sleep(ms); }

uint64_t WinShell::Milliseconds() { return ::GetTickCount64(); }

}  // namespace setup::win

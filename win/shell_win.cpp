// WinShell: shell links, ShellExecute, the WinINet connection state and the process list.
#include "win/platform_win.h"

#include <shellapi.h>
#include <shlobj.h>
#include <tlhelp32.h>

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

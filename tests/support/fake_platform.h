// fake_platform.h: an in-memory machine for the native tests.
//
// Paths and key names compare case-insensitively (ASCII letters), as on Windows. Every
// operation that changes something is appended to `log` ("mkdir C:\a", "write C:\a\b",
// "link C:\x.lnk", "exec open C:\t.bat", "start C:\p.exe", "kill 12", "msgbox <text>", ...), so tests can check
// order as well as outcome. Failures are injected through the public sets and flags.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "base/platform.h"

namespace setup::testing {

// Lower-cases ASCII letters and drops one trailing "\" (except after a drive colon).
std::string NormPath(std::string_view path);

class FakeFileSystem : public FileSystem {
public:
    std::map<std::string, std::vector<uint8_t>> files;  // keyed by NormPath
    std::set<std::string> dirs;                          // NormPath; "c:" stands for drive C:
    std::set<std::string> locked;                        // files in use: not replaced, not deleted
    std::set<std::string> links;                         // NormPath of folders that are links
    std::set<std::string> unwritable_dirs;               // CreateDirectory fails for these
    bool disk_full = false;                              // every non-empty write fails
    std::string module_folder = "C:\\Downloads\\";
    std::string current_dir = "C:\\";
    std::string windows_folder = "C:\\Windows";
    std::set<std::string> private_dirs;                  // made by CreatePrivateFolder
    std::vector<std::string>& log;

    explicit FakeFileSystem(std::vector<std::string>& log_);
    void AddDrive(char letter);
    void AddDirTree(std::string_view path);  // every level
    void AddFile(std::string_view path, std::string_view content);
    const std::vector<uint8_t>* File(std::string_view path) const;

    bool DirectoryExists(const std::string& path) override;
    bool FileExists(const std::string& path) override;
    bool IsLink(const std::string& path) override { return links.count(NormPath(path)) != 0; }
    bool CreateDirectory(const std::string& path) override;
    bool DeleteFile(const std::string& path) override;
    std::unique_ptr<NewFile> CreateNewFile(const std::string& path, WriteResult& result) override;
    WriteResult WriteNewFile(const std::string& path, std::span<const uint8_t> bytes) override;
    bool SetCurrentDirectory(const std::string& path) override;
    std::string ModuleFolder() override { return module_folder; }
    std::string SystemFolder() override { return windows_folder + "\\System32"; }
    std::string WindowsFolder() override { return windows_folder; }
    // prefix + "1", "2", ... (the first name not taken), inside an existing writable parent.
    std::string CreatePrivateFolder(const std::string& parent, const std::string& prefix, WriteResult& result) override;
    bool RemoveDirectory(const std::string& path) override;
};

class FakeRegistry : public Registry {
public:
    struct Value {
        bool is_dword = false;
        uint32_t dword = 0;
        std::string str;
    };
    // Key = NormKey(root, key path); values keyed by lower-cased name.
    std::map<std::string, std::map<std::string, Value>> keys;
    std::set<std::string> denied;  // NormKey of keys that can be neither opened nor created
    std::vector<std::string>& log;

    explicit FakeRegistry(std::vector<std::string>& log_);
    static std::string NormKey(RegRoot root, std::string_view key);
    const Value* Find(RegRoot root, std::string_view key, std::string_view name) const;
    bool HasKey(RegRoot root, std::string_view key) const;

    bool CreateKey(RegRoot root, const std::string& key) override;
    bool SetDword(RegRoot root, const std::string& key, const std::string& name, uint32_t value) override;
    bool SetString(RegRoot root, const std::string& key, const std::string& name, const std::string& value) override;
    std::optional<uint32_t> GetDword(RegRoot root, const std::string& key, const std::string& name) override;
    std::optional<std::string> GetString(RegRoot root, const std::string& key, const std::string& name) override;
};

class FakeShell : public Shell {
public:
    struct Exec {
        std::string verb, file, params, dir;
        int show = 0;
        bool owner = false;
    };
    std::map<std::string, ShellLinkFields> links;  // NormPath of the .lnk
    std::vector<Exec> executed;
    std::vector<ProcessStart> started;
    bool start_fails = false;
    std::optional<uint32_t> connected;             // nullopt: offline (call returns false)
    std::vector<ProcessEntry> processes;
    std::vector<uint32_t> terminated;
    std::vector<uint32_t> sleeps;
    LinkResult link_result = LinkResult::kOk;
    FakeFileSystem* fs = nullptr;                  // when set, links also appear as files
    std::vector<std::string>& log;

    explicit FakeShell(std::vector<std::string>& log_);
    LinkResult CreateShellLink(const std::string& link_path, const ShellLinkFields& fields) override;
    void Execute(const std::string& verb, const std::string& file, const std::string& params,
                 const std::string& dir, int show_cmd, bool owner_main_window) override;
    bool StartProcess(const ProcessStart& start) override;
    std::optional<uint32_t> ConnectedState() override { return connected; }
    std::vector<ProcessEntry> ListProcesses() override { return processes; }
    void TerminateProcess(uint32_t pid) override;
    void Sleep(uint32_t ms) override;
    // The clock moves on by `tick` at every reading, and by what Sleep waits.
    uint64_t Milliseconds() override { return now += tick; }
    uint64_t now = 0;
    uint64_t tick = 0;
};

class FakeDialogs : public Dialogs {
public:
    struct Box {
        std::string text, title;
        unsigned flags = 0;
    };
    std::vector<Box> boxes;          // every message box shown
    std::deque<int> answers;         // scripted answers; kIdYes when empty for questions
    std::vector<std::string> confirms;
    std::deque<bool> confirm_answers;
    std::vector<std::string> errors;
    std::string browse_result;
    std::vector<std::string> browse_titles;
    std::vector<std::string>& log;
    std::function<void()> on_box;    // runs while a message box is open (the user acts meanwhile)

    explicit FakeDialogs(std::vector<std::string>& log_);
    int MessageBox(const std::string& text, const std::string& title, unsigned flags) override;
    bool Confirm(const std::string& text) override;
    void ShowError(const std::string& text) override;
    std::string BrowseForFolder(const std::string& title) override;
};

class FakeResources : public Resources {
public:
    std::map<std::string, std::vector<uint8_t>> items;  // by exact name
    std::span<const uint8_t> Find(const std::string& name) override;
};

// One fake machine: drive C: with the usual shell folders registered for the current user.
struct FakeMachine {
    std::vector<std::string> log;
    FakeFileSystem fs{log};
    FakeRegistry reg{log};
    FakeShell shell{log};
    FakeDialogs dialogs{log};
    FakeResources resources;

    FakeMachine();
    Platform platform() { return Platform{fs, reg, shell, dialogs, resources}; }
    static constexpr const char* kDesktop = "C:\\Users\\user\\Desktop";
    static constexpr const char* kPrograms = "C:\\Users\\user\\Start Menu\\Programs";
};

}  // namespace setup::testing

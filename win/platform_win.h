// platform_win.h: the Win32 implementation of the platform interfaces (base/platform.h).
//
//   WinFileSystem   files and folders through the W functions, administrators-only folders
//   WinRegistry     HKLM / HKCU / HKCR values (access 0x80000002 for writing, no 64-bit flag)
//   WinShell        shell links, ShellExecute, CreateProcess, WinINet state, Tool Help processes
//   WinDialogs      message boxes, the "Confirm" dialog, the error box, the folder browser
//   WinResources    RCDATA of the running executable
//   WinPlatform     all of them, handed out as a setup::Platform
//
// Text crosses the boundary as GBK (code page 936) on every system locale.
#pragma once

#include <windows.h>

// The interfaces have members named like the A/W macros of <windows.h>: without these the
// member names would change with the include order. Call the W functions by their own names.
#undef CreateDirectory
#undef DeleteFile
#undef MessageBox
#undef RemoveDirectory
#undef SetCurrentDirectory

#include "base/platform.h"
#include "win/application.h"
#include "win/handles.h"

namespace setup::win {

class WinFileSystem : public FileSystem {
public:
    bool DirectoryExists(const std::string& path) override;
    bool FileExists(const std::string& path) override;
    bool IsLink(const std::string& path) override;
    bool CreateDirectory(const std::string& path) override;
    bool DeleteFile(const std::string& path) override;
    std::unique_ptr<NewFile> CreateNewFile(const std::string& path, WriteResult& result) override;
    WriteResult WriteNewFile(const std::string& path, std::span<const uint8_t> bytes) override;
    bool SetCurrentDirectory(const std::string& path) override;
    std::string ModuleFolder() override;
    std::string SystemFolder() override;
    std::string WindowsFolder() override;
    std::string CreatePrivateFolder(const std::string& parent, const std::string& prefix, WriteResult& result) override;
    bool RemoveDirectory(const std::string& path) override;
};

// The root key a RegRoot names, and a key path as the W functions take it (the leading "\"
// of "\Software\..." dropped); shared by everything that opens registry keys.
HKEY RootKey(RegRoot root);
std::wstring KeyPath(const std::string& key);

class WinRegistry : public Registry {
public:
    // GENERIC_READ | KEY_SET_VALUE: the access every key is opened or created with for writing.
    static constexpr REGSAM kWriteAccess = 0x80000002;

    bool CreateKey(RegRoot root, const std::string& key) override;
    bool SetDword(RegRoot root, const std::string& key, const std::string& name, uint32_t value) override;
    bool SetString(RegRoot root, const std::string& key, const std::string& name, const std::string& value) override;
    std::optional<uint32_t> GetDword(RegRoot root, const std::string& key, const std::string& name) override;
    std::optional<std::string> GetString(RegRoot root, const std::string& key, const std::string& name) override;
};

class WinShell : public Shell {
public:
    // app may be null: Execute then never passes an owner window.
    explicit WinShell(Application* app) : app_(app) {}

    LinkResult CreateShellLink(const std::string& link_path, const ShellLinkFields& fields) override;
    void Execute(const std::string& verb, const std::string& file, const std::string& params, const std::string& dir,
                 int show_cmd, bool owner_main_window) override;
    bool StartProcess(const ProcessStart& start) override;
    std::optional<uint32_t> ConnectedState() override;
    std::vector<ProcessEntry> ListProcesses() override;
    void TerminateProcess(uint32_t pid) override;
    void Sleep(uint32_t ms) override;
    uint64_t Milliseconds() override;

private:
    Application* app_;
};

class WinDialogs : public Dialogs {
public:
    // app may be null: boxes are then owned by the active window and titled with the
    // executable's name.
    explicit WinDialogs(Application* app) : app_(app) {}

    int MessageBox(const std::string& text, const std::string& title, unsigned flags) override;
    bool Confirm(const std::string& text) override;
    void ShowError(const std::string& text) override;
    std::string BrowseForFolder(const std::string& title) override;

private:
    HWND Owner() const;
    Application* app_;
};

class WinResources : public Resources {
public:
    // The module whose resources are read; the running executable when null. Opens the
    // module's file at once and keeps it open, denying others writes, deletes and renames.
    explicit WinResources(HMODULE module = nullptr);
    std::span<const uint8_t> Find(const std::string& name) override;
    // Reads the bytes from the file opened at construction when it is the one that was
    // loaded (checked once), else from the mapped image.
    std::unique_ptr<Source> OpenSource(const std::string& name) override;

private:
    // Where a resource lies in the image and in the file.
    struct ImageSpan {
        uint64_t rva, size;
        uint64_t section_rva, section_size, section_file_offset;
    };
    HMODULE Module() const;
    bool FileIsImage(const ImageSpan& resource);

    HMODULE module_;
    UniqueFile file_;
    bool file_checked_ = false;
    bool file_is_image_ = false;
};

struct WinPlatform {
    explicit WinPlatform(Application* app) : shell(app), dialogs(app) {}
    WinFileSystem fs;
    WinRegistry reg;
    WinShell shell;
    WinDialogs dialogs;
    WinResources resources;
    Platform platform() { return Platform{fs, reg, shell, dialogs, resources}; }
};

}  // namespace setup::win

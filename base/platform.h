// platform.h: the narrow interface between the installer's decisions and the machine.
//
// Portable code (wizard controller, installation run, finish actions) talks to the system
// only through these interfaces. win/ implements them over Win32; tests/support/ has an
// in-memory implementation for the native tests.
//
// All text is GBK bytes (std::string). Paths are full Windows paths ("C:\dir\file").
// Registry key paths are given as the program forms them, with or without a leading "\".
//
//   FileSystem   folders, whole-file writes, current directory, administrators-only folders
//   Registry     values under HKLM / HKCU / HKCR
//   Shell        shell links, ShellExecute, process starts, connection state, processes, sleep
//   Dialogs      message boxes, the close confirmation, the error box, the folder browser
//   Resources    the program's own RCDATA resources
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace setup {

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // True when a directory of that name exists ("D: " with its blank is a valid question:
    // it asks whether drive D: is present and ready).
    virtual bool DirectoryExists(const std::string& path) = 0;
    virtual bool FileExists(const std::string& path) = 0;
    // True when the path is a symbolic link, a junction or another reparse point (never
    // followed to find out).
    virtual bool IsLink(const std::string& path) = 0;
    // Creates one directory level; false when it could not be made (or already exists).
    virtual bool CreateDirectory(const std::string& path) = 0;
    // Deletes a file; the result is advisory.
    virtual bool DeleteFile(const std::string& path) = 0;

    struct WriteResult {
        // kReplaceFailed: every byte was written, but the old file could not be replaced
        // (it is in use); it is left as it was.
        enum Stage { kOk, kCreateFailed, kWriteFailed, kReplaceFailed } stage = kOk;
        std::string reason;  // the system's text for the failure, GBK, no trailing full stop
        bool ok() const { return stage == kOk; }
    };

    // A file written a piece at a time under a temporary name beside its path and put in
    // place whole: whatever was at the path stays until every byte is written, and nothing
    // is ever written through an existing file or link. Destroyed without a successful
    // Commit, it removes its temporary file.
    class NewFile {
    public:
        virtual ~NewFile() = default;
        virtual WriteResult Write(std::span<const uint8_t> bytes) = 0;  // kWriteFailed
        // Closes the file and moves it over the path (kWriteFailed, kReplaceFailed).
        virtual WriteResult Commit() = 0;
    };
    // Null with the reason in `result` (kCreateFailed) when the temporary file cannot be made
    // or a folder stands at the path.
    virtual std::unique_ptr<NewFile> CreateNewFile(const std::string& path, WriteResult& result) = 0;

    // The whole file at once, through CreateNewFile.
    WriteResult WriteFile(const std::string& path, std::span<const uint8_t> bytes);
    // Writes a file that must be fresh: an existing plain file is deleted first, then the file
    // is created only if nothing of that name exists (never opened through an existing file,
    // directory or link), with no sharing, and written in one write.
    virtual WriteResult WriteNewFile(const std::string& path, std::span<const uint8_t> bytes) = 0;

    virtual bool SetCurrentDirectory(const std::string& path) = 0;
    // Folder of the running executable, with its trailing "\".
    virtual std::string ModuleFolder() = 0;
    // The system folder (system32) and the machine's Windows folder, without a trailing "\".
    virtual std::string SystemFolder() = 0;
    virtual std::string WindowsFolder() = 0;

    // Makes a new folder inside `parent`, named `prefix` plus a suffix that makes it new, that
    // only SYSTEM and the Administrators can change: its own access list, nothing inherited.
    // Never an existing folder: it is created here, then checked to be a plain folder (no link)
    // owned by the Administrators, SYSTEM or this process. Returns its path without a trailing
    // "\"; empty with the reason in `result` (kCreateFailed) when it cannot be made.
    virtual std::string CreatePrivateFolder(const std::string& parent, const std::string& prefix,
                                            WriteResult& result) = 0;
    // Removes an empty folder; the result is advisory.
    virtual bool RemoveDirectory(const std::string& path) = 0;
};

// The error text for a write of `path` that failed: "Cannot create file \"<path>\". <reason>"
// when the file could not be made or put in place, "Cannot write file ..." when its bytes
// could not be written.
std::string WriteFailureText(const std::string& path, const FileSystem::WriteResult& result);

enum class RegRoot { LocalMachine, CurrentUser, ClassesRoot };

class Registry {
public:
    virtual ~Registry() = default;

    // Opens the key for reading and setting values (access 0x80000002, no 64-bit view flag),
    // creating it when missing. False when it can be neither opened nor created.
    virtual bool CreateKey(RegRoot root, const std::string& key) = 0;
    // Open-or-create the key, then set a value. Strings are written as REG_SZ with their
    // terminating zero counted. False on any failure.
    virtual bool SetDword(RegRoot root, const std::string& key, const std::string& name, uint32_t value) = 0;
    virtual bool SetString(RegRoot root, const std::string& key, const std::string& name, const std::string& value) = 0;
    // Reads from an existing key only (never creates it). nullopt when the key or value is
    // missing or the value has another type. An empty name reads the key's default value.
    virtual std::optional<uint32_t> GetDword(RegRoot root, const std::string& key, const std::string& name) = 0;
    virtual std::optional<std::string> GetString(RegRoot root, const std::string& key, const std::string& name) = 0;
};

// A program started by its full path (CreateProcess: nothing looked up, no handles inherited).
struct ProcessStart {
    std::string program;                  // full path of the executable
    std::string command_line;             // the whole command line, program name first
    std::string dir;                      // its current folder
    // Variables set in its environment on top of this process's own. Passed as UTF-16, so
    // any path survives, whatever code page the program reads text in.
    std::vector<std::pair<std::string, std::string>> environment;
    int show_cmd = 1;                     // SW_ value for its first window (or console)
};

struct ProcessEntry {
    uint32_t pid = 0;
    std::string exe_name;  // file name without folder, bytes as the system reports them
};

struct ShellLinkFields {
    std::string target;
    std::string arguments;
    std::string icon_path;
    int icon_index = 0;
    std::string working_dir;
};

class Shell {
public:
    virtual ~Shell() = default;

    // Writes a shell link (.lnk) through the shell link object. kComFailed: COM could not be
    // initialised (nothing written, silent); kObjectFailed: the link object or one of its
    // interfaces could not be obtained (an error for the caller); kNotSaved: the file could not
    // be saved; kOk otherwise (setter results are not examined).
    // kNotSaved: the link file could not be written.
    enum class LinkResult { kOk, kComFailed, kObjectFailed, kNotSaved };
    virtual LinkResult CreateShellLink(const std::string& link_path, const ShellLinkFields& fields) = 0;

    // ShellExecute. verb may be empty (the default action); owner_main_window passes the
    // wizard window as owner instead of none.
    virtual void Execute(const std::string& verb, const std::string& file, const std::string& params,
                         const std::string& dir, int show_cmd, bool owner_main_window) = 0;

    // Starts a program and does not wait for it; false when it could not be started.
    virtual bool StartProcess(const ProcessStart& start) = 0;

    // InternetGetConnectedState: nullopt when the call returns false, else the flags.
    virtual std::optional<uint32_t> ConnectedState() = 0;

    // Tool Help snapshot; empty when unavailable.
    virtual std::vector<ProcessEntry> ListProcesses() = 0;
    // OpenProcess(PROCESS_TERMINATE) + TerminateProcess(0xFFFFFFFF); results ignored.
    virtual void TerminateProcess(uint32_t pid) = 0;

    virtual void Sleep(uint32_t ms) = 0;
    // Milliseconds of a clock that only moves forward (GetTickCount64).
    virtual uint64_t Milliseconds() = 0;
};

// Win32 show commands used by the program.
inline constexpr int kSwHide = 0;
inline constexpr int kSwShowNormal = 1;
inline constexpr int kSwShow = 5;

// Message-box flags and answers as Windows defines them.
inline constexpr unsigned kMbOk = 0x00;
inline constexpr unsigned kMbRetryCancel = 0x05;
inline constexpr unsigned kMbYesNo = 0x04;
inline constexpr unsigned kMbIconQuestion = 0x20;
inline constexpr unsigned kMbIconExclamation = 0x30;
inline constexpr unsigned kMbIconInformation = 0x40;
inline constexpr unsigned kMbDefButton2 = 0x100;
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdRetry = 4;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // Modal message box owned by the application; returns the answer (kIdYes, kIdNo, kIdOk).
    virtual int MessageBox(const std::string& text, const std::string& title, unsigned flags) = 0;
    // The framework's confirmation dialog: caption "Confirm", question icon, "&Yes"/"&No".
    virtual bool Confirm(const std::string& text) = 0;
    // The framework's error box: error icon, OK, the application title; the caller passes the
    // text already finished with its full stop.
    virtual void ShowError(const std::string& text) = 0;
    // System folder browser rooted at the desktop; empty when cancelled or unavailable.
    virtual std::string BrowseForFolder(const std::string& title) = 0;
};

class Resources {
public:
    virtual ~Resources() = default;
    // The bytes of the RCDATA resource of that name, valid for the life of the program.
    // Throws Error("Resource <name> not found") when it is missing.
    virtual std::span<const uint8_t> Find(const std::string& name) = 0;

    // The same bytes with random access, for reading a large resource a piece at a time
    // (from several threads at once): the pieces can come from the executable's file, so the
    // resource need not become resident beside what is made of it. By default the pieces are
    // copied out of Find's bytes.
    class Source {
    public:
        virtual ~Source() = default;
        virtual uint64_t Size() const = 0;
        // Fills `out` with the bytes at `offset`. Safe to call from several threads at once.
        // Throws Error("Stream read error") when they cannot be read (or lie past the end).
        virtual void ReadAt(uint64_t offset, std::span<uint8_t> out) = 0;
    };
    virtual std::unique_ptr<Source> OpenSource(const std::string& name);
};

// Everything the portable code may touch, handed over as one bundle of references.
struct Platform {
    FileSystem& fs;
    Registry& reg;
    Shell& shell;
    Dialogs& dialogs;
    Resources& resources;
};

}  // namespace setup

// WinFileSystem: files and folders through the W functions.
#include <algorithm>
#include <limits>
#include <vector>

#include <aclapi.h>
#include <sddl.h>

#include "win/handles.h"
#include "win/platform_win.h"
#include "win/system.h"
#include "win/text.h"

namespace setup::win {

namespace {

// Attributes of a path, with the "insert a disk" box of a removable drive suppressed: the
// drive test at start-up must not stop on an empty CD drive.
DWORD Attributes(const std::string& path) {
    DWORD old_mode = 0;
    ::SetThreadErrorMode(SEM_FAILCRITICALERRORS, &old_mode);
    DWORD attributes = ::GetFileAttributesW(Wide(path).c_str());
    ::SetThreadErrorMode(old_mode, nullptr);
    return attributes;
}

// Writes every byte; WriteFile takes a DWORD count, so more than that goes in pieces.
bool WriteAll(HANDLE file, std::span<const uint8_t> bytes) {
    constexpr size_t kChunk = std::numeric_limits<DWORD>::max() & ~static_cast<DWORD>(0xFFFF);
    if (bytes.empty()) return true;
    while (!bytes.empty()) {
        DWORD want = static_cast<DWORD>(std::min(bytes.size(), kChunk));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data(), want, &written, nullptr)) return false;
        if (written != want) {
            ::SetLastError(ERROR_HANDLE_DISK_FULL);
            return false;
        }
        bytes = bytes.subspan(want);
    }
    return true;
}

std::wstring Hex(uint32_t value) {
    std::wstring out;
    do {
        out.insert(out.begin(), L"0123456789abcdef"[value & 15]);
        value >>= 4;
    } while (value);
    return out;
}

FileSystem::WriteResult Failed(FileSystem::WriteResult::Stage stage, DWORD code) {
    return {stage, SystemErrorText(code)};
}

// Writes the bytes into a freshly opened file. A file that could not be written completely
// is removed: a truncated program file must not look installed.
FileSystem::WriteResult WriteAndClose(UniqueFile file, const std::wstring& path, std::span<const uint8_t> bytes) {
    if (!WriteAll(file.get(), bytes)) {
        DWORD code = ::GetLastError();
        file.reset();
        ::DeleteFileW(path.c_str());
        return Failed(FileSystem::WriteResult::kWriteFailed, code);
    }
    if (!::CloseHandle(file.release())) {
        DWORD code = ::GetLastError();
        ::DeleteFileW(path.c_str());
        return Failed(FileSystem::WriteResult::kWriteFailed, code);
    }
    return {};
}

}  // namespace

bool WinFileSystem::DirectoryExists(const std::string& path) {
    DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool WinFileSystem::FileExists(const std::string& path) {
    DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool WinFileSystem::IsLink(const std::string& path) {
    DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool WinFileSystem::CreateDirectory(const std::string& path) {
    return ::CreateDirectoryW(Wide(path).c_str(), nullptr) != FALSE;
}

bool WinFileSystem::DeleteFile(const std::string& path) {
    return ::DeleteFileW(Wide(path).c_str()) != FALSE;
}

namespace {

// The new file under a name of its own beside the target; see FileSystem::NewFile.
class WinNewFile final : public FileSystem::NewFile {
public:
    WinNewFile(UniqueFile file, std::wstring temp, std::wstring target)
        : file_(std::move(file)), temp_(std::move(temp)), target_(std::move(target)) {}

    ~WinNewFile() override {
        if (committed_) return;
        // Removed through the handle, so the name is not looked up again.
        FILE_DISPOSITION_INFO gone{TRUE};
        if (file_ && ::SetFileInformationByHandle(file_.get(), FileDispositionInfo, &gone, sizeof gone)) return;
        file_.reset();
        ::DeleteFileW(temp_.c_str());
    }

    FileSystem::WriteResult Write(std::span<const uint8_t> bytes) override {
        if (!file_ || !WriteAll(file_.get(), bytes)) return Failed(FileSystem::WriteResult::kWriteFailed, ::GetLastError());
        return {};
    }

    // May be called again after kReplaceFailed (the target was in use).
    FileSystem::WriteResult Commit() override {
        if (committed_) return {};
        if (!file_) return MoveByName();
        if (!::FlushFileBuffers(file_.get()) && ::GetLastError() != ERROR_INVALID_FUNCTION) {
            // Data the system could not write out (a full disk found late) must not replace
            // a good file.
            return Failed(FileSystem::WriteResult::kWriteFailed, ::GetLastError());
        }
        // Renamed through the open handle: the file moved over the target is the one written,
        // whatever happens to the temporary name meanwhile. An existing target is replaced
        // (a link itself, never what it points to); one in use stays as it was.
        const std::wstring nt_name = L"\\??\\" + target_;
        std::vector<uint8_t> buffer(sizeof(FILE_RENAME_INFO) + nt_name.size() * sizeof(wchar_t));
        auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
        rename->ReplaceIfExists = TRUE;
        rename->RootDirectory = nullptr;
        rename->FileNameLength = static_cast<DWORD>(nt_name.size() * sizeof(wchar_t));
        std::copy(nt_name.begin(), nt_name.end(), rename->FileName);
        if (!::SetFileInformationByHandle(file_.get(), FileRenameInfo, rename, static_cast<DWORD>(buffer.size()))) {
            const DWORD code = ::GetLastError();
            if (code != ERROR_INVALID_PARAMETER && code != ERROR_NOT_SUPPORTED && code != ERROR_CALL_NOT_IMPLEMENTED)
                return Failed(FileSystem::WriteResult::kReplaceFailed, code);
            // A system without renames by handle: by name.
            if (!::CloseHandle(file_.release())) return Failed(FileSystem::WriteResult::kWriteFailed, ::GetLastError());
            return MoveByName();
        }
        committed_ = true;
        if (!::CloseHandle(file_.release())) return Failed(FileSystem::WriteResult::kWriteFailed, ::GetLastError());
        return {};
    }

private:
    FileSystem::WriteResult MoveByName() {
        if (!::MoveFileExW(temp_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING))
            return Failed(FileSystem::WriteResult::kReplaceFailed, ::GetLastError());
        committed_ = true;
        return {};
    }

    UniqueFile file_;
    std::wstring temp_, target_;
    bool committed_ = false;
};

}  // namespace

std::unique_ptr<FileSystem::NewFile> WinFileSystem::CreateNewFile(const std::string& path, WriteResult& result) {
    const std::wstring target = Wide(path);
    // A folder of that name would only refuse the move at the end, after every byte.
    const DWORD existing = ::GetFileAttributesW(target.c_str());
    if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_DIRECTORY) &&
        !(existing & FILE_ATTRIBUTE_REPARSE_POINT)) {
        result = Failed(WriteResult::kCreateFailed, ERROR_ALREADY_EXISTS);
        return nullptr;
    }
    static unsigned counter = 0;
    for (int attempt = 0;; ++attempt) {
        std::wstring temp = target + L".~zs" + Hex(::GetCurrentProcessId()) + L"-" + Hex(counter++);
        // CREATE_NEW never opens an existing object; FILE_FLAG_OPEN_REPARSE_POINT keeps a
        // link that appears in between from being followed. DELETE lets the handle rename
        // and remove the file.
        UniqueFile file(::CreateFileW(temp.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        if (file) {
            result = {};
            return std::make_unique<WinNewFile>(std::move(file), std::move(temp), target);
        }
        const DWORD code = ::GetLastError();
        if ((code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS) || attempt == 16) {
            result = Failed(WriteResult::kCreateFailed, code);
            return nullptr;
        }
    }
}

FileSystem::WriteResult WinFileSystem::WriteNewFile(const std::string& path, std::span<const uint8_t> bytes) {
    std::wstring wide = Wide(path);
    DWORD attributes = ::GetFileAttributesW(wide.c_str());
    // A plain file (or a file link, which DeleteFileW removes without following) goes away;
    // a directory or a directory junction stays and makes the create below fail.
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) ::DeleteFileW(wide.c_str());
    // CREATE_NEW never opens an existing object; FILE_FLAG_OPEN_REPARSE_POINT keeps a link
    // that appears in between from being followed.
    UniqueFile file(::CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file) return Failed(WriteResult::kCreateFailed, ::GetLastError());
    return WriteAndClose(std::move(file), wide, bytes);
}

bool WinFileSystem::SetCurrentDirectory(const std::string& path) {
    return ::SetCurrentDirectoryW(Wide(path).c_str()) != FALSE;
}

std::string WinFileSystem::SystemFolder() { return Gbk(win::SystemFolder()); }

std::string WinFileSystem::WindowsFolder() { return Gbk(win::WindowsFolder()); }

namespace {

// SYSTEM and the Administrators: full control; nobody else anything. Protected, so nothing
// comes in from the parent (the Windows folder's Temp lets every user add to it).
constexpr const wchar_t* kPrivateFolderSddl = L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";

bool IsWellKnown(PSID sid, WELL_KNOWN_SID_TYPE type) { return ::IsWellKnownSid(sid, type) != FALSE; }

// True when the SID is this process's account or its default owner for new objects (an
// elevated token's is the Administrators group; with a plain administrator account, or under
// Wine, new objects belong to the account itself).
bool IsThisProcess(PSID sid) {
    HANDLE raw = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &raw)) return false;
    UniqueHandle token(raw);
    for (TOKEN_INFORMATION_CLASS which : {TokenUser, TokenOwner}) {
        DWORD size = 0;
        ::GetTokenInformation(token.get(), which, nullptr, 0, &size);
        if (size == 0) continue;
        std::vector<uint8_t> buffer(size);
        if (!::GetTokenInformation(token.get(), which, buffer.data(), size, &size)) continue;
        PSID own = which == TokenUser ? reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid
                                      : reinterpret_cast<TOKEN_OWNER*>(buffer.data())->Owner;
        if (::EqualSid(own, sid)) return true;
    }
    return false;
}

// ERROR_SUCCESS when the path is a plain folder (no junction or other link) owned by SYSTEM,
// the Administrators or this process's account.
DWORD CheckPrivateFolder(const std::wstring& path) {
    UniqueFile folder(::CreateFileW(path.c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!folder) return ::GetLastError();
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(folder.get(), &info)) return ::GetLastError();
    if (!(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return ERROR_DIRECTORY;
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR sd = nullptr;
    const DWORD status = ::GetSecurityInfo(folder.get(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr,
                                           nullptr, nullptr, &sd);
    if (status != ERROR_SUCCESS) return status;
    UniqueLocal sd_owner(sd);
    if (!owner || !(IsWellKnown(owner, WinLocalSystemSid) || IsWellKnown(owner, WinBuiltinAdministratorsSid) ||
                    IsThisProcess(owner)))
        return ERROR_INVALID_OWNER;
    return ERROR_SUCCESS;
}

}  // namespace

std::string WinFileSystem::CreatePrivateFolder(const std::string& parent, const std::string& prefix,
                                               WriteResult& result) {
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(kPrivateFolderSddl, SDDL_REVISION_1, &sd, nullptr)) {
        result = Failed(WriteResult::kCreateFailed, ::GetLastError());
        return {};
    }
    UniqueLocal sd_owner(sd);
    SECURITY_ATTRIBUTES attributes{sizeof(attributes), sd, FALSE};
    const std::wstring base = Wide(parent) + L"\\" + Wide(prefix);
    static unsigned counter = 0;
    for (int attempt = 0;; ++attempt) {
        // Hard to guess, so that folders made beforehand by someone else (which only make
        // the create fail) do not stand in the way for long.
        const uint64_t tick = ::GetTickCount64();
        const std::wstring path = base + Hex(::GetCurrentProcessId()) + L"-" + Hex(static_cast<uint32_t>(tick >> 32)) +
                                  Hex(static_cast<uint32_t>(tick)) + L"-" + Hex(counter++);
        // A new folder or none: CreateDirectoryW never opens or follows what is already there.
        if (::CreateDirectoryW(path.c_str(), &attributes)) {
            const DWORD code = CheckPrivateFolder(path);
            if (code == ERROR_SUCCESS) {
                result = {};
                return Gbk(path);
            }
            ::RemoveDirectoryW(path.c_str());
            result = Failed(WriteResult::kCreateFailed, code);
            return {};
        }
        const DWORD code = ::GetLastError();
        if (code != ERROR_ALREADY_EXISTS || attempt == 16) {
            result = Failed(WriteResult::kCreateFailed, code);
            return {};
        }
    }
}

bool WinFileSystem::RemoveDirectory(const std::string& path) {
    return ::RemoveDirectoryW(Wide(path).c_str()) != FALSE;
}

std::string WinFileSystem::ModuleFolder() {
    std::wstring path = ModuleFileName();
    size_t slash = path.find_last_of(L'\\');
    return Gbk(slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1));
}

}  // namespace setup::win

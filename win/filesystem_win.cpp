// WinFileSystem: files and folders through the W functions.
#include <algorithm>
#include <limits>

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

bool WinFileSystem::CreateDirectory(const std::string& path) {
    return ::CreateDirectoryW(Wide(path).c_str(), nullptr) != FALSE;
}

bool WinFileSystem::DeleteFile(const std::string& path) {
    return ::DeleteFileW(Wide(path).c_str()) != FALSE;
}

FileSystem::WriteResult WinFileSystem::WriteFile(const std::string& path, std::span<const uint8_t> bytes) {
    std::wstring wide = Wide(path);
    UniqueFile file(::CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                  nullptr));
    if (!file) return Failed(WriteResult::kCreateFailed, ::GetLastError());
    return WriteAndClose(std::move(file), wide, bytes);
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

std::string WinFileSystem::ModuleFolder() {
    std::wstring path = ModuleFileName();
    size_t slash = path.find_last_of(L'\\');
    return Gbk(slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1));
}

}  // namespace setup::win

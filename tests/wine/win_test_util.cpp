#include "tests/wine/win_test_util.h"

#include <atomic>

#include "win/handles.h"
#include "win/system.h"
#include "win/text.h"

namespace setup::testing {

TempDir::TempDir() {
    static std::atomic<unsigned> counter{0};
    wchar_t temp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, temp);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::wstring candidate = std::wstring(temp) + L"zs-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                                 std::to_wstring(counter++) + L"\\";
        if (::CreateDirectoryW(candidate.c_str(), nullptr)) {
            path_ = candidate;
            return;
        }
    }
}

TempDir::~TempDir() {
    if (!path_.empty()) RemoveTree(path_);
}

std::string TempDir::gbk() const { return win::Gbk(path_); }
std::string TempDir::Gbk(const std::wstring& name) const { return win::Gbk(path_ + name); }

void RemoveTree(const std::wstring& path) {
    std::wstring dir = path;
    if (!dir.empty() && dir.back() == L'\\') dir.pop_back();
    WIN32_FIND_DATAW data;
    win::UniqueFind find(::FindFirstFileW((dir + L"\\*").c_str(), &data));
    if (find) {
        do {
            std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring full = dir + L"\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
                ::SetFileAttributesW(full.c_str(), data.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY);
            bool is_dir = data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
            bool is_link = data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT;
            if (is_dir && !is_link) {
                RemoveTree(full);
            } else if (is_dir) {
                ::RemoveDirectoryW(full.c_str());
            } else {
                ::DeleteFileW(full.c_str());
            }
        } while (::FindNextFileW(find.get(), &data));
    }
    find.reset();
    ::RemoveDirectoryW(dir.c_str());
}

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

bool ReadWholeFile(const std::wstring& path, std::vector<uint8_t>& out) {
    win::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, 0, nullptr));
    if (!file) return false;
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size)) return false;
    out.assign(static_cast<size_t>(size.QuadPart), 0);
    DWORD got = 0;
    if (!out.empty() && !::ReadFile(file.get(), out.data(), static_cast<DWORD>(out.size()), &got, nullptr)) return false;
    return got == out.size();
}

bool WriteWholeFile(const std::wstring& path, const std::string& bytes) {
    win::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

std::wstring TestExeFolder() {
    std::wstring path = win::ModuleFileName();
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

bool PathExists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace setup::testing

#include "win/platform_win.h"  // first: <windows.h> without its A/W renaming macros

#include <shlobj.h>

#include "uninstall/machine_win.h"
#include "win/handles.h"
#include "win/text.h"

namespace setup::win {

namespace {

UniqueHkey OpenKey(RegRoot root, const std::string& key, REGSAM access) {
    UniqueHkey hkey;
    if (::RegOpenKeyExW(RootKey(root), KeyPath(key).c_str(), 0, access, hkey.put()) != ERROR_SUCCESS) hkey.reset();
    return hkey;
}

// Sub-keys and values of a key; false when it cannot be opened.
bool CountKey(RegRoot root, const std::string& key, DWORD& subkeys, DWORD& values) {
    UniqueHkey hkey = OpenKey(root, key, KEY_QUERY_VALUE);
    return hkey && ::RegQueryInfoKeyW(hkey.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                                      nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

}  // namespace

std::optional<std::vector<uint8_t>> WinUninstallMachine::ReadFile(const std::string& path, size_t limit) {
    UniqueFile file(::CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
        static_cast<uint64_t>(size.QuadPart) > limit)
        return std::nullopt;
    std::vector<uint8_t> bytes(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        if (!::ReadFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &got, nullptr) ||
            got == 0)
            return std::nullopt;
        done += got;
    }
    return bytes;
}

std::optional<std::string> WinUninstallMachine::LinkTarget(const std::string& link_path) {
    CoInitScope com;
    if (!com.ok()) return std::nullopt;
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    if (FAILED(link.CreateInstance(CLSID_ShellLink)) || FAILED(link.As(file)) ||
        FAILED(file->Load(Wide(link_path).c_str(), STGM_READ)))
        return std::nullopt;
    std::wstring target(MAX_PATH * 4, L'\0');
    // The path as stored, without resolving the link or expanding variables.
    if (link->GetPath(target.data(), static_cast<int>(target.size()), nullptr, SLGP_RAWPATH) != S_OK)
        return std::nullopt;
    target.resize(::lstrlenW(target.c_str()));
    return Gbk(target);
}

std::vector<std::string> WinUninstallMachine::FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW data{};
    UniqueFind find(::FindFirstFileW((Wide(folder) + L"\\*").c_str(), &data));
    if (!find) return names;
    do {
        const std::wstring_view name(data.cFileName);
        if (name != L"." && name != L"..") names.push_back(Gbk(name));
    } while (::FindNextFileW(find.get(), &data));
    return names;
}

bool WinUninstallMachine::DeleteValue(RegRoot root, const std::string& key, const std::string& name) {
    UniqueHkey hkey = OpenKey(root, key, KEY_SET_VALUE);
    return hkey && ::RegDeleteValueW(hkey.get(), Wide(name).c_str()) == ERROR_SUCCESS;
}

bool WinUninstallMachine::DeleteEmptyKey(RegRoot root, const std::string& key) {
    DWORD subkeys = 0, values = 0;
    if (KeyPath(key).empty() || !CountKey(root, key, subkeys, values) || subkeys != 0 || values != 0) return false;
    return ::RegDeleteKeyW(RootKey(root), KeyPath(key).c_str()) == ERROR_SUCCESS;
}

int WinUninstallMachine::SubkeyCount(RegRoot root, const std::string& key) {
    DWORD subkeys = 0, values = 0;
    return CountKey(root, key, subkeys, values) ? static_cast<int>(subkeys) : 0;
}

}  // namespace setup::win

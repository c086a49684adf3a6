// WinRegistry: values under HKLM, HKCU and HKCR through the W functions.
//
// Keys for writing are opened or created with 0x80000002 and no KEY_WOW64_ flag, so the
// 32-bit program writes into its own registry view on 64-bit Windows. Keys for reading are
// opened with KEY_QUERY_VALUE and never created. Strings go through UTF-16 (code page 936
// text converted), which is how a REG_SZ is stored whatever the system locale.
#include "win/handles.h"
#include "win/platform_win.h"
#include "win/text.h"

namespace setup::win {

HKEY RootKey(RegRoot root) {
    switch (root) {
        case RegRoot::LocalMachine: return HKEY_LOCAL_MACHINE;
        case RegRoot::CurrentUser: return HKEY_CURRENT_USER;
        case RegRoot::ClassesRoot: return HKEY_CLASSES_ROOT;
    }
    return HKEY_LOCAL_MACHINE;
}

// Key paths are formed as "\Software\..." (relative to the root all the same).
std::wstring KeyPath(const std::string& key) {
    std::string_view path(key);
    if (!path.empty() && path.front() == '\\') path.remove_prefix(1);
    return Wide(path);
}

namespace {


UniqueHkey OpenForWriting(RegRoot root, const std::string& key) {
    UniqueHkey hkey;
    LONG status = ::RegCreateKeyExW(RootKey(root), KeyPath(key).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                    WinRegistry::kWriteAccess, nullptr, hkey.put(), nullptr);
    if (status != ERROR_SUCCESS) hkey.reset();
    return hkey;
}

UniqueHkey OpenForReading(RegRoot root, const std::string& key) {
    UniqueHkey hkey;
    LONG status = ::RegOpenKeyExW(RootKey(root), KeyPath(key).c_str(), 0, KEY_QUERY_VALUE, hkey.put());
    if (status != ERROR_SUCCESS) hkey.reset();
    return hkey;
}

bool SetValue(RegRoot root, const std::string& key, const std::string& name, DWORD type, const void* data,
              DWORD size) {
    UniqueHkey hkey = OpenForWriting(root, key);
    if (!hkey) return false;
    return ::RegSetValueExW(hkey.get(), Wide(name).c_str(), 0, type, static_cast<const BYTE*>(data), size) ==
           ERROR_SUCCESS;
}

}  // namespace

bool WinRegistry::CreateKey(RegRoot root, const std::string& key) {
    return static_cast<bool>(OpenForWriting(root, key));
}

bool WinRegistry::SetDword(RegRoot root, const std::string& key, const std::string& name, uint32_t value) {
    DWORD data = value;
    return SetValue(root, key, name, REG_DWORD, &data, sizeof(data));
}

bool WinRegistry::SetString(RegRoot root, const std::string& key, const std::string& name, const std::string& value) {
    std::wstring data = Wide(value);
    // The terminating zero is part of the stored data.
    DWORD size = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
    return SetValue(root, key, name, REG_SZ, data.c_str(), size);
}

std::optional<uint32_t> WinRegistry::GetDword(RegRoot root, const std::string& key, const std::string& name) {
    UniqueHkey hkey = OpenForReading(root, key);
    if (!hkey) return std::nullopt;
    DWORD type = 0;
    DWORD data = 0;
    DWORD size = sizeof(data);
    LONG status = ::RegQueryValueExW(hkey.get(), Wide(name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data),
                                     &size);
    if (status != ERROR_SUCCESS || type != REG_DWORD || size != sizeof(data)) return std::nullopt;
    return data;
}

std::optional<std::string> WinRegistry::GetString(RegRoot root, const std::string& key, const std::string& name) {
    UniqueHkey hkey = OpenForReading(root, key);
    if (!hkey) return std::nullopt;
    std::wstring wname = Wide(name);
    std::wstring data;
    DWORD type = 0;
    DWORD size = 0;
    LONG status = ::RegQueryValueExW(hkey.get(), wname.c_str(), nullptr, &type, nullptr, &size);
    // The value may grow between the two calls: ask again with the new size.
    for (int attempt = 0; attempt < 4 && status == ERROR_SUCCESS; ++attempt) {
        if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
        data.assign(size / sizeof(wchar_t) + 1, L'\0');
        DWORD got = size;
        status = ::RegQueryValueExW(hkey.get(), wname.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                                    &got);
        if (status == ERROR_MORE_DATA) {
            size = got;
            status = ERROR_SUCCESS;
            continue;
        }
        if (status != ERROR_SUCCESS) break;
        if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
        // Stored strings may or may not carry their terminator; text ends at the first zero.
        data.resize(got / sizeof(wchar_t));
        size_t end = data.find(L'\0');
        if (end != std::wstring::npos) data.resize(end);
        return Gbk(data);
    }
    return std::nullopt;
}

}  // namespace setup::win

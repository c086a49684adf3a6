// WinRegistry against the real registry, in a throwaway key deleted afterwards.
#include <windows.h>

#include <gtest/gtest.h>

#include "win/handles.h"
#include "win/platform_win.h"
#include "win/text.h"

namespace setup::win {
namespace {

class WinRegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        sub_ = L"Software\\ZSetupTests\\" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
               std::to_wstring(::GetTickCount64());
        key_ = "\\" + Gbk(sub_);
    }
    void TearDown() override {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, sub_.c_str());
        ::RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\ZSetupTests");
    }

    // Raw read of a value under HKCU\sub_ (bypassing the class under test).
    bool RawQuery(const std::wstring& subkey, const std::wstring& name, DWORD& type, std::vector<BYTE>& data) {
        UniqueHkey hkey;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, subkey.c_str(), 0, KEY_QUERY_VALUE, hkey.put()) != ERROR_SUCCESS)
            return false;
        DWORD size = 0;
        if (::RegQueryValueExW(hkey.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
        data.assign(size, 0);
        return ::RegQueryValueExW(hkey.get(), name.c_str(), nullptr, &type, data.data(), &size) == ERROR_SUCCESS;
    }
    bool KeyExists(const std::wstring& subkey) {
        UniqueHkey hkey;
        return ::RegOpenKeyExW(HKEY_CURRENT_USER, subkey.c_str(), 0, KEY_QUERY_VALUE, hkey.put()) == ERROR_SUCCESS;
    }
    void RawSet(const std::wstring& name, DWORD type, const void* data, DWORD size) {
        UniqueHkey hkey;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, sub_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, hkey.put(),
                                    nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(::RegSetValueExW(hkey.get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
    }

    WinRegistry reg_;
    std::wstring sub_;  // without the leading "\"
    std::string key_;   // as the program forms it: "\Software\..."
};

TEST_F(WinRegistryTest, CreateKeyMakesEveryMissingLevelAndReopensAnExistingKey) {
    std::string deep = key_ + "\\a\\b";
    EXPECT_FALSE(KeyExists(sub_));
    EXPECT_TRUE(reg_.CreateKey(RegRoot::CurrentUser, deep));
    EXPECT_TRUE(KeyExists(sub_ + L"\\a\\b"));
    EXPECT_TRUE(reg_.CreateKey(RegRoot::CurrentUser, deep));
}

TEST_F(WinRegistryTest, LeadingBackslashIsRelativeToTheRoot) {
    ASSERT_TRUE(reg_.SetDword(RegRoot::CurrentUser, key_, "Setup", 1));
    ASSERT_TRUE(reg_.SetDword(RegRoot::CurrentUser, Gbk(sub_), "Plain", 2));
    DWORD type = 0;
    std::vector<BYTE> data;
    EXPECT_TRUE(RawQuery(sub_, L"Setup", type, data));
    EXPECT_TRUE(RawQuery(sub_, L"Plain", type, data));
}

TEST_F(WinRegistryTest, StringIsRegSzWithItsTerminatingZeroCounted) {
    ASSERT_TRUE(reg_.SetString(RegRoot::CurrentUser, key_, "Version", "1.2.3"));
    DWORD type = 0;
    std::vector<BYTE> data;
    ASSERT_TRUE(RawQuery(sub_, L"Version", type, data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    ASSERT_EQ(data.size(), 6 * sizeof(wchar_t));
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(data.data()), 6), std::wstring(L"1.2.3\0", 6));
}

TEST_F(WinRegistryTest, EmptyStringStoresOnlyTheTerminator) {
    ASSERT_TRUE(reg_.SetString(RegRoot::CurrentUser, key_, "Date", ""));
    DWORD type = 0;
    std::vector<BYTE> data;
    ASSERT_TRUE(RawQuery(sub_, L"Date", type, data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(data.size(), sizeof(wchar_t));
    EXPECT_EQ(reg_.GetString(RegRoot::CurrentUser, key_, "Date"), std::optional<std::string>(""));
}

TEST_F(WinRegistryTest, GbkTextIsStoredAsTheRightUnicodeAndReadsBack) {
    const std::string folder = "C:\\Program Files\\青岚护卫";  // GBK bytes in this build
    ASSERT_TRUE(reg_.SetString(RegRoot::CurrentUser, key_ + "\\中文键", "目录", folder));
    DWORD type = 0;
    std::vector<BYTE> data;
    ASSERT_TRUE(RawQuery(sub_ + L"\\中文键", L"目录", type, data));
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(data.data())), L"C:\\Program Files\\青岚护卫");
    EXPECT_EQ(reg_.GetString(RegRoot::CurrentUser, key_ + "\\中文键", "目录"), std::optional<std::string>(folder));
}

TEST_F(WinRegistryTest, DwordRoundTripAndOverwrite) {
    ASSERT_TRUE(reg_.SetDword(RegRoot::CurrentUser, key_, "Setup", 0xFFFFFFFEu));
    EXPECT_EQ(reg_.GetDword(RegRoot::CurrentUser, key_, "Setup"), std::optional<uint32_t>(0xFFFFFFFEu));
    ASSERT_TRUE(reg_.SetDword(RegRoot::CurrentUser, key_, "Setup", 1));
    DWORD type = 0;
    std::vector<BYTE> data;
    ASSERT_TRUE(RawQuery(sub_, L"Setup", type, data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(data.size(), 4u);
    EXPECT_EQ(reg_.GetDword(RegRoot::CurrentUser, key_, "Setup"), std::optional<uint32_t>(1));
}

TEST_F(WinRegistryTest, ValuesOfAnotherTypeDoNotRead) {
    ASSERT_TRUE(reg_.SetString(RegRoot::CurrentUser, key_, "Text", "1"));
    ASSERT_TRUE(reg_.SetDword(RegRoot::CurrentUser, key_, "Number", 1));
    const DWORD four = 1;
    RawSet(L"Binary", REG_BINARY, &four, sizeof(four));
    RawSet(L"Qword", REG_QWORD, "\1\0\0\0\0\0\0\0", 8);
    EXPECT_EQ(reg_.GetDword(RegRoot::CurrentUser, key_, "Text"), std::nullopt);
    EXPECT_EQ(reg_.GetDword(RegRoot::CurrentUser, key_, "Binary"), std::nullopt);
    EXPECT_EQ(reg_.GetDword(RegRoot::CurrentUser, key_, "Qword"), std::nullopt);
    EXPECT_EQ(reg_.GetString(RegRoot::CurrentUser, key_, "Number"), std::nullopt);
    EXPECT_EQ(reg_.GetString(RegRoot::CurrentUser, key_, "Binary"), std::nullopt);
}

TEST_F(WinRegistryTest, StringsWithoutTerminatorAndExpandStringsRead) {
    RawSet(L"Bare", REG_SZ, L"abc", 3 * sizeof(wchar_t));
    RawSet(L"Expand", REG_EXPAND_SZ, L"%TEMP%\\x", 9 * sizeof(wchar_t));
    EXPECT_EQ(reg_.GetString(RegRoot::CurrentUser, key_, "Bare"), std::optional<std::string>("abc"));
    EXPECT_EQ(reg_.GetString(RegRoot::CurrentUser, key_, "Expand"), std::optional<std::string>("%TEMP%\\x"));
}

TEST_F(WinRegistryTest, LongStringRoundTrip) {
    std::string text(20000, 'x');
    text += "尾";
    ASSERT_TRUE(reg_.SetString(RegRoot::CurrentUser, key_, "Long", text));
    EXPECT_EQ(reg_.GetString(RegRoot::CurrentUser, key_, "Long"), std::optional<std::string>(text));
}

TEST_F(WinRegistryTest, EmptyNameIsTheDefaultValue) {
    RawSet(L"", REG_SZ, L"\"C:\\b.exe\" -- \"%1\"", 19 * sizeof(wchar_t));
    EXPECT_EQ(reg_.GetString(RegRoot::CurrentUser, key_, ""),
              std::optional<std::string>("\"C:\\b.exe\" -- \"%1\""));
}

TEST_F(WinRegistryTest, ReadingAMissingKeyFailsAndDoesNotCreateIt) {
    EXPECT_EQ(reg_.GetString(RegRoot::CurrentUser, key_ + "\\missing", "Folder"), std::nullopt);
    EXPECT_EQ(reg_.GetDword(RegRoot::CurrentUser, key_ + "\\missing", "Setup"), std::nullopt);
    EXPECT_FALSE(KeyExists(sub_ + L"\\missing"));
    EXPECT_FALSE(KeyExists(sub_));
}

TEST_F(WinRegistryTest, MissingValueInAnExistingKeyFails) {
    ASSERT_TRUE(reg_.CreateKey(RegRoot::CurrentUser, key_));
    EXPECT_EQ(reg_.GetDword(RegRoot::CurrentUser, key_, "Setup"), std::nullopt);
    EXPECT_EQ(reg_.GetString(RegRoot::CurrentUser, key_, "Folder"), std::nullopt);
}

TEST_F(WinRegistryTest, WriteAccessMaskIsGenericReadWithSetValue) {
    // The mask must let a key be read and have values set, nothing more.
    EXPECT_EQ(WinRegistry::kWriteAccess, static_cast<REGSAM>(GENERIC_READ | KEY_SET_VALUE));
    UniqueHkey hkey;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, sub_.c_str(), 0, nullptr, 0, WinRegistry::kWriteAccess, nullptr,
                                hkey.put(), nullptr),
              ERROR_SUCCESS);
    const DWORD one = 1;
    EXPECT_EQ(::RegSetValueExW(hkey.get(), L"v", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4), ERROR_SUCCESS);
}

TEST_F(WinRegistryTest, LocalMachineRoundTrip) {
    const std::string key = "\\Software\\ZSetupTests\\" + Gbk(sub_.substr(sub_.rfind(L'\\') + 1));
    if (!reg_.CreateKey(RegRoot::LocalMachine, key)) GTEST_SKIP() << "no write access to HKEY_LOCAL_MACHINE";
    EXPECT_TRUE(reg_.SetString(RegRoot::LocalMachine, key, "Folder", "C:\\ZENTA-KOV"));
    EXPECT_EQ(reg_.GetString(RegRoot::LocalMachine, key, "Folder"), std::optional<std::string>("C:\\ZENTA-KOV"));
    EXPECT_EQ(reg_.GetString(RegRoot::CurrentUser, key, "Folder"), std::nullopt);
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, Wide(key.substr(1)).c_str());
    ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"Software\\ZSetupTests");
}

TEST_F(WinRegistryTest, ClassesRootIsReadable) {
    // The shell link class is registered on every system the setup program supports.
    auto name = reg_.GetString(RegRoot::ClassesRoot, "\\CLSID\\{00021401-0000-0000-C000-000000000046}\\InProcServer32",
                               "");
    ASSERT_TRUE(name.has_value());
    ASSERT_GT(name->size(), 4u);
    EXPECT_EQ(_stricmp(name->substr(name->size() - 4).c_str(), ".dll"), 0) << *name;
}

}  // namespace
}  // namespace setup::win

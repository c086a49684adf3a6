// WinShell: shell links written and read back through the shell, ShellExecute, and the
// process list.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include "tests/wine/test_thread.h"
#include "tests/wine/win_test_util.h"
#include "win/handles.h"
#include "win/platform_win.h"
#include "win/text.h"

namespace setup::win {
namespace {

using testing::TempDir;

struct LoadedLink {
    std::wstring path, arguments, icon, working_dir;
    int icon_index = -1;
};

bool LoadLink(const std::wstring& file, LoadedLink& out) {
    CoInitScope com;
    ComPtr<IShellLinkW> link;
    if (FAILED(link.CreateInstance(CLSID_ShellLink))) return false;
    ComPtr<IPersistFile> persist;
    if (FAILED(link.As(persist)) || FAILED(persist->Load(file.c_str(), STGM_READ))) return false;
    wchar_t buffer[1024];
    // The target as the shell resolves it: from the item list, which holds it in Unicode
    // (GetPath may answer from the link's ANSI copy of the path).
    UniqueCoTaskMem<ITEMIDLIST> items;
    if (FAILED(link->GetIDList(items.put())) || !::SHGetPathFromIDListW(items.get(), buffer)) return false;
    out.path = buffer;
    link->GetArguments(buffer, 1024);
    out.arguments = buffer;
    link->GetIconLocation(buffer, 1024, &out.icon_index);
    out.icon = buffer;
    link->GetWorkingDirectory(buffer, 1024);
    out.working_dir = buffer;
    return true;
}

class WinShellLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(::CreateDirectoryW((dir_ / L"青岚").c_str(), nullptr));
        ASSERT_TRUE(testing::WriteWholeFile(dir_ / L"青岚\\ZENTA-KOV.exe", "MZ"));
        fields_.target = dir_.Gbk(L"青岚\\ZENTA-KOV.exe");
        fields_.arguments = "-start 参数";
        fields_.icon_path = fields_.target;
        fields_.icon_index = 0;
        fields_.working_dir = dir_.Gbk(L"青岚\\");
    }
    TempDir dir_;
    WinShell shell_{nullptr};
    ShellLinkFields fields_;
};

TEST_F(WinShellLinkTest, LinkReadsBackWithEveryField) {
    const std::wstring lnk = dir_ / L"卸载青岚.lnk";
    ASSERT_EQ(shell_.CreateShellLink(Gbk(lnk), fields_), Shell::LinkResult::kOk);
    ASSERT_TRUE(testing::PathExists(lnk));
    LoadedLink loaded;
    ASSERT_TRUE(LoadLink(lnk, loaded));
    EXPECT_EQ(_wcsicmp(loaded.path.c_str(), (dir_ / L"青岚\\ZENTA-KOV.exe").c_str()), 0) << testing::Utf8(loaded.path);
    EXPECT_EQ(loaded.arguments, L"-start 参数");
    EXPECT_EQ(_wcsicmp(loaded.icon.c_str(), (dir_ / L"青岚\\ZENTA-KOV.exe").c_str()), 0) << testing::Utf8(loaded.icon);
    EXPECT_EQ(loaded.icon_index, 0);
    EXPECT_EQ(loaded.working_dir, dir_ / L"青岚\\");
}

TEST_F(WinShellLinkTest, ExistingLinkIsReplaced) {
    const std::wstring lnk = dir_ / L"Readme.txt.lnk";
    ASSERT_EQ(shell_.CreateShellLink(Gbk(lnk), fields_), Shell::LinkResult::kOk);
    fields_.arguments = "";
    ASSERT_EQ(shell_.CreateShellLink(Gbk(lnk), fields_), Shell::LinkResult::kOk);
    LoadedLink loaded;
    ASSERT_TRUE(LoadLink(lnk, loaded));
    EXPECT_EQ(loaded.arguments, L"");
}

TEST_F(WinShellLinkTest, ComInAnotherModelWritesNothing) {
    const std::wstring lnk = dir_ / L"mta.lnk";
    Shell::LinkResult result = Shell::LinkResult::kOk;
    testing::TestThread worker([&] {
        ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        result = shell_.CreateShellLink(Gbk(lnk), fields_);
        ::CoUninitialize();
    });
    worker.join();
    EXPECT_EQ(result, Shell::LinkResult::kComFailed);
    EXPECT_FALSE(testing::PathExists(lnk));
}

TEST_F(WinShellLinkTest, ComStaysUsableOnTheThreadAfterALink) {
    // Each link balances its own CoInitialize: a thread that had COM before still has it.
    ASSERT_EQ(::CoInitialize(nullptr), S_OK);
    ASSERT_EQ(shell_.CreateShellLink(Gbk(dir_ / L"a.lnk"), fields_), Shell::LinkResult::kOk);
    EXPECT_EQ(::CoInitialize(nullptr), S_FALSE);  // still initialised
    ::CoUninitialize();
    ::CoUninitialize();
}

TEST(WinShellTest, ExecutePassesFileParametersAndDirectory) {
    TempDir dir;
    const std::wstring probe = testing::TestExeFolder() + L"zsprobe.exe";
    ASSERT_TRUE(testing::PathExists(probe));
    ASSERT_TRUE(::CreateDirectoryW((dir / L"工作").c_str(), nullptr));
    const std::wstring out = dir / L"out.txt";
    WinShell shell(nullptr);
    shell.Execute("open", Gbk(probe), "write " + Gbk(out), dir.Gbk(L"工作"), kSwHide, false);
    for (int i = 0; i < 200 && !testing::PathExists(out); ++i) ::Sleep(50);
    ::Sleep(100);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(testing::ReadWholeFile(out, bytes));
    std::wstring cwd(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
    EXPECT_EQ(_wcsicmp(cwd.c_str(), (dir / L"工作").c_str()), 0) << testing::Utf8(cwd);
}

TEST(WinShellTest, ProcessListHoldsThisProcessByFileName) {
    WinShell shell(nullptr);
    auto list = shell.ListProcesses();
    ASSERT_FALSE(list.empty());
    bool found = false;
    for (const auto& p : list)
        if (p.pid == ::GetCurrentProcessId()) {
            found = true;
            EXPECT_EQ(p.exe_name, "wine_tests.exe");
        }
    EXPECT_TRUE(found);
}

TEST(WinShellTest, ConnectedStateLeavesNoWinInetLoaded) {
    bool loaded_before = ::GetModuleHandleW(L"wininet.dll") != nullptr;
    WinShell shell(nullptr);
    auto state = shell.ConnectedState();
    if (state) {
        EXPECT_EQ(*state & ~0xFFFFu, 0u);  // only the documented flag bits
    }
    if (!loaded_before) {
        EXPECT_EQ(::GetModuleHandleW(L"wininet.dll"), nullptr);
    }
}

}  // namespace
}  // namespace setup::win

// Ending processes by executable name with WinShell: two copies of ZENTA-X.exe end, a
// zenta-x.exe (other case) keeps running. The matching is the installer's: whole name,
// byte for byte, case-sensitive.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/wine/win_test_util.h"
#include "win/handles.h"
#include "win/platform_win.h"
#include "win/text.h"

namespace setup::win {
namespace {

using testing::TempDir;

struct Started {
    UniqueHandle process;
    DWORD pid = 0;
};

Started Start(const std::wstring& exe) {
    std::wstring command = L"\"" + exe + L"\" wait 60";
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    Started s;
    if (::CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        ::CloseHandle(pi.hThread);
        s.process.reset(pi.hProcess);
        s.pid = pi.dwProcessId;
    }
    return s;
}

bool Ended(const Started& s, DWORD wait_ms) { return ::WaitForSingleObject(s.process.get(), wait_ms) == WAIT_OBJECT_0; }

// What the installer does with the two fixed names.
void KillByName(Shell& shell, const std::string& name) {
    for (const auto& entry : shell.ListProcesses())
        if (entry.exe_name == name) shell.TerminateProcess(entry.pid);
}

TEST(WinProcessTest, EndsEveryCopyWithTheExactNameAndNoOther) {
    TempDir dir;
    const std::wstring probe = testing::TestExeFolder() + L"zsprobe.exe";
    ASSERT_TRUE(testing::PathExists(probe));
    // Separate folders: the file system does not tell the names apart by case.
    for (const wchar_t* sub : {L"a", L"b", L"c"}) ASSERT_TRUE(::CreateDirectoryW((dir / sub).c_str(), nullptr));
    ASSERT_TRUE(::CopyFileW(probe.c_str(), (dir / L"a\\ZENTA-X.exe").c_str(), FALSE));
    ASSERT_TRUE(::CopyFileW(probe.c_str(), (dir / L"b\\ZENTA-X.exe").c_str(), FALSE));
    ASSERT_TRUE(::CopyFileW(probe.c_str(), (dir / L"c\\zenta-x.exe").c_str(), FALSE));
    Started one = Start(dir / L"a\\ZENTA-X.exe");
    Started two = Start(dir / L"b\\ZENTA-X.exe");
    Started other = Start(dir / L"c\\zenta-x.exe");
    ASSERT_TRUE(one.process && two.process && other.process);

    WinShell shell(nullptr);
    // The snapshot names the copies by their file names.
    int seen = 0;
    for (int attempt = 0; attempt < 50 && seen < 3; ++attempt) {
        seen = 0;
        for (const auto& entry : shell.ListProcesses())
            if (entry.pid == one.pid || entry.pid == two.pid || entry.pid == other.pid) {
                EXPECT_EQ(entry.exe_name, entry.pid == other.pid ? "zenta-x.exe" : "ZENTA-X.exe");
                ++seen;
            }
        if (seen < 3) ::Sleep(100);
    }
    ASSERT_EQ(seen, 3);

    KillByName(shell, "ZENTA-X.exe");
    KillByName(shell, "KOV-H-Up.exe");  // none running: nothing happens

    EXPECT_TRUE(Ended(one, 5000));
    EXPECT_TRUE(Ended(two, 5000));
    DWORD code = 0;
    ::GetExitCodeProcess(one.process.get(), &code);
    EXPECT_EQ(code, 0xFFFFFFFFu);
    ::GetExitCodeProcess(two.process.get(), &code);
    EXPECT_EQ(code, 0xFFFFFFFFu);
    EXPECT_FALSE(Ended(other, 500));

    ::TerminateProcess(other.process.get(), 0);
    Ended(other, 5000);
    for (const auto* s : {&one, &two}) ::TerminateProcess(s->process.get(), 0);
}

TEST(WinProcessTest, NeverEndsItsOwnProcess) {
    WinShell shell(nullptr);
    shell.TerminateProcess(::GetCurrentProcessId());
    SUCCEED() << "still running";
}

}  // namespace
}  // namespace setup::win

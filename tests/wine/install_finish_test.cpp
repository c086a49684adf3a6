// The finish actions on Windows: the launcher batch run for real by the command processor,
// the tutorial page opened in a registered stand-in browser.
// platform_win.h first: it includes <windows.h> and then drops the A/W macros that share
// names with members of the platform interfaces.
#include "win/platform_win.h"

#include <aclapi.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/error.h"
#include "install/finish.h"
#include "install/site.h"
#include "install/web.h"
#include "package/setup_config.h"
#include "tests/wine/win_test_util.h"
#include "win/handles.h"
#include "win/text.h"

namespace setup {
namespace {

using win::Gbk;
using win::Wide;

std::wstring ReadWide(const std::string& path) {
    win::UniqueFile file(::CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return L"<none>";
    std::wstring text(::GetFileSize(file.get(), nullptr) / sizeof(wchar_t), L'\0');
    DWORD read = 0;
    if (!text.empty()) ::ReadFile(file.get(), text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &read, nullptr);
    return text;
}

bool Exists(const std::string& path) { return testing::PathExists(Wide(path)); }

// Waits up to timeout_ms for cond(); true when it came true.
template <typename Cond>
bool WaitFor(Cond cond, DWORD timeout_ms) {
    for (DWORD waited = 0; waited < timeout_ms; waited += 100) {
        if (cond()) return true;
        ::Sleep(100);
    }
    return cond();
}

bool CopyTo(const std::string& from, const std::string& to) {
    return ::CopyFileW(Wide(from).c_str(), Wide(to).c_str(), FALSE) != FALSE;
}

// Passes every call through to the real shell, except "explore", which it only records (an
// Explorer window would outlive the test).
class ExploreRecorder : public Shell {
public:
    explicit ExploreRecorder(Shell& real) : real_(real) {}
    std::vector<std::string> explored;  // "file|dir|show|owner"
    LinkResult CreateShellLink(const std::string& l, const ShellLinkFields& f) override { return real_.CreateShellLink(l, f); }
    bool StartProcess(const ProcessStart& start) override { return real_.StartProcess(start); }
    void Execute(const std::string& verb, const std::string& file, const std::string& params, const std::string& dir,
                 int show, bool owner) override {
        if (verb == "explore") {
            explored.push_back(file + "|" + dir + "|" + std::to_string(show) + "|" + (owner ? "owner" : "none"));
            return;
        }
        real_.Execute(verb, file, params, dir, show, owner);
    }
    std::optional<uint32_t> ConnectedState() override { return real_.ConnectedState(); }
    std::vector<ProcessEntry> ListProcesses() override { return real_.ListProcesses(); }
    void TerminateProcess(uint32_t pid) override { real_.TerminateProcess(pid); }
    void Sleep(uint32_t ms) override { real_.Sleep(ms); }
    uint64_t Milliseconds() override { return real_.Milliseconds(); }

private:
    Shell& real_;
};

class NoDialogs : public Dialogs {
public:
    int MessageBox(const std::string&, const std::string&, unsigned) override { return kIdOk; }
    bool Confirm(const std::string&) override { return false; }
    void ShowError(const std::string&) override {}
    std::string BrowseForFolder(const std::string&) override { return {}; }
};

class NoResources : public Resources {
public:
    std::span<const uint8_t> Find(const std::string& name) override { throw Error("Resource " + name + " not found"); }
};

class WinFinish : public ::testing::Test {
protected:
    void SetUp() override {
        module_ = fs_.ModuleFolder();
        ASSERT_FALSE(temp_.path().empty());
        // Characters the command processor treats specially, blanks and Chinese: the paths
        // reach it only through its environment. ("!" is left out: Wine's command processor
        // expands a value once more, which Windows' never does.)
        folder_ = temp_.gbk() + "zs 100% a&b^c %PATH% 安装 dir";
        ASSERT_TRUE(::CreateDirectoryW(Wide(folder_).c_str(), nullptr));
        ASSERT_TRUE(CopyTo(module_ + "install_marker.exe", folder_ + "\\main program.exe"))
            << "install_marker.exe missing next to the test program";
        ASSERT_TRUE(CopyTo(module_ + "install_marker.exe", folder_ + "\\second.exe"));
        config_.SetText(TextField::ProductName, "ZENTA-ABC");
        config_.SetFolder(folder_);
        config_.SetFile(0, {"\\main program.exe", 0, 0});
        config_.SetFile(1, {"\\second.exe", 0, 0});
        config_.SetShortcut(0, {"Main", 0, 0, ""});
        config_.SetCounts(2, 1, 0);
    }
    void TearDown() override {
        WaitFor([&] { return Launchers().empty(); }, 10000);  // let a started launcher finish
    }
    // The launcher folders in the Windows folder's Temp.
    std::vector<std::wstring> Launchers() {
        std::vector<std::wstring> found;
        WIN32_FIND_DATAW data;
        const std::wstring pattern = Wide(LauncherParent(fs_)) + L"\\" + Wide(kLauncherFolderPrefix) + L"*";
        win::UniqueFind find(::FindFirstFileW(pattern.c_str(), &data));
        if (!find) return found;
        do found.push_back(data.cFileName);
        while (::FindNextFileW(find.get(), &data));
        return found;
    }
    Platform platform(Shell& shell) { return Platform{fs_, reg_, shell, dialogs_, resources_}; }

    win::WinFileSystem fs_;
    win::WinRegistry reg_;
    win::WinShell shell_{nullptr};
    NoDialogs dialogs_;
    NoResources resources_;
    testing::TempDir temp_;
    std::string module_, folder_;
    SetupConfig config_;
};

TEST_F(WinFinish, LauncherStartsTheProgramInItsFolderAndLeavesNothing) {
    ASSERT_TRUE(Launchers().empty()) << "a launcher folder is left from an earlier run";
    Platform p = platform(shell_);
    StartInstalledProgram(config_, p);
    const std::string ran = folder_ + "\\main program.exe.ran";
    ASSERT_TRUE(WaitFor([&] { return Exists(ran); }, 30000)) << "the installed program did not start";
    EXPECT_TRUE(WaitFor([&] { return Launchers().empty(); }, 10000)) << "the launcher or its folder is still there";
    const std::wstring report = ReadWide(ran);
    // Started by its full, quoted path, in its own folder.
    EXPECT_EQ(report.rfind(L"\"" + Wide(folder_) + L"\\main program.exe\"", 0), 0u) << Gbk(report);
    EXPECT_NE(report.find(L"\r\n" + Wide(folder_) + L"\r\n"), std::wstring::npos) << Gbk(report);
}

TEST_F(WinFinish, SeveralMainProgramsStartFromOneLauncher) {
    config_.SetShortcut(1, {"Second", 1, 2, ""});
    config_.SetCounts(2, 2, 0);
    Platform p = platform(shell_);
    StartInstalledProgram(config_, p);
    EXPECT_TRUE(WaitFor([&] { return Exists(folder_ + "\\main program.exe.ran"); }, 30000));
    EXPECT_TRUE(WaitFor([&] { return Exists(folder_ + "\\second.exe.ran"); }, 30000));
}

TEST_F(WinFinish, LauncherFolderIsForAdministratorsOnly) {
    FileSystem::WriteResult result;
    const std::string folder = fs_.CreatePrivateFolder(LauncherParent(fs_), kLauncherFolderPrefix, result);
    ASSERT_FALSE(folder.empty()) << result.reason;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR sd = nullptr;
    const std::wstring wide = Wide(folder);
    ASSERT_EQ(::GetNamedSecurityInfoW(wide.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                                      nullptr, &sd),
              ERROR_SUCCESS);
    win::UniqueLocal sd_owner(sd);
    ASSERT_NE(dacl, nullptr);
    // SYSTEM and the Administrators (Wine, which keeps no access lists of its own, shows the
    // account that made the folder instead); no entry for users at large, as the Temp folder
    // around it would hand down.
    HANDLE raw = nullptr;
    ASSERT_TRUE(::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &raw));
    win::UniqueHandle token(raw);
    BYTE user[SECURITY_MAX_SID_SIZE + sizeof(TOKEN_USER)];
    DWORD size = sizeof(user);
    ASSERT_TRUE(::GetTokenInformation(token.get(), TokenUser, user, size, &size));
    std::vector<std::string> trustees;
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* ace = nullptr;
        ASSERT_TRUE(::GetAce(dacl, i, reinterpret_cast<void**>(&ace)));
        ASSERT_EQ(ace->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
        PSID sid = &ace->SidStart;
        trustees.push_back(::IsWellKnownSid(sid, WinLocalSystemSid)                              ? "SYSTEM"
                           : ::IsWellKnownSid(sid, WinBuiltinAdministratorsSid)                  ? "Administrators"
                           : ::EqualSid(sid, reinterpret_cast<TOKEN_USER*>(user)->User.Sid)      ? "Administrators"
                                                                                                 : "other");
    }
    EXPECT_EQ(trustees, (std::vector<std::string>{"SYSTEM", "Administrators"}));
    EXPECT_TRUE(fs_.RemoveDirectory(folder));
}

TEST_F(WinFinish, ClearedStartBoxExploresAndWritesNoLauncher) {
    ExploreRecorder shell(shell_);
    Platform p = platform(shell);
    RunFinishActions(config_, p, {false, false, folder_});
    ASSERT_EQ(shell.explored.size(), 1u);
    EXPECT_EQ(shell.explored[0], folder_ + "|" + folder_.substr(0, folder_.rfind('\\') + 1) + "|1|none");
    ::Sleep(500);
    EXPECT_TRUE(Launchers().empty());
    EXPECT_FALSE(Exists(folder_ + "\\main program.exe.ran"));
}

// Sets a key's default value for the life of the object and puts the old one back.
class DefaultValueOverride {
public:
    DefaultValueOverride(HKEY root, const wchar_t* key) {
        HKEY raw = nullptr;
        if (::RegCreateKeyExW(root, key, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &raw, nullptr) !=
            ERROR_SUCCESS)
            return;
        key_.reset(raw);
        DWORD type = 0, size = sizeof(saved_);
        had_value_ = ::RegQueryValueExW(raw, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(saved_), &size) ==
                     ERROR_SUCCESS;
    }
    ~DefaultValueOverride() {
        if (!key_) return;
        if (had_value_)
            Set(saved_);
        else
            ::RegDeleteValueW(key_.get(), nullptr);
    }
    bool Set(const std::wstring& value) {
        return key_ && ::RegSetValueExW(key_.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    }

private:
    win::UniqueHkey key_;
    wchar_t saved_[1024] = {};
    bool had_value_ = false;
};

class WinBrowser : public WinFinish {
protected:
    void SetUp() override {
        WinFinish::SetUp();
        browser_ = module_ + "browser_standin.exe";
        ASSERT_TRUE(Exists(browser_)) << "browser_standin.exe missing next to the test program";
        // The user's own choice, which must never run: a copy of the stand-in in the test folder.
        decoy_ = temp_.gbk() + "decoy.exe";
        ASSERT_TRUE(CopyTo(browser_, decoy_));
        ::DeleteFileW(Wide(Args()).c_str());
        ASSERT_TRUE(machine_.Set(L"\"" + Wide(browser_) + L"\" -- \"%1\""));
        ASSERT_TRUE(user_.Set(L"\"" + Wide(decoy_) + L"\" \"%1\""));
    }
    void TearDown() override {
        ::DeleteFileW(Wide(Args()).c_str());
        WinFinish::TearDown();
    }
    std::string Args() const { return browser_ + ".args"; }

    std::string browser_, decoy_;
    DefaultValueOverride machine_{HKEY_LOCAL_MACHINE, L"Software\\Classes\\htmlfile\\shell\\open\\command"};
    DefaultValueOverride user_{HKEY_CURRENT_USER, L"Software\\Classes\\htmlfile\\shell\\open\\command"};
};

TEST_F(WinBrowser, MachinesBrowserReceivesTheAddressAsOneArgument) {
    const std::string address = TutorialAddress("ZENTA-A \" -x B");
    EXPECT_TRUE(OpenInBrowser(reg_, shell_, address));
    ASSERT_TRUE(WaitFor([&] { return Exists(Args()); }, 20000)) << "the browser was not started";
    const std::wstring line = ReadWide(Args());
    int argc = 0;
    win::UniqueLocal argv_owner;
    wchar_t** argv = ::CommandLineToArgvW(line.c_str(), &argc);
    argv_owner.reset(argv);
    ASSERT_EQ(argc, 2) << Gbk(line);
    EXPECT_EQ(Gbk(argv[1]), address);
    EXPECT_FALSE(Exists(decoy_ + ".args")) << "the user's classes were used";
}

TEST_F(WinBrowser, TutorialOpensOnlyWhenTheSystemReportsAConnection) {
    const auto state = shell_.ConnectedState();
    const bool online = state && (*state & (kConnectionModem | kConnectionLan | kConnectionProxy)) != 0;
    BPingClick(reg_, shell_, config_.ProductName());
    if (online) {
        EXPECT_TRUE(WaitFor([&] { return Exists(Args()); }, 20000));
    } else {
        ::Sleep(2000);
        EXPECT_FALSE(Exists(Args()));
    }
}

TEST_F(WinBrowser, CommandWithoutAQuotedProgramOpensNothing) {
    ASSERT_TRUE(machine_.Set(Wide(browser_) + L" %1"));
    EXPECT_TRUE(OpenInBrowser(reg_, shell_, "https://www.zenta.example/"));
    ::Sleep(2000);
    EXPECT_FALSE(Exists(Args()));
}

}  // namespace
}  // namespace setup

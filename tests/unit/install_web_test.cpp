// Web links, the default browser, and the termination of the helper programs.
#include <gtest/gtest.h>

#include "install/path_text.h"
#include "install/process_kill.h"
#include "install/site.h"
#include "install/web.h"
#include "tests/support/fake_platform.h"

namespace setup {
namespace {

using testing::FakeMachine;

const std::string kRoot(kSiteRoot);

TEST(InstallSite, OneRootWithItsDomain) {
    ASSERT_FALSE(kRoot.empty());
    EXPECT_EQ(kRoot.back(), '/');
    EXPECT_EQ(SiteDomain(), "www.zenta.example");
}

TEST(InstallWeb, TutorialAddressFromTheProductName) {
    EXPECT_EQ(TutorialAddress("ZENTA-KOV"), kRoot + "jiaocheng.html");
    EXPECT_EQ(TutorialAddress("ZENTA-ABC"), kRoot + "ABC-jiaocheng.html");
    EXPECT_EQ(TutorialAddress("Foo"), kRoot + "Foo-jiaocheng.html");
    EXPECT_EQ(TutorialAddress("zenta-KOV"), kRoot + "zenta-KOV-jiaocheng.html");
    EXPECT_EQ(TutorialAddress("ZENTA-ZENTA-KOV"), kRoot + "jiaocheng.html");
    EXPECT_EQ(TutorialAddress("KOVZENTA-"), kRoot + "jiaocheng.html");
    EXPECT_EQ(TutorialAddress("kov"), kRoot + "kov-jiaocheng.html");
    EXPECT_EQ(TutorialAddress(""), kRoot + "-jiaocheng.html");
}

TEST(InstallWeb, ArgumentsAreQuotedAsTheRuntimeSplitsThem) {
    EXPECT_EQ(QuoteArgument("https://x.example/A B-jiaocheng.html"), "\"https://x.example/A B-jiaocheng.html\"");
    EXPECT_EQ(QuoteArgument("a\"b"), "\"a\\\"b\"");
    EXPECT_EQ(QuoteArgument("a\\\\\"b"), "\"a\\\\\\\\\\\"b\"");       // a\\"b -> "a\\\\\"b"
    EXPECT_EQ(QuoteArgument("C:\\dir\\"), "\"C:\\dir\\\\\"");             // the closing quote stays one
    EXPECT_EQ(QuoteArgument("a\\b c"), "\"a\\b c\"");                           // inner backslashes as they are
    EXPECT_EQ(QuoteArgument("\x81\x5C\""), "\"\x81\x5C\\\"\"");             // 乗 then a quote
    EXPECT_EQ(QuoteArgument("\x81\x5C"), "\"\x81\x5C\"");                       // 乗 at the end
    EXPECT_EQ(QuoteArgument(""), "\"\"");
}

TEST(InstallWeb, ProgramPathIsTheTextBetweenTheFirstTwoQuotes) {
    EXPECT_EQ(ProgramPathFromCommand("\"C:\\Program Files\\Browser\\b.exe\" -nohome \"%1\""),
              "C:\\Program Files\\Browser\\b.exe");
    EXPECT_EQ(ProgramPathFromCommand("C:\\Browser\\b.exe %1"), "");
    EXPECT_EQ(ProgramPathFromCommand("\"C:\\Browser\\b.exe %1"), "");
    EXPECT_EQ(ProgramPathFromCommand("b.exe -- \"%1\""), "%1");
    EXPECT_EQ(ProgramPathFromCommand("\"\""), "");
}

class InstallBrowser : public ::testing::Test {
protected:
    void RegisterCommand(const std::string& command) {
        m.reg.SetString(RegRoot::LocalMachine, kHtmlOpenCommandKey, "", command);
        m.log.clear();
    }
    FakeMachine m;
};

TEST_F(InstallBrowser, StartsTheMachinesBrowserWithTheAddressAsOneQuotedArgument) {
    RegisterCommand("\"C:\\Program Files\\Browser\\b.exe\" -- \"%1\"");
    // The user's classes (and the merged view over them) are never asked.
    m.reg.SetString(RegRoot::ClassesRoot, "\\htmlfile\\shell\\open\\command", "", "\"C:\\Users\\u\\evil.exe\" %1");
    m.reg.SetString(RegRoot::CurrentUser, "\\Software\\Classes\\htmlfile\\shell\\open\\command", "",
                    "\"C:\\Users\\u\\evil.exe\" %1");
    EXPECT_TRUE(OpenInBrowser(m.reg, m.shell, "https://x.example/A \" --x\\\" y.html"));
    ASSERT_EQ(m.shell.started.size(), 1u);
    const ProcessStart& s = m.shell.started[0];
    EXPECT_EQ(s.program, "C:\\Program Files\\Browser\\b.exe");
    EXPECT_EQ(s.command_line, "\"C:\\Program Files\\Browser\\b.exe\" \"https://x.example/A \\\" --x\\\\\\\" y.html\"");
    EXPECT_EQ(s.dir, "C:\\Program Files\\Browser");
    EXPECT_EQ(s.show_cmd, kSwShow);
    EXPECT_TRUE(s.environment.empty());
    EXPECT_TRUE(m.shell.executed.empty());

    m.reg.keys.erase(testing::FakeRegistry::NormKey(RegRoot::LocalMachine, kHtmlOpenCommandKey));
    EXPECT_FALSE(OpenInBrowser(m.reg, m.shell, "https://x.example/"));
    EXPECT_EQ(m.shell.started.size(), 1u);
}

TEST_F(InstallBrowser, NoCommandOpensNothingAndCreatesNoKey) {
    EXPECT_FALSE(OpenInBrowser(m.reg, m.shell, "https://x.example/"));
    EXPECT_FALSE(m.reg.HasKey(RegRoot::LocalMachine, kHtmlOpenCommandKey));
    RegisterCommand("");
    EXPECT_FALSE(OpenInBrowser(m.reg, m.shell, "https://x.example/"));
    EXPECT_TRUE(m.shell.started.empty());
    EXPECT_TRUE(m.dialogs.boxes.empty());
}

TEST_F(InstallBrowser, CommandWithoutAQuotedFullPathStartsNothing) {
    for (const char* command : {"C:\\Browser\\b.exe %1", "\"C:\\Browser\\b.exe %1", "\"b.exe\" %1",
                                "\"Browser\\b.exe\" %1", "\"C:b.exe\" %1", "\"\\b.exe\" %1"}) {
        RegisterCommand(command);
        EXPECT_TRUE(OpenInBrowser(m.reg, m.shell, "https://x.example/")) << command;
    }
    EXPECT_TRUE(m.shell.started.empty());
    RegisterCommand("\"\\\\server\\share\\b.exe\" %1");
    EXPECT_TRUE(OpenInBrowser(m.reg, m.shell, "https://x.example/"));
    EXPECT_EQ(m.shell.started.size(), 1u);
}

TEST_F(InstallBrowser, TutorialOpensOnceOnlyWhenOnline) {
    RegisterCommand("\"C:\\b.exe\" \"%1\"");
    struct Case {
        std::optional<uint32_t> state;
        size_t opened;
    };
    const Case cases[] = {{std::nullopt, 0}, {0u, 0}, {0x10u, 0}, {0x20u, 0}, {kConnectionModem, 1},
                          {kConnectionLan, 1}, {kConnectionLan | kConnectionProxy, 1}, {0x27u, 1}};
    for (const Case& c : cases) {
        m.shell.started.clear();
        m.shell.connected = c.state;
        BPingClick(m.reg, m.shell, "ZENTA-ABC");
        ASSERT_EQ(m.shell.started.size(), c.opened) << (c.state ? *c.state : 999);
        if (c.opened) {
            EXPECT_EQ(m.shell.started[0].command_line, "\"C:\\b.exe\" \"" + kRoot + "ABC-jiaocheng.html\"");
        }
    }
}

TEST_F(InstallBrowser, AuthorWebSiteGoesThroughTheShellDefaultAction) {
    ShowAuthorWebSite(m.shell, "http://www.zenta.example/kov");
    ASSERT_EQ(m.shell.executed.size(), 1u);
    EXPECT_EQ(m.shell.executed[0].verb, "");
    EXPECT_EQ(m.shell.executed[0].file, "http://www.zenta.example/kov");
    EXPECT_EQ(m.shell.executed[0].params, "");
    EXPECT_EQ(m.shell.executed[0].show, kSwShowNormal);
    EXPECT_FALSE(m.shell.executed[0].owner);
    ShowAuthorWebSite(m.shell, "");
    EXPECT_EQ(m.shell.executed.size(), 1u);
}

TEST(InstallProcessKill, EndsEveryExactMatchOfBothNamesInOrder) {
    FakeMachine m;
    m.shell.processes = {{10, "KOV-H-Up.exe"}, {11, "ZENTA-X.exe"}, {12, "zenta-x.exe"}, {13, "ZENTA-X.exe"},
                         {14, "ZENTA-X.exe "}, {15, "ZENTA-X"}, {16, "KOV-H-Up.exe"}, {17, "explorer.exe"}};
    EndHelperPrograms(m.shell, Brand{}.end_programs);
    EXPECT_EQ(m.shell.terminated, (std::vector<uint32_t>{11, 13, 10, 16}));
    EXPECT_TRUE(m.dialogs.boxes.empty());
}

TEST(InstallProcessKill, NothingRunningDoesNothing) {
    FakeMachine m;
    m.shell.processes = {{1, "System"}, {2, "KOV-H-Up.exe.bak"}};
    KillProcessesByName(m.shell, kHelperProgramUp);
    EXPECT_TRUE(m.shell.terminated.empty());
    EXPECT_TRUE(m.log.empty());
}

}  // namespace
}  // namespace setup

// The finish actions and the deferred launcher.
#include <gtest/gtest.h>

#include "base/error.h"
#include "install/finish.h"
#include "install/site.h"
#include "install/web.h"
#include "package/setup_config.h"
#include "tests/support/fake_platform.h"

namespace setup {
namespace {

using testing::FakeMachine;
using testing::NormPath;

std::string FileText(const std::vector<uint8_t>* bytes) {
    return bytes ? std::string(bytes->begin(), bytes->end()) : "<missing>";
}

class InstallFinish : public ::testing::Test {
protected:
    InstallFinish() {
        config.SetText(TextField::ProductName, "ZENTA-KOV");
        config.SetFolder("C:\\ZENTA-KOV");
        config.SetFile(0, {"\\ZENTA-KOV.exe", 0, 1});
        config.SetFile(1, {"\\readme.txt", 1, 1});
        config.SetFile(2, {"\\Tool.exe", 2, 1});
        config.SetFile(3, {"\\..\\..\\Windows\\System32\\cmd.exe", 3, 1});
        SetShortcuts({{"ZENTA-KOV", 0, 0, ""}, {"ZENTA-KOV", 0, 1, ""}, {"Readme.txt", 1, 1, ""}});
        m.reg.SetString(RegRoot::LocalMachine, kHtmlOpenCommandKey, "", "\"C:\\Browser\\b.exe\" \"%1\"");
        m.shell.connected = kConnectionLan;
        m.log.clear();
    }
    void SetShortcuts(const std::vector<ShortcutRow>& rows) {
        for (size_t j = 0; j < rows.size(); ++j) config.SetShortcut(static_cast<int>(j), rows[j]);
        config.SetCounts(4, static_cast<int32_t>(rows.size()), 0);
    }
    std::string Batch() const { return FileText(m.fs.File("C:\\Downloads\\temp.bat")); }

    FakeMachine m;
    SetupConfig config;
    Platform p = m.platform();
};

TEST_F(InstallFinish, LauncherTextByteForByteForBlanksAndGbkNames) {
    const std::string text = LauncherBatchText({"C:\\Program Files\\\xC7\xE0\xE1\xB0 KOV\\\xD6\xF7\xB3\xCC\xD0\xF2.exe"},
                                               "C:\\Users\\\xD5\xC5\xC8\xFD\\Downloads\\temp.bat");
    EXPECT_EQ(text,
              "@echo off\r\n"
              "echoc\r\n"
              "CHOICE /T 3 /C ync /CS /D y /n \r\n"
              "echoc\r\n"
              "start \"\" \"C:\\Program Files\\\xC7\xE0\xE1\xB0 KOV\\\xD6\xF7\xB3\xCC\xD0\xF2.exe\"\r\n"
              "echoc\r\n"
              "Del \"C:\\Users\\\xD5\xC5\xC8\xFD\\Downloads\\temp.bat\"\r\n"
              "echoc\r\n"
              "exit\r\n");
    // The program's literals are GBK too: the same bytes written as text.
    EXPECT_EQ(text, LauncherBatchText({"C:\\Program Files\\青岚 KOV\\主程序.exe"}, "C:\\Users\\张三\\Downloads\\temp.bat"));
}

TEST_F(InstallFinish, PercentSignsStayLiteralInTheLauncher) {
    const std::string text = LauncherBatchText({"C:\\100%\\%PATH%.exe"}, "D:\\x%y\\temp.bat");
    EXPECT_NE(text.find("start \"\" \"C:\\100%%\\%%PATH%%.exe\"\r\n"), std::string::npos);
    EXPECT_NE(text.find("Del \"D:\\x%%y\\temp.bat\"\r\n"), std::string::npos);
}

TEST_F(InstallFinish, DefaultFinishOpensTutorialThenStartsTheLauncher) {
    RunFinishActions(config, p, {true, true, "C:\\ZENTA-KOV"});
    EXPECT_EQ(m.log, (std::vector<std::string>{"start C:\\Browser\\b.exe", "write C:\\Downloads\\temp.bat",
                                               "sleep 500", "exec open C:\\Downloads\\temp.bat"}));
    EXPECT_EQ(m.shell.started[0].command_line, "\"C:\\Browser\\b.exe\" \"" + std::string(kSiteRoot) + "jiaocheng.html\"");
    const auto& launch = m.shell.executed[0];
    EXPECT_EQ(launch.params, "");
    EXPECT_EQ(launch.dir, "");
    EXPECT_EQ(launch.show, kSwHide);
    EXPECT_TRUE(launch.owner);
    EXPECT_EQ(Batch(),
              "@echo off\r\nechoc\r\nCHOICE /T 3 /C ync /CS /D y /n \r\nechoc\r\n"
              "start \"\" \"C:\\ZENTA-KOV\\ZENTA-KOV.exe\"\r\nechoc\r\n"
              "Del \"C:\\Downloads\\temp.bat\"\r\nechoc\r\nexit\r\n");
}

TEST_F(InstallFinish, ClearedStartBoxExploresTheFolderAndWritesNoLauncher) {
    RunFinishActions(config, p, {false, false, "D:\\Apps\\ZENTA-KOV"});
    ASSERT_EQ(m.shell.executed.size(), 1u);
    const auto& e = m.shell.executed[0];
    EXPECT_EQ(e.verb, "explore");
    EXPECT_EQ(e.file, "D:\\Apps\\ZENTA-KOV");
    EXPECT_EQ(e.params, "");
    EXPECT_EQ(e.dir, "D:\\Apps\\");
    EXPECT_EQ(e.show, kSwShowNormal);
    EXPECT_FALSE(e.owner);
    EXPECT_EQ(m.fs.File("C:\\Downloads\\temp.bat"), nullptr);
    EXPECT_TRUE(m.shell.sleeps.empty());
}

TEST_F(InstallFinish, TutorialOnlyWhenItsBoxIsChecked) {
    RunFinishActions(config, p, {false, true, "C:\\ZENTA-KOV"});
    ASSERT_EQ(m.shell.executed.size(), 1u);
    EXPECT_EQ(m.shell.executed[0].file, "C:\\Downloads\\temp.bat");
}

TEST_F(InstallFinish, NoMainProgramWritesAndStartsNothing) {
    SetShortcuts({{"Readme.txt", 1, 1, ""}, {"Far", 300, 0, ""}});
    RunFinishActions(config, p, {false, true, "C:\\ZENTA-KOV"});
    EXPECT_TRUE(m.log.empty());
    EXPECT_TRUE(m.shell.executed.empty());
    SetShortcuts({});
    StartInstalledProgram(config, p);
    EXPECT_TRUE(m.log.empty());
}

TEST_F(InstallFinish, SeveralMainProgramsShareOneLauncher) {
    SetShortcuts({{"Tool", 2, 2, ""}, {"Readme.txt", 1, 1, ""}, {"ZENTA-KOV", 0, 0, ""},
                  {"Again", 2, 0, ""}, {"Escape", 3, 0, ""}, {"Far", 256, 2, ""}});
    StartInstalledProgram(config, p);
    EXPECT_EQ(Batch(),
              "@echo off\r\nechoc\r\nCHOICE /T 3 /C ync /CS /D y /n \r\nechoc\r\n"
              "start \"\" \"C:\\ZENTA-KOV\\Tool.exe\"\r\nechoc\r\n"
              "start \"\" \"C:\\ZENTA-KOV\\ZENTA-KOV.exe\"\r\nechoc\r\n"
              "Del \"C:\\Downloads\\temp.bat\"\r\nechoc\r\nexit\r\n");
    EXPECT_EQ(m.shell.sleeps, std::vector<uint32_t>{500});
    EXPECT_EQ(m.shell.executed.size(), 1u);
    EXPECT_EQ(std::count(m.log.begin(), m.log.end(), "write C:\\Downloads\\temp.bat"), 1);
}

TEST_F(InstallFinish, LauncherIsWrittenFreshOverAnOldFile) {
    m.fs.AddFile("C:\\Downloads\\temp.bat", "@echo off\r\nformat c:\r\n");
    StartInstalledProgram(config, p);
    EXPECT_EQ(Batch().find("format"), std::string::npos);
    EXPECT_EQ(Batch().rfind("exit\r\n"), Batch().size() - 6);
}

TEST_F(InstallFinish, LauncherThatCannotBeWrittenRaisesAndStartsNothing) {
    m.fs.AddDirTree("C:\\Downloads\\temp.bat");  // a folder squatting on the name
    try {
        RunFinishActions(config, p, {true, true, "C:\\ZENTA-KOV"});
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.text().rfind("Cannot create file \"C:\\Downloads\\temp.bat\". ", 0), 0u) << e.text();
    }
    ASSERT_EQ(m.shell.started.size(), 1u);  // the tutorial had opened
    EXPECT_TRUE(m.shell.executed.empty());
    EXPECT_TRUE(m.shell.sleeps.empty());

    FakeMachine full;
    full.fs.disk_full = true;
    Platform fp = full.platform();
    try {
        StartInstalledProgram(config, fp);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.text(), "Cannot write file \"C:\\Downloads\\temp.bat\". There is not enough space on the disk");
    }
    EXPECT_TRUE(full.shell.executed.empty());
}

TEST_F(InstallFinish, LauncherPathAddsTheSeparatorWhenMissing) {
    m.fs.module_folder = "E:\\Setup";
    EXPECT_EQ(LauncherPath(m.fs), "E:\\Setup\\temp.bat");
    m.fs.module_folder = "E:\\";
    EXPECT_EQ(LauncherPath(m.fs), "E:\\temp.bat");
}

}  // namespace
}  // namespace setup

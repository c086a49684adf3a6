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

    FakeMachine m;
    SetupConfig config;
    Platform p = m.platform();
};

const std::string kLauncher = "C:\\Windows\\Temp\\ZENTA-launch-1\\temp.bat";

std::string Env(const ProcessStart& start, const std::string& name) {
    for (const auto& [n, v] : start.environment)
        if (n == name) return v;
    return "<unset>";
}

TEST_F(InstallFinish, HostilePathsReachTheLauncherOnlyThroughItsEnvironment) {
    const std::vector<std::string> targets = {"C:\\100%\\%PATH%\\a&b^c!d!\\\xC7\xE0\xE1\xB0 \x81\x5C.exe",
                                              "D:\\x.exe"};
    const ProcessStart start = LauncherStart(targets, "C:\\Win%x%\\Temp\\L 1\\temp.bat", "C:\\Windows\\System32");
    // The paths, byte for byte, as variables; a program at a drive's root starts in that root.
    EXPECT_EQ(Env(start, "ZS_PROGRAM_1"), targets[0]);
    EXPECT_EQ(Env(start, "ZS_FOLDER_1"), "C:\\100%\\%PATH%\\a&b^c!d!");
    EXPECT_EQ(Env(start, "ZS_PROGRAM_2"), "D:\\x.exe");
    EXPECT_EQ(Env(start, "ZS_FOLDER_2"), "D:\\.");
    EXPECT_EQ(Env(start, "ZS_LAUNCHER"), "C:\\Win%x%\\Temp\\L 1\\temp.bat");
    EXPECT_EQ(Env(start, "ZS_LAUNCHER_DIR"), "C:\\Win%x%\\Temp\\L 1");
    EXPECT_EQ(Env(start, "ZS_CHOICE"), "C:\\Windows\\System32\\choice.exe");
    // The command processor by its full path, in the system folder, with no AutoRun and the
    // expansion rules fixed; the command line itself holds no path but its own.
    EXPECT_EQ(start.program, "C:\\Windows\\System32\\cmd.exe");
    EXPECT_EQ(start.dir, "C:\\Windows\\System32");
    EXPECT_EQ(start.show_cmd, kSwHide);
    EXPECT_EQ(start.command_line,
              "\"C:\\Windows\\System32\\cmd.exe\" /d /e:on /v:on /s /c \"call \"!ZS_LAUNCHER!\" & "
              "del \"!ZS_LAUNCHER!\" & rd \"!ZS_LAUNCHER_DIR!\"\"");
    // The batch is ASCII whatever the paths: every OEM code page reads it the same.
    EXPECT_EQ(LauncherBatchText(2),
              "@echo off\r\n"
              "\"!ZS_CHOICE!\" /T 3 /C ync /CS /D y /n \r\n"
              "start \"\" /d \"!ZS_FOLDER_1!\" \"!ZS_PROGRAM_1!\"\r\n"
              "start \"\" /d \"!ZS_FOLDER_2!\" \"!ZS_PROGRAM_2!\"\r\n");
}

TEST_F(InstallFinish, DefaultFinishOpensTutorialThenStartsTheLauncherFromAPrivateFolder) {
    m.fs.AddFile("C:\\Downloads\\temp.bat", "@echo off\r\nformat c:\r\n");
    RunFinishActions(config, p, {true, true, "C:\\ZENTA-KOV"});
    EXPECT_EQ(m.log, (std::vector<std::string>{"start C:\\Browser\\b.exe",
                                               "mkdir-private C:\\Windows\\Temp\\ZENTA-launch-1",
                                               "write " + kLauncher, "sleep 500",
                                               "start C:\\Windows\\System32\\cmd.exe"}));
    EXPECT_TRUE(m.fs.private_dirs.count("c:\\windows\\temp\\zenta-launch-1"));
    EXPECT_EQ(FileText(m.fs.File(kLauncher)), LauncherBatchText(1));
    const ProcessStart& launch = m.shell.started[1];
    EXPECT_EQ(Env(launch, "ZS_LAUNCHER"), kLauncher);
    EXPECT_EQ(Env(launch, "ZS_PROGRAM_1"), "C:\\ZENTA-KOV\\ZENTA-KOV.exe");
    EXPECT_EQ(Env(launch, "ZS_FOLDER_1"), "C:\\ZENTA-KOV");
    // Whatever lies beside the setup is neither written nor started.
    EXPECT_EQ(FileText(m.fs.File("C:\\Downloads\\temp.bat")), "@echo off\r\nformat c:\r\n");
    EXPECT_TRUE(m.shell.executed.empty());
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
    EXPECT_TRUE(m.fs.private_dirs.empty());
    EXPECT_TRUE(m.shell.started.empty());
    EXPECT_TRUE(m.shell.sleeps.empty());
}

TEST_F(InstallFinish, TutorialOnlyWhenItsBoxIsChecked) {
    RunFinishActions(config, p, {false, true, "C:\\ZENTA-KOV"});
    ASSERT_EQ(m.shell.started.size(), 1u);
    EXPECT_EQ(m.shell.started[0].program, "C:\\Windows\\System32\\cmd.exe");
}

TEST_F(InstallFinish, NoMainProgramWritesAndStartsNothing) {
    SetShortcuts({{"Readme.txt", 1, 1, ""}, {"Far", 300, 0, ""}});
    RunFinishActions(config, p, {false, true, "C:\\ZENTA-KOV"});
    EXPECT_TRUE(m.log.empty());
    SetShortcuts({});
    StartInstalledProgram(config, p);
    EXPECT_TRUE(m.log.empty());
}

TEST_F(InstallFinish, SeveralMainProgramsShareOneLauncher) {
    SetShortcuts({{"Tool", 2, 2, ""}, {"Readme.txt", 1, 1, ""}, {"ZENTA-KOV", 0, 0, ""},
                  {"Again", 2, 0, ""}, {"Escape", 3, 0, ""}, {"Far", 256, 2, ""}});
    StartInstalledProgram(config, p);
    EXPECT_EQ(FileText(m.fs.File(kLauncher)), LauncherBatchText(2));
    ASSERT_EQ(m.shell.started.size(), 1u);
    EXPECT_EQ(Env(m.shell.started[0], "ZS_PROGRAM_1"), "C:\\ZENTA-KOV\\Tool.exe");
    EXPECT_EQ(Env(m.shell.started[0], "ZS_PROGRAM_2"), "C:\\ZENTA-KOV\\ZENTA-KOV.exe");
    EXPECT_EQ(Env(m.shell.started[0], "ZS_PROGRAM_3"), "<unset>");
    EXPECT_EQ(m.shell.sleeps, std::vector<uint32_t>{500});
}

TEST_F(InstallFinish, LauncherThatCannotBeMadeRaisesAndLeavesNothing) {
    m.fs.unwritable_dirs.insert("c:\\windows\\temp");
    try {
        RunFinishActions(config, p, {true, true, "C:\\ZENTA-KOV"});
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.text(), "Cannot create file \"C:\\Windows\\Temp\\temp.bat\". Access denied");
    }
    ASSERT_EQ(m.shell.started.size(), 1u);  // the tutorial had opened
    EXPECT_TRUE(m.shell.sleeps.empty());

    FakeMachine full;
    full.fs.disk_full = true;
    Platform fp = full.platform();
    try {
        StartInstalledProgram(config, fp);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.text(), "Cannot write file \"" + kLauncher + "\". There is not enough space on the disk");
    }
    EXPECT_TRUE(full.shell.started.empty());
    EXPECT_TRUE(full.fs.private_dirs.empty());

    // A command processor that cannot be started takes its batch and folder with it.
    FakeMachine refused;
    refused.shell.start_fails = true;
    Platform rp = refused.platform();
    StartInstalledProgram(config, rp);
    EXPECT_EQ(refused.fs.File(kLauncher), nullptr);
    EXPECT_TRUE(refused.fs.private_dirs.empty());
}

}  // namespace
}  // namespace setup

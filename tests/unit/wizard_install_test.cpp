// The wizard with the real installation engine on the fake machine: what Next on the ready
// page installs, how the copying page is driven, the helper programs ended on every Next,
// the finish actions, and a second start that finds the installation.
#include <gtest/gtest.h>

#include <algorithm>

#include "install/run.h"
#include "tests/unit/wizard_fakes.h"
#include "wizard/texts.h"

namespace setup::testing {
namespace {

PackageSpec TwoFiles() {
    PackageSpec package;
    package.payload = {'a', 'b', 'c', 'd', 'e'};
    package.files = {{"\\a.txt", 0, 2}, {"\\sub\\b.txt", 2, 3}};
    package.shortcuts = {{"ZENTA-KOV", 0, 0, ""}};
    return package;
}

struct Installed : WizardRig {
    Installed() : WizardRig(TwoFiles(), true, Engine::Real) {
        Start();
        WalkTo(kPageFinished);
    }
};

std::string Text(const std::vector<uint8_t>* bytes) {
    return bytes ? std::string(bytes->begin(), bytes->end()) : "<missing>";
}

TEST(WizardInstall, NextOnTheReadyPageInstallsIntoTheAcceptedFolder) {
    Installed r;
    ASSERT_EQ(r.wizard->ActivePage(), kPageFinished);
    EXPECT_TRUE(r.m.dialogs.errors.empty());
    EXPECT_EQ(Text(r.m.fs.File("D:\\ZENTA-KOV\\a.txt")), "ab");
    EXPECT_EQ(Text(r.m.fs.File("D:\\ZENTA-KOV\\sub\\b.txt")), "cde");
    EXPECT_NE(r.m.fs.File("D:\\ZENTA-KOV\\Z_ta.cx"), nullptr);
    const auto* setup = r.m.reg.Find(RegRoot::LocalMachine, "\\Software\\ZENTA\\ZENTA-KOV", "Setup");
    ASSERT_NE(setup, nullptr);
    EXPECT_EQ(setup->dword, 1u);
    EXPECT_FALSE(r.state->Installing);
}

TEST(WizardInstall, TheRunDrivesTheCopyingPage) {
    Installed r;
    EXPECT_EQ(r.ctl(Ctl::WorkLb).caption, kStatusShortcuts);
    EXPECT_EQ(r.ctl(Ctl::WorkLb).width, 300);
    EXPECT_EQ(r.ctl(Ctl::FNameLb).caption, "D:\\ZENTA-KOV\\sub\\b.txt");
    EXPECT_EQ(r.ctl(Ctl::FNameLb).width, 300);
    EXPECT_FALSE(r.ctl(Ctl::FNameLb).visible);
    EXPECT_EQ(r.ctl(Ctl::CopyProgress).bar_color, 0x0099FFu);
    EXPECT_EQ(r.ctl(Ctl::CopyProgress).progress, 50);  // the second of two rows: 1 * 100 / 2
    // The run hides the headings when it ends: the finished page shows none.
    EXPECT_FALSE(r.ctl(Ctl::Label8).visible);
    EXPECT_FALSE(r.ctl(Ctl::Label12).visible);
    EXPECT_EQ(r.ctl(Ctl::Label8).caption, "安装完毕");
}

TEST(WizardInstall, EveryNextEndsTheHelperProgramsByExactName) {
    WizardRig r(TwoFiles(), true, WizardRig::Engine::Real);
    r.m.shell.processes = {{7, "ZENTA-X.exe"}, {8, "zenta-x.exe"}, {9, "KOV-H-Up.exe"}, {10, "other.exe"}};
    r.Start();
    EXPECT_TRUE(r.m.shell.terminated.empty());  // not at start-up
    r.Next();
    EXPECT_EQ(r.m.shell.terminated, (std::vector<uint32_t>{7, 9}));
    r.Back();
    EXPECT_EQ(r.m.shell.terminated.size(), 2u);  // Back ends nothing
    r.Next();
    EXPECT_EQ(r.m.shell.terminated, (std::vector<uint32_t>{7, 9, 7, 9}));
}

TEST(WizardInstall, FinishStartsTheProgramThroughTheLauncher) {
    Installed r;
    r.Cancel();
    EXPECT_TRUE(r.wizard->Terminated());
    EXPECT_NE(r.m.fs.File("C:\\Windows\\Temp\\ZENTA-launch-1\\temp.bat"), nullptr);
    ASSERT_FALSE(r.m.shell.started.empty());
    const ProcessStart& launch = r.m.shell.started.back();
    EXPECT_EQ(launch.program, "C:\\Windows\\System32\\cmd.exe");
    EXPECT_EQ(launch.show_cmd, kSwHide);
    EXPECT_NE(std::find(launch.environment.begin(), launch.environment.end(),
                        std::pair<std::string, std::string>("ZS_PROGRAM_1", "D:\\ZENTA-KOV\\a.txt")),
              launch.environment.end());
}

TEST(WizardInstall, FinishWithoutStartingOpensTheFolderAndWritesNoLauncher) {
    Installed r;
    r.view.controls[Ctl::CheckBoxG].checked = false;
    r.Cancel();
    EXPECT_TRUE(r.m.fs.private_dirs.empty());
    ASSERT_EQ(r.m.shell.executed.size(), 1u);
    EXPECT_EQ(r.m.shell.executed[0].verb, "explore");
    EXPECT_EQ(r.m.shell.executed[0].file, "D:\\ZENTA-KOV");
    EXPECT_EQ(r.m.shell.executed[0].dir, "D:\\");
}

// A run that stops on an error shows it, then the finished page says the installation did
// not complete, lists what is missing, and "完成" ends the program.
TEST(WizardInstall, FailedRunIsShownAndTheFinishedPageSaysSo) {
    WizardRig r(TwoFiles(), true, WizardRig::Engine::Real);
    r.m.reg.denied.insert(FakeRegistry::NormKey(RegRoot::LocalMachine, "\\Software\\ZENTA"));
    r.Start();
    r.WalkTo(kPageReady);
    r.Next();
    ASSERT_EQ(r.m.dialogs.errors.size(), 1u);
    EXPECT_NE(r.m.dialogs.errors[0].find("Site"), std::string::npos) << r.m.dialogs.errors[0];
    EXPECT_EQ(r.wizard->ActivePage(), kPageFinished);
    EXPECT_FALSE(r.state->Installing);
    EXPECT_EQ(r.ctl(Ctl::Label4).caption, "安装未完成！有 1 项未能写入。");
    EXPECT_TRUE(r.ctl(Ctl::FailuresLb).visible);
    EXPECT_TRUE(r.ctl(Ctl::CheckBoxG).enabled);  // the main program was written
    r.wizard->FailuresLbClick();
    ASSERT_EQ(r.m.dialogs.boxes.size(), 1u);
    EXPECT_EQ(r.m.dialogs.boxes[0].text, "下列项目未能写入：\r\n" + r.m.dialogs.errors[0]);
    r.Cancel();
    EXPECT_TRUE(r.wizard->Terminated());
}

// The main program not written: "启动 ..." is cleared and cannot be chosen; a clean run leaves
// the page as it is.
TEST(WizardInstall, MissingMainProgramCannotBeStarted) {
    WizardRig clean(TwoFiles(), true, WizardRig::Engine::Real);
    clean.Start();
    clean.WalkTo(kPageFinished);
    EXPECT_EQ(clean.ctl(Ctl::Label4).caption, "安装成功! 感谢您使用青岚护卫！");
    EXPECT_FALSE(clean.ctl(Ctl::FailuresLb).visible);
    EXPECT_TRUE(clean.ctl(Ctl::CheckBoxG).checked);

    WizardRig r(TwoFiles(), true, WizardRig::Engine::Real);
    r.Start();
    r.m.fs.disk_full = true;
    r.WalkTo(kPageFinished);
    EXPECT_EQ(r.wizard->ActivePage(), kPageFinished);
    EXPECT_FALSE(r.ctl(Ctl::CheckBoxG).checked);
    EXPECT_FALSE(r.ctl(Ctl::CheckBoxG).enabled);
    EXPECT_TRUE(r.ctl(Ctl::FailuresLb).visible);
}

TEST(WizardInstall, SecondStartFindsTheInstallation) {
    Installed first;
    first.view.controls[Ctl::CheckBoxG].checked = false;
    first.Cancel();
    // The same machine, a new run of the program.
    FakeView view(first.m.log);
    Wizard again(first.m.platform(), view);
    first.m.dialogs.answers = {kIdYes};
    again.FormCreate();
    again.FormShow();
    ASSERT_FALSE(first.m.dialogs.boxes.empty());
    EXPECT_EQ(first.m.dialogs.boxes.back().text, texts::kOverwriteQuestion);
    EXPECT_TRUE(again.State().AlreadyInstalled);
    EXPECT_EQ(again.State().Config.Folder(), "D:\\ZENTA-KOV");
}

}  // namespace
}  // namespace setup::testing

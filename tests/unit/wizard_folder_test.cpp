// The folder page: validation, creation and the browse button.
#include <gtest/gtest.h>

#include "tests/unit/wizard_fakes.h"
#include "wizard/folder.h"
#include "wizard/texts.h"

namespace setup::testing {
namespace {

struct OnFolderPage : WizardRig {
    OnFolderPage() {
        Start();
        WalkTo(kPageFolder);
        m.log.clear();
    }
    // Types `text` and presses Next; returns the message shown (empty when none).
    std::string Submit(const std::string& text) {
        SetFolderText(text);
        m.dialogs.boxes.clear();
        Next();
        if (m.dialogs.boxes.empty()) return {};
        EXPECT_EQ(m.dialogs.boxes.size(), 1u);
        EXPECT_EQ(m.dialogs.boxes[0].title, " ZENTA");
        EXPECT_EQ(m.dialogs.boxes[0].flags, 48u);
        return m.dialogs.boxes[0].text;
    }
};

TEST(WizardFolder, FolderPageShowsTheStartUpFolder) {
    OnFolderPage r;
    EXPECT_EQ(r.ctl(Ctl::FolderEd).caption, "D:\\ZENTA-KOV");
}

TEST(WizardFolder, EmptyTextAsksForAFolder) {
    OnFolderPage r;
    EXPECT_EQ(r.Submit(""), "  提示：请选择目标文件夹！     ");
    EXPECT_EQ(r.Submit(" \t "), texts::kSelectFolder);
    EXPECT_EQ(r.ctl(Ctl::FolderEd).caption, "");  // the trimmed text is written back
    EXPECT_EQ(r.wizard->ActivePage(), kPageFolder);
}

TEST(WizardFolder, WithoutDriveColonAsksForAFullPath) {
    OnFolderPage r;
    for (std::string text : {"D", "Apps", "\\Apps\\X", "DD:\\x", "\\\\server\\share\\x", "C:relfolder", "D:/x", "1:\\x"}) {
        EXPECT_EQ(r.Submit(text), "必须指定完全路径!\r\n比如:\r\nC:\\ZENTA-Y") << text;
        EXPECT_EQ(r.wizard->ActivePage(), kPageFolder);
    }
}

TEST(WizardFolder, DriveRootIsRefused) {
    OnFolderPage r;
    for (std::string text : {"D:", "D:\\", " D:\\ ", "D:/"}) {
        EXPECT_EQ(r.Submit(text), "  提示：不能安装到驱动器的根目录下!  ") << text;
        EXPECT_EQ(r.wizard->ActivePage(), kPageFolder);
    }
    for (const auto& entry : r.m.log) EXPECT_NE(entry.rfind("mkdir", 0), 0u) << entry;
}

TEST(WizardFolder, TrimmedFolderIsCreatedAndAccepted) {
    OnFolderPage r;
    EXPECT_EQ(r.Submit(" D:\\Apps\\X \r\n"), "");
    EXPECT_EQ(r.ctl(Ctl::FolderEd).caption, "D:\\Apps\\X");
    EXPECT_TRUE(r.m.fs.DirectoryExists("D:\\Apps\\X"));
    EXPECT_EQ(r.state->Config.Folder(), "D:\\Apps\\X");
    EXPECT_EQ(r.wizard->ActivePage(), kPageReady);
    EXPECT_EQ(r.ctl(Ctl::FolderLb).caption, "D:\\Apps\\X");
    EXPECT_EQ(r.ctl(Ctl::FolderLb).width, 200);
    // Each missing level was made, left to right, after the two kills.
    const std::vector<std::string> expected = {"end helpers", "mkdir D:\\Apps\\",
                                               "mkdir D:\\Apps\\X", "page 3"};
    EXPECT_EQ(r.m.log, expected);
}

TEST(WizardFolder, ExistingFolderIsAcceptedWithoutCreating) {
    OnFolderPage r;
    r.m.fs.AddDirTree("C:\\Program Files\\ZENTA-KOV");
    EXPECT_EQ(r.Submit("C:\\Program Files\\ZENTA-KOV"), "");
    EXPECT_EQ(r.state->Config.Folder(), "C:\\Program Files\\ZENTA-KOV");
    for (const auto& entry : r.m.log) EXPECT_NE(entry.rfind("mkdir", 0), 0u) << entry;
}

TEST(WizardFolder, CreationFailureStaysOnThePage) {
    OnFolderPage r;
    r.m.fs.unwritable_dirs.insert(NormPath("D:\\Locked\\b"));
    EXPECT_EQ(r.Submit("D:\\Locked\\b\\c"), "  提示：创建子文件夹失败！         ");
    EXPECT_EQ(r.wizard->ActivePage(), kPageFolder);
    EXPECT_EQ(r.state->Config.Folder(), "D:\\ZENTA-KOV");
    EXPECT_TRUE(r.m.fs.DirectoryExists("D:\\Locked"));  // levels before the failure stay
    EXPECT_FALSE(r.m.fs.DirectoryExists("D:\\Locked\\b\\c"));
}

TEST(WizardFolder, MissingDriveFailsCreation) {
    OnFolderPage r;
    EXPECT_EQ(r.Submit("Q:\\Apps"), texts::kCreateFolderFailed);
    EXPECT_EQ(r.wizard->ActivePage(), kPageFolder);
}

TEST(WizardFolder, FolderLongerThan128BytesIsRefusedAndNothingIsCreated) {
    OnFolderPage r;
    const std::string at_limit = "D:\\" + std::string(125, 'a');  // 128 bytes
    const std::string too_long = "D:\\" + std::string(126, 'a');  // 129 bytes
    EXPECT_EQ(r.Submit(too_long), "  提示：目标文件夹路径太长，请选择较短的路径！  ");
    EXPECT_EQ(r.wizard->ActivePage(), kPageFolder);
    EXPECT_FALSE(r.m.fs.DirectoryExists(too_long));
    for (const auto& entry : r.m.log) EXPECT_NE(entry.rfind("mkdir", 0), 0u) << entry;
    // Even one that already exists: the installation would go into its cut form.
    r.m.fs.AddDirTree(too_long);
    EXPECT_EQ(r.Submit(too_long), texts::kFolderTooLong);
    EXPECT_EQ(r.state->Config.Folder(), "D:\\ZENTA-KOV");

    EXPECT_EQ(r.Submit(at_limit), "");
    EXPECT_EQ(r.state->Config.Folder(), at_limit);
    EXPECT_EQ(r.wizard->ActivePage(), kPageReady);
}

TEST(WizardFolder, ReturningShowsTheFolderLastAccepted) {
    OnFolderPage r;
    EXPECT_EQ(r.Submit("D:\\Apps\\X"), "");
    r.Back();
    EXPECT_EQ(r.ctl(Ctl::FolderEd).caption, "D:\\Apps\\X");
    r.SetFolderText("D:\\typed but not confirmed");
    r.Back();
    r.Next();
    EXPECT_EQ(r.ctl(Ctl::FolderEd).caption, "D:\\Apps\\X");
    EXPECT_FALSE(r.m.fs.DirectoryExists("D:\\typed but not confirmed"));
}

TEST(WizardFolder, BrowseFillsTheBoxButNotTheFolder) {
    OnFolderPage r;
    r.m.dialogs.browse_result = "E:\\";
    r.wizard->suiImageButton1Click();
    EXPECT_EQ(r.m.dialogs.browse_titles, (std::vector<std::string>{"选择安装目标文件夹"}));
    EXPECT_EQ(r.ctl(Ctl::FolderEd).caption, "E:\\ZENTA-KOV");
    r.m.dialogs.browse_result = "E:\\Tools";
    r.wizard->suiImageButton1Click();
    EXPECT_EQ(r.ctl(Ctl::FolderEd).caption, "E:\\Tools\\ZENTA-KOV");
    EXPECT_EQ(r.state->Config.Folder(), "D:\\ZENTA-KOV");
    r.m.dialogs.browse_result = "";  // cancelled
    r.wizard->suiImageButton1Click();
    EXPECT_EQ(r.ctl(Ctl::FolderEd).caption, "E:\\Tools\\ZENTA-KOV");
}

TEST(WizardFolder, BrowsedFolderText) {
    EXPECT_EQ(BrowsedFolderText("E:\\", "X"), "E:\\X");
    EXPECT_EQ(BrowsedFolderText("E:\\Tools", "X"), "E:\\Tools\\X");
    EXPECT_EQ(BrowsedFolderText("E:\\T", "X"), "E:\\T\\X");
}

}  // namespace
}  // namespace setup::testing

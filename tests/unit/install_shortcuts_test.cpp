// Shortcut files and the shell folders they go to.
#include <gtest/gtest.h>

#include "base/error.h"
#include "install/shortcuts.h"
#include "tests/support/fake_platform.h"

namespace setup {
namespace {

using testing::FakeMachine;
using testing::FakeRegistry;
using testing::NormPath;

const std::string kDesktop = FakeMachine::kDesktop;
const std::string kPrograms = FakeMachine::kPrograms;

class InstallShortcuts : public ::testing::Test {
protected:
    FakeMachine m;
    Platform p = m.platform();
};

TEST_F(InstallShortcuts, ShellFoldersAreReadAndNeverCreated) {
    EXPECT_EQ(GetDesktopFolder(m.reg), kDesktop);
    EXPECT_EQ(GetProgramsFolder(m.reg), kPrograms);
    m.reg.keys.clear();
    EXPECT_EQ(GetDesktopFolder(m.reg), "");
    EXPECT_EQ(GetProgramsFolder(m.reg), "");
    EXPECT_FALSE(m.reg.HasKey(RegRoot::CurrentUser, kShellFoldersKey));
}

TEST_F(InstallShortcuts, LinkFieldsFollowTheTarget) {
    CreateShortcutFile(m.shell, "C:\\ZENTA-KOV\\ZENTA-KOV.exe", "Readme.txt", "C:\\Links", "-a b");
    const ShellLinkFields& f = m.shell.links.at(NormPath("C:\\Links\\Readme.txt.lnk"));
    EXPECT_EQ(f.target, "C:\\ZENTA-KOV\\ZENTA-KOV.exe");
    EXPECT_EQ(f.arguments, "-a b");
    EXPECT_EQ(f.icon_path, "C:\\ZENTA-KOV\\ZENTA-KOV.exe");
    EXPECT_EQ(f.icon_index, 0);
    EXPECT_EQ(f.working_dir, "C:\\ZENTA-KOV\\");
}

TEST_F(InstallShortcuts, LinkNamesThatAreNotPlainFileNamesAreSkipped) {
    for (const char* name : {"..\\..\\Windows\\x", "sub\\x", "a/b", "C:x", "..", "", "CON", "x.", "a|b"})
        CreateShortcutFile(m.shell, "C:\\T\\t.exe", name, "C:\\Links", "");
    EXPECT_TRUE(m.shell.links.empty());
    CreateShortcutFile(m.shell, "C:\\T\\t.exe", "卸载 ZENTA-KOV", "C:\\Links", "");
    EXPECT_EQ(m.shell.links.count(NormPath("C:\\Links\\卸载 ZENTA-KOV.lnk")), 1u);
}

TEST_F(InstallShortcuts, DesktopShortcutNeedsAnExistingDesktopFolder) {
    CreateDesktopShortcut(p, "C:\\T\\t.exe", "T", "");
    EXPECT_EQ(m.shell.links.count(NormPath(kDesktop + "\\T.lnk")), 1u);
    m.shell.links.clear();
    m.fs.dirs.erase(NormPath(kDesktop));
    CreateDesktopShortcut(p, "C:\\T\\t.exe", "T", "");
    m.reg.keys.clear();
    CreateDesktopShortcut(p, "C:\\T\\t.exe", "T", "");
    EXPECT_TRUE(m.shell.links.empty());
    EXPECT_TRUE(m.dialogs.boxes.empty());
}

TEST_F(InstallShortcuts, GroupShortcutMakesOrReusesTheGroupAndStaysInIt) {
    CreateGroupShortcut(p, "ZENTA-KOV", "C:\\T\\t.exe", "T", "");
    EXPECT_EQ(m.log, (std::vector<std::string>{"cd " + kPrograms, "mkdir " + kPrograms + "\\ZENTA-KOV",
                                               "cd " + kPrograms + "\\ZENTA-KOV",
                                               "link " + kPrograms + "\\ZENTA-KOV\\T.lnk"}));
    m.log.clear();
    CreateGroupShortcut(p, "ZENTA-KOV", "C:\\T\\u.exe", "T", "");  // same group, same link name
    EXPECT_EQ(m.log, (std::vector<std::string>{"cd " + kPrograms, "cd " + kPrograms + "\\ZENTA-KOV",
                                               "link " + kPrograms + "\\ZENTA-KOV\\T.lnk"}));
    EXPECT_EQ(m.shell.links.at(NormPath(kPrograms + "\\ZENTA-KOV\\T.lnk")).target, "C:\\T\\u.exe");
    EXPECT_EQ(m.fs.current_dir, kPrograms + "\\ZENTA-KOV");
}

TEST_F(InstallShortcuts, GroupThatCannotBeEnteredRaises) {
    m.fs.unwritable_dirs.insert(NormPath(kPrograms + "\\Locked"));
    EXPECT_THROW(
        {
            try {
                CreateGroupShortcut(p, "Locked", "C:\\T\\t.exe", "T", "");
            } catch (const Error& e) {
                EXPECT_EQ(e.text(), "Cannot create folder \"" + kPrograms + "\\Locked\"");
                throw;
            }
        },
        Error);
    // A group name that would leave Programs is refused the same way, and nothing is made.
    EXPECT_THROW(CreateGroupShortcut(p, "..\\..\\Evil", "C:\\T\\t.exe", "T", ""), Error);
    EXPECT_THROW(CreateGroupShortcut(p, "a<b", "C:\\T\\t.exe", "T", ""), Error);
    EXPECT_TRUE(m.shell.links.empty());
    for (const auto& line : m.log) EXPECT_NE(line.rfind("mkdir", 0), 0u) << line;
}

TEST_F(InstallShortcuts, EmptyGroupPutsTheLinkIntoPrograms) {
    CreateGroupShortcut(p, "", "C:\\T\\t.exe", "T", "");
    EXPECT_EQ(m.shell.links.count(NormPath(kPrograms + "\\T.lnk")), 1u);
}

TEST_F(InstallShortcuts, MissingProgramsFolderMakesNothing) {
    m.reg.keys[FakeRegistry::NormKey(RegRoot::CurrentUser, kShellFoldersKey)].erase("programs");
    CreateGroupShortcut(p, "ZENTA-KOV", "C:\\T\\t.exe", "T", "");
    EXPECT_TRUE(m.log.empty());
}

TEST_F(InstallShortcuts, ComFailureIsSilentAndObjectFailureRaises) {
    m.shell.link_result = Shell::LinkResult::kComFailed;
    CreateDesktopShortcut(p, "C:\\T\\t.exe", "T", "");
    EXPECT_TRUE(m.shell.links.empty());
    m.shell.link_result = Shell::LinkResult::kObjectFailed;
    try {
        CreateDesktopShortcut(p, "C:\\T\\t.exe", "T", "");
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.text(), "Cannot create the shell link \"" + kDesktop + "\\T.lnk\"");
    }
}

}  // namespace
}  // namespace setup

// Start-up of the wizard: default drive, earlier installation, target folder, the two
// start-up questions and start-up failures.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/unit/wizard_fakes.h"
#include "wizard/texts.h"

namespace setup::testing {
namespace {

const char kInstallKey[] = "\\Software\\ZENTA\\ZENTA-KOV";

void RegisterEarlier(FakeRegistry& reg, uint32_t setup, const std::string& folder) {
    reg.SetDword(RegRoot::LocalMachine, kInstallKey, "Setup", setup);
    reg.SetString(RegRoot::LocalMachine, kInstallKey, "Folder", folder);
}

TEST(WizardStartup, FreshMachineWithDriveD) {
    WizardRig r;
    r.Start();
    EXPECT_FALSE(r.wizard->Terminated());
    EXPECT_EQ(r.state->DefaultDrive, "D:\\");
    EXPECT_EQ(r.ctl(Ctl::LabelPF).caption, "D:\\");
    EXPECT_EQ(r.state->Config.Folder(), "D:\\ZENTA-KOV");
    EXPECT_EQ(r.state->ProductKey, "\\Software\\ZENTA");
    EXPECT_EQ(r.state->InstallKey, kInstallKey);
    EXPECT_FALSE(r.state->AlreadyInstalled);
    EXPECT_EQ(r.state->OldFolder, "");
    // Starting alone leaves the (empty) product key behind.
    EXPECT_TRUE(r.m.reg.HasKey(RegRoot::LocalMachine, kInstallKey));
    EXPECT_TRUE(r.m.dialogs.boxes.empty());
    EXPECT_TRUE(r.m.dialogs.errors.empty());
    ASSERT_TRUE(r.state->PayloadStream.has_value());
    EXPECT_EQ(r.state->PayloadStream->size(), 5u);
    EXPECT_EQ(r.wizard->ActivePage(), kPageWelcome);
    EXPECT_EQ(r.ctl(Ctl::suiURLLabel1).link_color, 0x808080u);
    EXPECT_EQ(r.ctl(Ctl::suiURLLabelG).link_color, 0x808080u);
    EXPECT_EQ(r.view.app_title, "ZENTA-KOV 安装向导");
}

TEST(WizardStartup, DriveDAbsentFallsBackToC) {
    WizardRig r({}, /*drive_d=*/false);
    r.Start();
    EXPECT_EQ(r.state->DefaultDrive, "C:\\");
    EXPECT_EQ(r.ctl(Ctl::LabelPF).caption, "C:\\");
    EXPECT_EQ(r.state->Config.Folder(), "C:\\ZENTA-KOV");
}

// Names that would lead out of their folder or key (or none at all), and counts no table
// holds: the package is reported damaged once and nothing is written, not even the key that
// reading an earlier installation creates.
TEST(WizardStartup, DamagedRecordIsReportedOnceAndNothingIsWritten) {
    const std::pair<std::string, std::string> cases[] = {
        {"folder_name", "..\\..\\Windows\\ZS"}, {"folder_name", ""}, {"product", "..\\..\\Startup"},
        {"product", ""}, {"files", "257"}};
    for (const auto& [field, value] : cases) {
        PackageSpec package;
        if (field == "folder_name") package.folder_name = value;
        if (field == "product") package.product = value;
        WizardRig r(package);
        if (field == "files") {
            SetupConfig c;
            c.Load(Unpack(r.m.resources.items["SETUPINI"]));
            c.SetCounts(257, 0, 0);
            r.m.resources.items["SETUPINI"] = Pack(c.Bytes());
        }
        r.Start();
        EXPECT_TRUE(r.wizard->Terminated()) << field << " " << value;
        ASSERT_EQ(r.m.dialogs.errors.size(), 1u) << field << " " << value;
        EXPECT_EQ(r.m.dialogs.errors[0].rfind("安装包已损坏，无法安装（", 0), 0u) << r.m.dialogs.errors[0];
        EXPECT_TRUE(r.m.dialogs.boxes.empty());
        EXPECT_TRUE(r.m.reg.keys.size() <= 1u) << "a key was written";  // the fake's shell folders only
        for (const auto& line : r.m.log) EXPECT_NE(line.rfind("regkey", 0), 0u) << line;
    }
}

TEST(WizardStartup, EarlierFolderThatExistsBecomesTheTarget) {
    WizardRig r;
    r.m.fs.AddDirTree("E:\\Apps\\ZK");
    RegisterEarlier(r.m.reg, 0, "E:\\Apps\\ZK");
    r.Start();
    EXPECT_EQ(r.state->OldFolder, "E:\\Apps\\ZK");
    EXPECT_FALSE(r.state->AlreadyInstalled);
    EXPECT_TRUE(r.m.dialogs.boxes.empty());
    EXPECT_EQ(r.state->Config.Folder(), "E:\\Apps\\ZK");
}

TEST(WizardStartup, EarlierFolderThatIsGoneFallsBackToTheDefaultDrive) {
    WizardRig r;
    RegisterEarlier(r.m.reg, 0, "E:\\Apps\\ZK");
    r.Start();
    EXPECT_EQ(r.state->OldFolder, "E:\\Apps\\ZK");
    EXPECT_EQ(r.state->Config.Folder(), "D:\\ZENTA-KOV");
}

TEST(WizardStartup, EarlierFolderOfThreeBytesOrFewerIsIgnored) {
    for (std::string folder : {"E:\\", "E:", "E"}) {
        WizardRig r;
        r.m.fs.AddDrive('E');
        r.m.fs.AddDirTree("E");  // even when a directory of that name exists
        RegisterEarlier(r.m.reg, 0, folder);
        r.Start();
        EXPECT_EQ(r.state->Config.Folder(), "D:\\ZENTA-KOV") << folder;
    }
    WizardRig r;  // four bytes is enough
    r.m.fs.AddDirTree("E:\\a");
    RegisterEarlier(r.m.reg, 0, "E:\\a");
    r.Start();
    EXPECT_EQ(r.state->Config.Folder(), "E:\\a");
}

TEST(WizardStartup, EarlierFolderIsCutTo128Bytes) {
    const std::string longer = "E:\\" + std::string(140, 'a');
    WizardRig r;
    r.m.fs.AddDirTree(longer);
    RegisterEarlier(r.m.reg, 0, longer);
    r.Start();
    EXPECT_EQ(r.state->Config.Folder(), longer.substr(0, 128));
}

TEST(WizardStartup, RegistryReadStopsAtTheFirstMissingValue) {
    {  // No "Setup": "Folder" is not read either.
        WizardRig r;
        r.m.fs.AddDirTree("E:\\Apps\\ZK");
        r.m.reg.SetString(RegRoot::LocalMachine, kInstallKey, "Folder", "E:\\Apps\\ZK");
        r.Start();
        EXPECT_EQ(r.state->OldFolder, "");
        EXPECT_EQ(r.state->Config.Folder(), "D:\\ZENTA-KOV");
    }
    {  // "Setup" of another type fails like a missing one.
        WizardRig r;
        r.m.fs.AddDirTree("E:\\Apps\\ZK");
        r.m.reg.SetString(RegRoot::LocalMachine, kInstallKey, "Setup", "1");
        r.m.reg.SetString(RegRoot::LocalMachine, kInstallKey, "Folder", "E:\\Apps\\ZK");
        r.Start();
        EXPECT_FALSE(r.state->AlreadyInstalled);
        EXPECT_EQ(r.state->OldFolder, "");
        EXPECT_TRUE(r.m.dialogs.boxes.empty());
    }
    {  // A key that can be neither opened nor created: silent, defaults.
        WizardRig r;
        r.m.reg.denied.insert(FakeRegistry::NormKey(RegRoot::LocalMachine, kInstallKey));
        r.Start();
        EXPECT_FALSE(r.wizard->Terminated());
        EXPECT_TRUE(r.m.dialogs.errors.empty());
        EXPECT_EQ(r.state->Config.Folder(), "D:\\ZENTA-KOV");
    }
    {  // "Setup" true but no "Folder": still asked, default folder.
        WizardRig r;
        r.m.reg.SetDword(RegRoot::LocalMachine, kInstallKey, "Setup", 7);
        r.Start();
        EXPECT_TRUE(r.state->AlreadyInstalled);
        ASSERT_EQ(r.m.dialogs.boxes.size(), 1u);
        EXPECT_EQ(r.state->Config.Folder(), "D:\\ZENTA-KOV");
    }
}

TEST(WizardStartup, OverwriteQuestionComesBeforeThePayloadAndYesContinues) {
    WizardRig r;
    r.m.fs.AddDirTree("E:\\Apps\\ZK");
    RegisterEarlier(r.m.reg, 1, "E:\\Apps\\ZK");
    r.Start();
    ASSERT_EQ(r.m.dialogs.boxes.size(), 1u);
    const auto& box = r.m.dialogs.boxes[0];
    EXPECT_EQ(box.text, "   护卫提示：青岚护卫软件已经安装,覆盖原来以前的吗？        ");
    EXPECT_EQ(box.title, " ZENTA");
    EXPECT_EQ(box.flags, 36u);
    EXPECT_FALSE(r.wizard->Terminated());
    EXPECT_TRUE(r.state->PayloadStream.has_value());
    EXPECT_EQ(r.state->Config.Folder(), "E:\\Apps\\ZK");
    EXPECT_EQ(r.wizard->ActivePage(), kPageWelcome);
}

TEST(WizardStartup, OverwriteNoEndsWithoutLoadingThePayload) {
    WizardRig r;
    RegisterEarlier(r.m.reg, 1, "E:\\Apps\\ZK");
    r.m.resources.items["SETUPPACK"] = {1, 2, 3};  // would fail to load
    r.m.dialogs.answers = {kIdNo};
    r.Start();
    EXPECT_TRUE(r.wizard->Terminated());
    EXPECT_EQ(r.view.terminate_calls, 1);
    EXPECT_FALSE(r.state->PayloadStream.has_value());
    EXPECT_EQ(r.m.dialogs.boxes.size(), 1u);
    EXPECT_TRUE(r.m.dialogs.errors.empty());
    // Page 0 was never made active again, nor were the links coloured.
    EXPECT_EQ(r.ctl(Ctl::suiURLLabel1).link_color, 0xFF0000u);
}

TEST(WizardStartup, ByteSumMismatchAsksAndYesContinues) {
    PackageSpec package;
    package.wrong_sum = true;
    WizardRig r(package);
    r.Start();
    ASSERT_EQ(r.m.dialogs.boxes.size(), 1u);
    const auto& box = r.m.dialogs.boxes[0];
    EXPECT_EQ(box.text, "   护卫提示：文件资源校核不完整,继续吗？      ");
    EXPECT_EQ(box.title, " ZENTA");
    EXPECT_EQ(box.flags, 36u);
    EXPECT_FALSE(r.wizard->Terminated());
    EXPECT_EQ(r.ctl(Ctl::suiURLLabel1).link_color, 0x808080u);
}

// A check that takes longer than half a second shows its own window with the product's name
// and its progress until it ends, before the byte-sum question and the first page; a quick
// one shows nothing.
TEST(WizardStartup, SlowCheckShowsItsProgressUntilItEnds) {
    PackageSpec package;
    package.payload.assign(5u << 20, 3);  // five pieces of the pass
    package.wrong_sum = true;
    WizardRig r(package);
    r.m.shell.tick = 200;  // every reading of the clock: 0.2 s later
    r.Start();
    std::vector<std::string> check;
    for (const auto& line : r.m.log)
        if (line.rfind("check", 0) == 0 || line.rfind("msgbox", 0) == 0) check.push_back(line.substr(0, 6));
    EXPECT_EQ(check, (std::vector<std::string>{"check ", "check ", "check ", "check ", "msgbox"}));
    EXPECT_NE(std::find(r.m.log.begin(), r.m.log.end(), "check ZENTA-KOV 正在校验安装包… 100"), r.m.log.end());
    EXPECT_EQ(*std::find(r.m.log.begin(), r.m.log.end(), "check hidden"), "check hidden");
    EXPECT_EQ(r.wizard->ActivePage(), kPageWelcome);

    WizardRig quick(package);
    quick.Start();
    for (const auto& line : quick.m.log) EXPECT_NE(line.rfind("check", 0), 0u) << line;
}

TEST(WizardStartup, ByteSumMismatchNoEnds) {
    PackageSpec package;
    package.wrong_sum = true;
    WizardRig r(package);
    r.m.dialogs.answers = {kIdNo};
    r.Start();
    EXPECT_TRUE(r.wizard->Terminated());
    EXPECT_EQ(r.ctl(Ctl::suiURLLabel1).link_color, 0xFF0000u);
}

TEST(WizardStartup, OverwriteYesThenByteSumQuestion) {
    PackageSpec package;
    package.wrong_sum = true;
    WizardRig r(package);
    RegisterEarlier(r.m.reg, 1, "E:\\x");
    r.m.dialogs.answers = {kIdYes, kIdNo};
    r.Start();
    ASSERT_EQ(r.m.dialogs.boxes.size(), 2u);
    EXPECT_EQ(r.m.dialogs.boxes[0].text, texts::kOverwriteQuestion);
    EXPECT_EQ(r.m.dialogs.boxes[1].text, texts::kByteSumQuestion);
    EXPECT_TRUE(r.wizard->Terminated());
}

TEST(WizardStartup, MissingPayloadResourceIsShownAndEndsTheProgram) {
    WizardRig r;
    r.m.resources.items.erase("SETUPPACK");
    r.Start();
    ASSERT_EQ(r.m.dialogs.errors.size(), 1u);
    EXPECT_EQ(r.m.dialogs.errors[0], "Resource SETUPPACK not found.");
    EXPECT_TRUE(r.wizard->Terminated());
    EXPECT_EQ(r.view.terminate_calls, 1);
    // The steps before it ran: the title is the product's.
    EXPECT_EQ(r.view.app_title, "ZENTA-KOV 安装向导");
}

TEST(WizardStartup, MissingRecordResourceIsShownAndEndsTheProgram) {
    WizardRig r;
    r.m.resources.items.erase("SETUPINI");
    r.Start();
    ASSERT_EQ(r.m.dialogs.errors.size(), 1u);
    EXPECT_EQ(r.m.dialogs.errors[0], "Resource SETUPINI not found.");
    EXPECT_TRUE(r.wizard->Terminated());
    EXPECT_EQ(r.view.app_title, "");  // never set from the record
    EXPECT_FALSE(r.m.reg.HasKey(RegRoot::LocalMachine, kInstallKey));
}

TEST(WizardStartup, DamagedPayloadIsShownAndEndsTheProgram) {
    WizardRig r;
    std::vector<uint8_t> packed = r.m.resources.items["SETUPPACK"];
    packed.resize(packed.size() - 6);  // stream ends early
    r.m.resources.items["SETUPPACK"] = packed;
    r.Start();
    ASSERT_EQ(r.m.dialogs.errors.size(), 1u);
    EXPECT_EQ(r.m.dialogs.errors[0], "Stream read error.");
    EXPECT_TRUE(r.wizard->Terminated());
}

TEST(WizardStartup, FormDestroyReleasesThePayload) {
    WizardRig r;
    r.Start();
    ASSERT_TRUE(r.state->PayloadStream.has_value());
    r.wizard->FormDestroy();
    EXPECT_FALSE(r.state->PayloadStream.has_value());
}

}  // namespace
}  // namespace setup::testing

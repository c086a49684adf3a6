// The installation run against the in-memory machine.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <optional>
#include <random>

#include "base/error.h"
#include "install/file_copy.h"
#include "install/run.h"
#include "install/shortcuts.h"
#include "package/packed_resource.h"
#include "package/payload.h"
#include "package/setup_config.h"
#include "tests/support/example_package.h"
#include "tests/support/fake_platform.h"

namespace setup {
namespace {

using testing::FakeMachine;
using testing::FakeRegistry;
using testing::kFolder;
using testing::kGroup;
using testing::NormPath;

// Records what the run shows on the copying page, in the machine's log so that the order
// relative to file and registry work is visible too.
class RecordingView : public CopyPageView {
public:
    explicit RecordingView(std::vector<std::string>& log) : log_(log) {}
    std::vector<std::string> events;
    void SetStatus(const std::string& text) override { Add("status " + text); }
    void ShowFileName(const std::string& text) override { Add("file " + text); }
    void HideFileName() override { Add("hide file"); }
    void SetProgress(uint32_t colour, int position) override {
        Add("progress " + std::to_string(position) + (colour == kCopyBarColour ? "" : " wrong colour"));
    }
    void HideHeadings() override { Add("hide headings"); }
    void KeepResponsive() override { ++keep_responsive; }
    int keep_responsive = 0;
    std::vector<std::string> Progress() const {
        std::vector<std::string> out;
        for (const auto& e : events)
            if (e.rfind("progress ", 0) == 0) out.push_back(e.substr(9));
        return out;
    }

private:
    void Add(std::string e) {
        log_.push_back("view " + e);
        events.push_back(std::move(e));
    }
    std::vector<std::string>& log_;
};

// The example package (file sizes scaled down): five files, four shortcuts.
struct Package : testing::ExamplePackage {
    Package() {
        config.SetFolder(kFolder);
        AddFile("\\ZENTA-KOV.exe", 50);
        AddFile("\\license.txt", 32);
        AddFile("\\readme.txt", 40);
        AddFile("\\Uninstall.exe", 30);
        AddFile("\\青岚护卫更新.url", 26);
        SetShortcuts({{"ZENTA-KOV", 0, 0, ""}, {"ZENTA-KOV", 0, 1, ""}, {"License.txt", 1, 1, ""}, {"Readme.txt", 2, 1, ""}});
        Commit();
    }
};

// A second machine, for a test that compares two runs: the target folder made, the record and
// the package's payload as resources, and the context of a run there.
struct OtherRun : testing::RunState {
    FakeMachine m;
    RecordingView view{m.log};

    explicit OtherRun(const std::vector<uint8_t>& record) {
        m.fs.AddDirTree(kFolder);
        m.resources.items["SETUPINI"] = record;
    }
    InstallContext Context(Package& pkg) {
        pkg.Commit();
        return RunState::Context(m, pkg.config, pkg.payload_bytes, view);
    }
};

class InstallRun : public ::testing::Test, protected testing::RunState {
protected:
    InstallRun() {
        m.fs.AddDirTree(kFolder);  // the folder page has made it
        m.resources.items["SETUPINI"] = record_resource;
    }
    void Run() {
        pkg.Commit();
        InstallContext ctx = Context(m, pkg.config, pkg.payload_bytes, view);
        RunInstallation(ctx);
    }
    // Runs and returns the error text the run ends with ("" when it completes).
    std::string RunExpectingError() {
        try {
            Run();
        } catch (const Error& e) {
            return e.text();
        }
        return "";
    }
    std::vector<std::string> LinkOrder() const {
        std::vector<std::string> out;
        for (const auto& line : m.log)
            if (line.rfind("link ", 0) == 0) out.push_back(line.substr(5));
        return out;
    }
    size_t LogIndex(const std::string& prefix) const {
        auto it = std::find_if(m.log.begin(), m.log.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; });
        return static_cast<size_t>(it - m.log.begin());
    }
    std::string StringValue(RegRoot root, const std::string& key, const std::string& name) const {
        const FakeRegistry::Value* v = m.reg.Find(root, key, name);
        return v && !v->is_dword ? v->str : "<missing>";
    }
    std::string FileMessage(const std::string& path) const {
        return std::string(kFileErrorText) + path;
    }

    FakeMachine m;
    RecordingView view{m.log};
    Package pkg;
    const std::vector<uint8_t> record_resource = {0x10, 0x00, 0x00, 0x00, 0x78, 0x9C, 0x01, 0x02};
};

TEST_F(InstallRun, ExampleRecordInstallsEverythingInOrder) {
    Run();
    const std::string f = kFolder;
    EXPECT_EQ(view.events, (std::vector<std::string>{
                               "status 正在复制文件...",
                               "file " + f + "\\ZENTA-KOV.exe",  // 40 bytes: whole
                               "progress 0",
                               "file " + f + "\\license.txt",
                               "progress 20",
                               "file " + f + "\\readme.txt",
                               "progress 40",
                               "file " + f + "\\Uninstall.exe",
                               "progress 60",
                               "file C:\\...\\青岚护卫更新.url",  // 43 bytes: shortened
                               "progress 80",
                               "status 正在注册相关信息...",
                               "hide file",
                               "status 正在创建快捷方式...",
                               "hide headings",
                           }));
    EXPECT_FALSE(installing);
    EXPECT_TRUE(m.dialogs.boxes.empty());

    for (size_t i = 0; i < pkg.rows.size(); ++i) {
        const auto* bytes = m.fs.File(f + pkg.rows[i].name);
        ASSERT_NE(bytes, nullptr) << pkg.rows[i].name;
        EXPECT_EQ(*bytes, pkg.Bytes(i)) << pkg.rows[i].name;
    }
    ASSERT_NE(m.fs.File(f + "\\Z_ta.cx"), nullptr);
    EXPECT_EQ(*m.fs.File(f + "\\Z_ta.cx"), record_resource);

    EXPECT_EQ(StringValue(RegRoot::LocalMachine, "\\Software\\ZENTA", "Site"), "http://www.zenta.example/kov");
    EXPECT_EQ(StringValue(RegRoot::LocalMachine, "\\Software\\ZENTA", "Author"), "ZENTA");
    const auto* setup_value = m.reg.Find(RegRoot::LocalMachine, "\\Software\\ZENTA\\ZENTA-KOV", "Setup");
    ASSERT_NE(setup_value, nullptr);
    EXPECT_TRUE(setup_value->is_dword);
    EXPECT_EQ(setup_value->dword, 1u);
    EXPECT_EQ(StringValue(RegRoot::LocalMachine, "\\Software\\ZENTA\\ZENTA-KOV", "Version"), "V29.5");
    EXPECT_EQ(StringValue(RegRoot::LocalMachine, "\\Software\\ZENTA\\ZENTA-KOV", "Folder"), f);
    EXPECT_EQ(StringValue(RegRoot::LocalMachine, "\\Software\\ZENTA\\ZENTA-KOV", "Date"), "20040201");
    const std::string uninstall = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZENTA-KOV";
    EXPECT_EQ(StringValue(RegRoot::LocalMachine, uninstall, "DisplayName"), "ZENTA-KOV");
    EXPECT_EQ(StringValue(RegRoot::LocalMachine, uninstall, "UninstallString"),
              "\"C:\\Program Files\\ZENTA-KOV\\uninstall.exe\"");

    // Fixed values in their order, after every file and the data file.
    std::vector<std::string> reg_lines;
    for (const auto& line : m.log)
        if (line.rfind("reg", 0) == 0 && line.rfind("regkey", 0) != 0) reg_lines.push_back(line.substr(0, line.find('=')));
    EXPECT_EQ(reg_lines, (std::vector<std::string>{
                             "regsz HKLM\\software\\zenta Site", "regsz HKLM\\software\\zenta Author",
                             "regdword HKLM\\software\\zenta\\zenta-kov Setup",
                             "regsz HKLM\\software\\zenta\\zenta-kov Version",
                             "regsz HKLM\\software\\zenta\\zenta-kov Folder",
                             "regsz HKLM\\software\\zenta\\zenta-kov Date",
                             "regsz HKLM\\software\\microsoft\\windows\\currentversion\\uninstall\\zenta-kov DisplayName",
                             "regsz HKLM\\software\\microsoft\\windows\\currentversion\\uninstall\\zenta-kov UninstallString",
                             "regsz HKLM\\software\\microsoft\\windows\\currentversion\\uninstall\\zenta-kov DisplayVersion",
                             "regsz HKLM\\software\\microsoft\\windows\\currentversion\\uninstall\\zenta-kov Publisher",
                             "regsz HKLM\\software\\microsoft\\windows\\currentversion\\uninstall\\zenta-kov InstallLocation",
                             "regsz HKLM\\software\\microsoft\\windows\\currentversion\\uninstall\\zenta-kov DisplayIcon",
                             "regdword HKLM\\software\\microsoft\\windows\\currentversion\\uninstall\\zenta-kov EstimatedSize",
                             "regsz HKLM\\software\\microsoft\\windows\\currentversion\\uninstall\\zenta-kov URLInfoAbout",
                             "regdword HKLM\\software\\microsoft\\windows\\currentversion\\uninstall\\zenta-kov NoModify",
                             "regdword HKLM\\software\\microsoft\\windows\\currentversion\\uninstall\\zenta-kov NoRepair",
                         }));
    // The entry in the list of installed programs: what it shows beside the name.
    EXPECT_EQ(StringValue(RegRoot::LocalMachine, uninstall, "DisplayVersion"), "V29.5");
    EXPECT_EQ(StringValue(RegRoot::LocalMachine, uninstall, "Publisher"), "ZENTA");
    EXPECT_EQ(StringValue(RegRoot::LocalMachine, uninstall, "InstallLocation"), f);
    EXPECT_EQ(StringValue(RegRoot::LocalMachine, uninstall, "DisplayIcon"), f + "\\ZENTA-KOV.exe");
    EXPECT_EQ(m.reg.Find(RegRoot::LocalMachine, uninstall, "EstimatedSize")->dword, 1u);  // 178 bytes, whole KB
    EXPECT_EQ(m.reg.Find(RegRoot::LocalMachine, uninstall, "NoModify")->dword, 1u);
    EXPECT_LT(LogIndex("write " + f + "\\青岚"), LogIndex("write " + f + "\\Z_ta.cx"));
    EXPECT_LT(LogIndex("write " + f + "\\Z_ta.cx"), LogIndex("regsz"));
    EXPECT_LT(LogIndex("regsz HKLM\\software\\microsoft"), LogIndex("link "));

    const std::string desktop = FakeMachine::kDesktop;
    EXPECT_EQ(LinkOrder(), (std::vector<std::string>{
                               desktop + "\\ZENTA-KOV.lnk",
                               kGroup + "\\ZENTA-KOV.lnk",
                               kGroup + "\\License.txt.lnk",
                               kGroup + "\\Readme.txt.lnk",
                               kGroup + "\\卸载ZENTA-KOV.lnk",
                           }));
    const ShellLinkFields& main_link = m.shell.links.at(NormPath(desktop + "\\ZENTA-KOV.lnk"));
    EXPECT_EQ(main_link.target, f + "\\ZENTA-KOV.exe");
    EXPECT_EQ(main_link.icon_path, f + "\\ZENTA-KOV.exe");
    EXPECT_EQ(main_link.icon_index, 0);
    EXPECT_EQ(main_link.working_dir, f + "\\");
    EXPECT_EQ(main_link.arguments, "");
    const ShellLinkFields& uninstall_link = m.shell.links.at(NormPath(kGroup + "\\卸载ZENTA-KOV.lnk"));
    EXPECT_EQ(uninstall_link.target, f + "\\uninstall.exe");
    EXPECT_EQ(m.fs.current_dir, kGroup);  // the run leaves the process in the group folder
}

TEST_F(InstallRun, NoFilesStillWritesDataFileRegistryAndUninstallShortcut) {
    pkg.rows.clear();
    pkg.SetShortcuts({});
    Run();
    EXPECT_TRUE(view.Progress().empty());
    EXPECT_EQ(std::count_if(view.events.begin(), view.events.end(), [](auto& e) { return e.rfind("file ", 0) == 0; }), 0);
    EXPECT_NE(m.fs.File(std::string(kFolder) + "\\Z_ta.cx"), nullptr);
    EXPECT_NE(m.reg.Find(RegRoot::LocalMachine, "\\Software\\ZENTA\\ZENTA-KOV", "Setup"), nullptr);
    EXPECT_EQ(LinkOrder(), std::vector<std::string>{kGroup + "\\卸载ZENTA-KOV.lnk"});
    EXPECT_FALSE(installing);
}

TEST_F(InstallRun, WildcardRowIsSkippedWithoutMessageOrProgress) {
    pkg.rows = {};
    pkg.payload_bytes.clear();
    pkg.AddFile("\\a.txt", 3);
    pkg.AddFile("\\*.txt", 3);
    pkg.AddFile("\\sub\\x*.y", 3);
    pkg.AddFile("\\b.txt", 3);
    Run();
    EXPECT_EQ(view.Progress(), (std::vector<std::string>{"0", "75"}));
    EXPECT_TRUE(m.dialogs.boxes.empty());
    EXPECT_FALSE(m.fs.DirectoryExists(std::string(kFolder) + "\\sub"));
    EXPECT_NE(m.fs.File(std::string(kFolder) + "\\b.txt"), nullptr);
}

TEST_F(InstallRun, EmptyFileIsCreatedAndSubfoldersAreMade) {
    pkg.AddFile("\\sub\\deeper\\empty.dat", 0);
    Run();
    const auto* bytes = m.fs.File(std::string(kFolder) + "\\sub\\deeper\\empty.dat");
    ASSERT_NE(bytes, nullptr);
    EXPECT_TRUE(bytes->empty());
    EXPECT_TRUE(m.dialogs.boxes.empty());
}

// However large one file, the window is looked after between pieces of its bytes.
TEST_F(InstallRun, LargeFileKeepsTheWindowResponsive) {
    pkg.AddFile("\\big.bin", 5u << 20);
    Run();
    EXPECT_EQ(*m.fs.File(std::string(kFolder) + "\\big.bin"), pkg.Bytes(5));
    EXPECT_GE(view.keep_responsive, 5);
}

TEST_F(InstallRun, ExistingFileIsReplacedOnlyByACompleteOne) {
    const std::string target = std::string(kFolder) + "\\readme.txt";
    m.fs.AddFile(target, "an older and longer readme text, longer than the new one");
    Run();
    EXPECT_EQ(*m.fs.File(target), pkg.Bytes(2));
    EXPECT_EQ(LogIndex("delete " + target), m.log.size());  // never deleted first

    // A write that fails leaves the old file, and no partial file beside it.
    OtherRun full(record_resource);
    full.m.fs.AddFile(target, "old");
    full.m.fs.disk_full = true;
    InstallContext ctx = full.Context(pkg);
    CopyFiles(ctx);
    EXPECT_EQ(full.m.dialogs.boxes.size(), 5u);
    EXPECT_EQ(*full.m.fs.File(target), std::vector<uint8_t>({'o', 'l', 'd'}));
    EXPECT_EQ(full.m.fs.files.size(), 1u);
}

// The table's rows in any order, overlapping or sharing bytes, empty: each file gets exactly
// its bytes from one pass, and the page tells of the rows in the order of their bytes.
TEST_F(InstallRun, RowsOutOfOrderOrOverlappingGetTheirOwnBytes) {
    pkg.rows.clear();
    pkg.payload_bytes.resize(3u << 20);  // several pieces of the pass
    for (size_t k = 0; k < pkg.payload_bytes.size(); ++k) pkg.payload_bytes[k] = static_cast<uint8_t>(k * 7 + (k >> 11));
    const uint32_t mb = 1u << 20;
    pkg.rows = {{"\\late.bin", 2 * mb, mb},            // the payload's last third, first in the table
                {"\\first.bin", 0, mb + 5},           // across a piece boundary
                {"\\inside.bin", 100, 50},            // within first.bin
                {"\\same.bin", 100, 50},              // the same bytes again
                {"\\empty.bin", mb, 0},
                {"\\sub\\all.bin", 0, 3 * mb}};       // everything, open while the others come and go
    Run();
    EXPECT_TRUE(m.dialogs.boxes.empty());
    for (size_t i = 0; i < pkg.rows.size(); ++i) {
        const auto* bytes = m.fs.File(kFolder + pkg.rows[i].name);
        ASSERT_NE(bytes, nullptr) << pkg.rows[i].name;
        EXPECT_TRUE(*bytes == pkg.Bytes(i)) << pkg.rows[i].name;
    }
    std::vector<std::string> files;
    for (const auto& e : view.events)
        if (e.rfind("file ", 0) == 0) files.push_back(e.substr(e.rfind('\\') + 1));
    EXPECT_EQ(files, (std::vector<std::string>{"first.bin", "all.bin", "inside.bin", "same.bin", "empty.bin", "late.bin"}));
    // The bar never moves back: 33 (inside), 50 (same), 66 (empty), first (16) keeps 66, then
    // at the end all (83) and late (0) keeps it.
    EXPECT_EQ(view.Progress(), (std::vector<std::string>{"33", "50", "66", "66", "83", "83"}));
    EXPECT_EQ(m.fs.files.size(), pkg.rows.size() + 1 + m.shell.links.size());  // no temporary file left
}

// A pass that breaks off (the payload cannot be read to its end) ends the run with its error
// and leaves no partial file; the files completed before it stay.
TEST_F(InstallRun, PassThatBreaksOffLeavesNoPartialFile) {
    pkg.rows.clear();
    pkg.payload_bytes.assign(3u << 20, 0);
    std::mt19937 rng(5);
    for (auto& b : pkg.payload_bytes) b = static_cast<uint8_t>(rng());
    pkg.rows = {{"\\a.bin", 0, 1u << 20}, {"\\b.bin", 1u << 20, 2u << 20}};
    pkg.Commit();
    std::vector<uint8_t> packed = Pack(pkg.payload_bytes);
    packed.resize(packed.size() * 2 / 3);
    m.resources.items["SETUPPACK"] = packed;
    PayloadStream p = OpenPayload(m.resources);
    InstallContext ctx{pkg.config, p, ProductKey(pkg.config), InstallKey(pkg.config), installing, report, m.platform(), view};
    try {
        RunInstallation(ctx);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.text(), "Stream read error");
    }
    EXPECT_EQ(*m.fs.File(std::string(kFolder) + "\\a.bin"), pkg.Bytes(0));
    EXPECT_EQ(m.fs.File(std::string(kFolder) + "\\b.bin"), nullptr);
    EXPECT_EQ(m.fs.files.size(), 1u);
    EXPECT_TRUE(installing);
}

// A file whose old copy is in use: Retry / Cancel naming it. Retry after the program was
// closed puts the new file in place; Cancel keeps the old one and the report lists it.
TEST_F(InstallRun, FileInUseAsksRetryOrCancel) {
    const std::string target = std::string(kFolder) + "\\license.txt";
    m.fs.AddFile(target, "old");
    m.fs.locked.insert(NormPath(target));
    m.dialogs.answers = {kIdRetry, kIdCancel};
    Run();
    ASSERT_EQ(m.dialogs.boxes.size(), 2u);
    EXPECT_EQ(m.dialogs.boxes[0].text, std::string(kFileInUseText) + target);
    EXPECT_EQ(m.dialogs.boxes[0].title, " ZENTA");
    EXPECT_EQ(m.dialogs.boxes[0].flags, kMbRetryCancel | kMbIconExclamation);
    EXPECT_EQ(view.Progress(), (std::vector<std::string>{"0", "20", "40", "60", "80"}));
    // The question comes before that row's progress step.
    EXPECT_LT(LogIndex("msgbox "), LogIndex("view progress 20"));
    EXPECT_GT(LogIndex("msgbox "), LogIndex("view progress 0"));
    EXPECT_EQ(*m.fs.File(target), std::vector<uint8_t>({'o', 'l', 'd'}));
    EXPECT_NE(m.fs.File(std::string(kFolder) + "\\readme.txt"), nullptr);
    EXPECT_EQ(report.failed, std::vector<std::string>{target});
    EXPECT_EQ(report.failed_files, std::vector<std::string>{target});
    EXPECT_FALSE(installing);

    OtherRun again(record_resource);
    again.m.fs.AddFile(target, "old");
    again.m.fs.locked.insert(NormPath(target));
    again.m.dialogs.on_box = [&] { again.m.fs.locked.clear(); };  // the user closes the program
    again.m.dialogs.answers = {kIdRetry};
    InstallContext ctx = again.Context(pkg);
    CopyFiles(ctx);
    EXPECT_EQ(again.m.dialogs.boxes.size(), 1u);
    EXPECT_EQ(*again.m.fs.File(target), pkg.Bytes(1));
    EXPECT_TRUE(again.report.clean());
}

TEST_F(InstallRun, FullDiskReportsEveryFileThenStopsAtTheDataFile) {
    m.fs.disk_full = true;
    const std::string error = RunExpectingError();
    EXPECT_EQ(m.dialogs.boxes.size(), 5u);
    EXPECT_EQ(view.Progress(), (std::vector<std::string>{"0", "20", "40", "60", "80"}));
    EXPECT_EQ(error, "Cannot write file \"C:\\Program Files\\ZENTA-KOV\\Z_ta.cx\". There is not enough space on the disk");
    EXPECT_TRUE(installing);
    EXPECT_FALSE(m.reg.HasKey(RegRoot::LocalMachine, "\\Software\\ZENTA"));
}

// A folder that cannot be made, or one inside the target that is a link someone planted:
// the file is reported like one that cannot be written, and nothing goes through the link.
TEST_F(InstallRun, FolderThatCannotBeHadIsReported) {
    pkg.AddFile("\\locked\\inner.dll", 4);
    pkg.AddFile("\\Ex\\link\\x.dll", 4);
    m.fs.unwritable_dirs.insert(NormPath(std::string(kFolder) + "\\locked"));
    m.fs.AddDirTree(std::string(kFolder) + "\\Ex\\link");
    m.fs.links.insert(NormPath(std::string(kFolder) + "\\Ex"));
    Run();
    ASSERT_EQ(m.dialogs.boxes.size(), 2u);
    EXPECT_EQ(m.dialogs.boxes[0].text, FileMessage(std::string(kFolder) + "\\locked\\inner.dll"));
    EXPECT_EQ(m.dialogs.boxes[1].text, FileMessage(std::string(kFolder) + "\\Ex\\link\\x.dll"));
    EXPECT_EQ(m.fs.File(std::string(kFolder) + "\\Ex\\link\\x.dll"), nullptr);
    EXPECT_EQ(view.Progress(), (std::vector<std::string>{"0", "14", "28", "42", "57", "71", "85"}));
    EXPECT_EQ(report.failed.size(), 2u);
    EXPECT_FALSE(installing);
}

// Everything that was not written is in the report: files, extra registry values, shortcuts.
TEST_F(InstallRun, ReportListsEveryItemNotWritten) {
    Run();
    EXPECT_TRUE(report.clean());

    OtherRun broken(record_resource);
    broken.m.fs.disk_full = true;
    broken.m.reg.denied.insert(FakeRegistry::NormKey(RegRoot::CurrentUser, "Software\\Extra"));
    broken.m.shell.link_result = Shell::LinkResult::kNotSaved;
    pkg.SetRegValues({{"Flag", 1, "Software\\Extra", 0, 1, "", 0}});
    InstallContext ctx = broken.Context(pkg);
    InstallReport& broken_report = broken.report;
    CopyFiles(ctx);
    EXPECT_EQ(broken_report.failed_files.size(), 5u);
    broken.m.fs.disk_full = false;
    broken_report = {};
    RunInstallation(ctx);
    EXPECT_TRUE(broken_report.failed_files.empty());
    EXPECT_EQ(broken_report.failed, (std::vector<std::string>{
                                        "HKEY_CURRENT_USER\\Software\\Extra Flag", "快捷方式：ZENTA-KOV",
                                        "快捷方式：ZENTA-KOV", "快捷方式：License.txt", "快捷方式：Readme.txt",
                                        "快捷方式：卸载ZENTA-KOV"}));
}

TEST_F(InstallRun, HostileNamesAreReportedAndNeverWritten) {
    pkg.rows = {};
    pkg.payload_bytes.clear();
    const std::vector<std::string> hostile = {"\\..\\..\\Windows\\evil.dll", "\\sub\\..\\..\\x.dll", "\\CON",
                                              "\\a:stream", "C:\\abs.dll", "\\\\server\\share\\x"};
    for (const auto& name : hostile) pkg.AddFile(name, 4);
    pkg.AddFile("\\good.txt", 4);
    const auto files_before = m.fs.files.size();
    const auto dirs_before = m.fs.dirs;
    Run();
    ASSERT_EQ(m.dialogs.boxes.size(), hostile.size());
    for (size_t i = 0; i < hostile.size(); ++i) EXPECT_EQ(m.dialogs.boxes[i].text, FileMessage(kFolder + hostile[i]));
    // Only the good file, the data file and the links were added; no folder was made.
    EXPECT_EQ(m.fs.files.size(), files_before + 2 + m.shell.links.size());
    EXPECT_NE(m.fs.File(std::string(kFolder) + "\\good.txt"), nullptr);
    for (const auto& d : m.fs.dirs) EXPECT_TRUE(dirs_before.count(d) || d == NormPath(kGroup)) << d;
    EXPECT_EQ(view.Progress().size(), hostile.size() + 1);
}

TEST_F(InstallRun, RowsPastThePayloadAreReportedAndLeaveOldFilesAlone) {
    const std::string old_file = std::string(kFolder) + "\\beyond.bin";
    m.fs.AddFile(old_file, "keep me");
    pkg.rows.push_back({"\\beyond.bin", static_cast<uint32_t>(pkg.payload_bytes.size()) - 2, 3});
    pkg.rows.push_back({"\\wrap.bin", 8, 0xFFFFFFFFu});  // offset + size wraps in 32 bits
    pkg.rows.push_back({"\\end.bin", static_cast<uint32_t>(pkg.payload_bytes.size()), 0});  // empty, at the end: fine
    Run();
    // Reported where their bytes would begin: wrap.bin at 8, beyond.bin near the end.
    ASSERT_EQ(m.dialogs.boxes.size(), 2u);
    EXPECT_EQ(m.dialogs.boxes[0].text, FileMessage(std::string(kFolder) + "\\wrap.bin"));
    EXPECT_EQ(m.dialogs.boxes[1].text, FileMessage(old_file));
    EXPECT_EQ(*m.fs.File(old_file), std::vector<uint8_t>({'k', 'e', 'e', 'p', ' ', 'm', 'e'}));
    EXPECT_EQ(m.fs.File(std::string(kFolder) + "\\wrap.bin"), nullptr);
    EXPECT_NE(m.fs.File(std::string(kFolder) + "\\end.bin"), nullptr);
    EXPECT_EQ(view.Progress().size(), 8u);
}

TEST_F(InstallRun, ExtraValuesOfEveryKindAndRoot) {
    RegValueRow b{"Flag", 0, "Software\\Extra", 0, 7, "", 0};        // any non-zero is true
    RegValueRow bf{"Off", 1, "Software\\Extra", 0, 0, "", 0};
    RegValueRow s{"Name", 1, "Software\\Extra", 1, 0, "文本", 0};
    RegValueRow n{"Count", 0, "Software\\Extra", 2, 0, "", -2};
    RegValueRow k{"Ignored", 0, "Software\\OnlyKey", 3, 1, "x", 9};
    RegValueRow denied{"Lost", 0, "Software\\Denied", 1, 0, "x", 0};
    RegValueRow after{"After", 5, "Software\\Extra", 2, 0, "", 42};
    pkg.SetRegValues({b, bf, s, n, k, denied, after});
    m.reg.denied.insert(FakeRegistry::NormKey(RegRoot::LocalMachine, "Software\\Denied"));
    Run();
    const auto* flag = m.reg.Find(RegRoot::LocalMachine, "Software\\Extra", "Flag");
    ASSERT_TRUE(flag && flag->is_dword);
    EXPECT_EQ(flag->dword, 1u);
    const auto* off = m.reg.Find(RegRoot::CurrentUser, "Software\\Extra", "Off");
    ASSERT_TRUE(off && off->is_dword);
    EXPECT_EQ(off->dword, 0u);
    EXPECT_EQ(StringValue(RegRoot::CurrentUser, "Software\\Extra", "Name"), "文本");
    const auto* count = m.reg.Find(RegRoot::LocalMachine, "Software\\Extra", "Count");
    ASSERT_TRUE(count && count->is_dword);
    EXPECT_EQ(count->dword, 0xFFFFFFFEu);
    EXPECT_TRUE(m.reg.HasKey(RegRoot::LocalMachine, "Software\\OnlyKey"));
    EXPECT_EQ(m.reg.Find(RegRoot::LocalMachine, "Software\\OnlyKey", "Ignored"), nullptr);
    EXPECT_NE(m.reg.Find(RegRoot::CurrentUser, "Software\\Extra", "After"), nullptr);
    EXPECT_EQ(m.reg.Find(RegRoot::LocalMachine, "Software\\Extra", "After"), nullptr);
    EXPECT_TRUE(m.dialogs.boxes.empty());
    EXPECT_FALSE(installing);
}

TEST_F(InstallRun, ShortcutPlacesAndTheUninstallShortcutLast) {
    pkg.SetShortcuts({{"Desk", 0, 0, "-d"}, {"Grp", 1, 1, ""}, {"Both", 2, 2, "/x"}, {"Seven", 3, 7, ""}});
    Run();
    const std::string d = FakeMachine::kDesktop;
    EXPECT_EQ(LinkOrder(), (std::vector<std::string>{
                               d + "\\Desk.lnk", kGroup + "\\Grp.lnk", kGroup + "\\Both.lnk", d + "\\Both.lnk",
                               kGroup + "\\Seven.lnk", d + "\\Seven.lnk", kGroup + "\\卸载ZENTA-KOV.lnk"}));
    EXPECT_EQ(m.shell.links.at(NormPath(d + "\\Desk.lnk")).arguments, "-d");
    EXPECT_EQ(m.shell.links.at(NormPath(d + "\\Both.lnk")).target, std::string(kFolder) + "\\readme.txt");
    EXPECT_EQ(m.shell.links.at(NormPath(kGroup + "\\Both.lnk")).arguments, "/x");
}

TEST_F(InstallRun, ShortcutsOutsideTheFileTableOrWithPathNamesAreSkipped) {
    pkg.SetShortcuts({{"Far", 256, 0, ""}, {"Huge", 0xFFFFFFFFu, 2, ""}, {"..\\..\\Escape", 0, 0, ""},
                      {"sub\\Link", 0, 1, ""}, {"Unused row", 9, 0, ""}, {"Last", 0, 0, ""}});
    Run();
    const std::string d = FakeMachine::kDesktop;
    // Row 9 lies inside the table (beyond FileCount): its empty name points at the folder.
    EXPECT_EQ(LinkOrder(), (std::vector<std::string>{d + "\\Unused row.lnk", d + "\\Last.lnk", kGroup + "\\卸载ZENTA-KOV.lnk"}));
    EXPECT_EQ(m.shell.links.at(NormPath(d + "\\Unused row.lnk")).target, kFolder);
    EXPECT_FALSE(installing);
}

TEST_F(InstallRun, DataFileThatCannotBeCreatedEndsTheRun) {
    const std::string data = std::string(kFolder) + "\\Z_ta.cx";
    m.fs.AddFile(data, "old");
    m.fs.locked.insert(NormPath(data));
    EXPECT_EQ(RunExpectingError(), "Cannot create file \"C:\\Program Files\\ZENTA-KOV\\Z_ta.cx\". The process cannot "
                                   "access the file because it is being used by another process");
    EXPECT_EQ(*m.fs.File(data), std::vector<uint8_t>({'o', 'l', 'd'}));
    EXPECT_TRUE(installing);
    EXPECT_EQ(view.events.back(), "progress 80");  // still on the copying status
    EXPECT_FALSE(m.reg.HasKey(RegRoot::LocalMachine, "\\Software\\ZENTA"));
    EXPECT_TRUE(m.shell.links.empty());
}

TEST_F(InstallRun, MissingSetupIniResourceEndsTheRun) {
    m.resources.items.clear();
    EXPECT_EQ(RunExpectingError(), "Resource SETUPINI not found");
    EXPECT_TRUE(installing);
}

TEST_F(InstallRun, DeniedProductKeyFailsOnSite) {
    m.reg.denied.insert(FakeRegistry::NormKey(RegRoot::LocalMachine, "\\Software\\ZENTA"));
    EXPECT_EQ(RunExpectingError(), "Failed to set data for 'Site'");
    EXPECT_TRUE(installing);
    EXPECT_TRUE(m.shell.links.empty());
    EXPECT_EQ(std::count(view.events.begin(), view.events.end(), "hide headings"), 0);
}

TEST_F(InstallRun, DeniedUninstallKeyFailsOnDisplayName) {
    m.reg.denied.insert(FakeRegistry::NormKey(RegRoot::LocalMachine,
                                              "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZENTA-KOV"));
    EXPECT_EQ(RunExpectingError(), "Failed to set data for 'DisplayName'");
    EXPECT_NE(m.reg.Find(RegRoot::LocalMachine, "\\Software\\ZENTA\\ZENTA-KOV", "Date"), nullptr);
    EXPECT_TRUE(installing);
}

TEST_F(InstallRun, GroupFolderThatCannotBeMadeEndsTheRun) {
    m.fs.unwritable_dirs.insert(NormPath(kGroup));
    EXPECT_EQ(RunExpectingError(), "Cannot create folder \"" + kGroup + "\"");
    EXPECT_TRUE(installing);
    // The desktop link of row 0 was made before the first group link failed.
    EXPECT_EQ(LinkOrder(), std::vector<std::string>{std::string(FakeMachine::kDesktop) + "\\ZENTA-KOV.lnk"});
}

TEST_F(InstallRun, ShellLinkObjectFailureEndsTheRunAndComFailureIsSilent) {
    m.shell.link_result = Shell::LinkResult::kObjectFailed;
    EXPECT_EQ(RunExpectingError(),
              "Cannot create the shell link \"" + std::string(FakeMachine::kDesktop) + "\\ZENTA-KOV.lnk\"");
    EXPECT_TRUE(installing);

    OtherRun quiet(record_resource);
    quiet.m.shell.link_result = Shell::LinkResult::kComFailed;
    InstallContext ctx = quiet.Context(pkg);
    RunInstallation(ctx);
    EXPECT_FALSE(quiet.installing);
    EXPECT_TRUE(quiet.m.shell.links.empty());
    EXPECT_TRUE(quiet.m.dialogs.boxes.empty());
}

TEST_F(InstallRun, MissingDesktopFolderMakesNoDesktopLinkAndNoMessage) {
    m.reg.keys[FakeRegistry::NormKey(RegRoot::CurrentUser, kShellFoldersKey)].erase("desktop");
    Run();
    EXPECT_EQ(LinkOrder(), (std::vector<std::string>{kGroup + "\\ZENTA-KOV.lnk", kGroup + "\\License.txt.lnk",
                                                     kGroup + "\\Readme.txt.lnk", kGroup + "\\卸载ZENTA-KOV.lnk"}));
    EXPECT_TRUE(m.dialogs.boxes.empty());
    EXPECT_FALSE(installing);
}

}  // namespace
}  // namespace setup

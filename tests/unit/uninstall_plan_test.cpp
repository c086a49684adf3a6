// The uninstaller against the in-memory machine: a real installation run first, then the plan
// and its removal; what it removes, and what it never touches.
#include <gtest/gtest.h>

#include <optional>

#include "install/run.h"
#include "package/packed_resource.h"
#include "package/payload_stream.h"
#include "tests/support/example_package.h"
#include "tests/support/fake_platform.h"
#include "uninstall/plan.h"

namespace setup {
namespace {

using testing::FakeMachine;
using testing::FakeRegistry;
using testing::kFolder;
using testing::kGroup;
using testing::NormPath;

const std::string kDesktopLink = std::string(FakeMachine::kDesktop) + "\\ZENTA-KOV.lnk";
constexpr const char* kUninstallKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZENTA-KOV";
constexpr const char* kOptionsKey = "Software\\ZENTA\\Options";

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// UninstallMachine over the fake machine's files, links and registry.
class FakeExtra : public UninstallMachine {
public:
    explicit FakeExtra(FakeMachine& m) : m_(m) {}
    std::optional<std::vector<uint8_t>> ReadFile(const std::string& path, size_t limit) override {
        const std::vector<uint8_t>* f = m_.fs.File(path);
        if (!f || f->size() > limit) return std::nullopt;
        return *f;
    }
    std::optional<std::string> LinkTarget(const std::string& link_path) override {
        const auto it = m_.shell.links.find(NormPath(link_path));
        if (it == m_.shell.links.end()) return std::nullopt;
        return it->second.target;
    }
    std::vector<std::string> FolderEntries(const std::string& folder) override {
        const std::string prefix = NormPath(folder) + "\\";
        std::vector<std::string> names;
        const auto add = [&](const std::string& path) {
            if (path.rfind(prefix, 0) == 0 && path.find('\\', prefix.size()) == std::string::npos)
                names.push_back(path.substr(prefix.size()));
        };
        for (const auto& [path, bytes] : m_.fs.files) add(path);
        for (const std::string& dir : m_.fs.dirs) add(dir);
        return names;
    }
    bool DeleteValue(RegRoot root, const std::string& key, const std::string& name) override {
        const auto k = m_.reg.keys.find(FakeRegistry::NormKey(root, key));
        return k != m_.reg.keys.end() && k->second.erase(Lower(name)) != 0;
    }
    bool DeleteEmptyKey(RegRoot root, const std::string& key) override {
        const auto k = m_.reg.keys.find(FakeRegistry::NormKey(root, key));
        if (k == m_.reg.keys.end() || !k->second.empty() || SubkeyCount(root, key) != 0) return false;
        m_.reg.keys.erase(k);
        return true;
    }
    int SubkeyCount(RegRoot root, const std::string& key) override {
        const std::string prefix = FakeRegistry::NormKey(root, key) + "\\";
        int n = 0;
        for (const auto& [k, values] : m_.reg.keys) n += k.rfind(prefix, 0) == 0 ? 1 : 0;
        return n;
    }

private:
    FakeMachine& m_;
};

SetupConfig Copy(const SetupConfig& c) {
    SetupConfig out;
    out.Load(c.Bytes());
    return out;
}

class SilentView : public CopyPageView {
public:
    void SetStatus(const std::string&) override {}
    void ShowFileName(const std::string&) override {}
    void HideFileName() override {}
    void SetProgress(uint32_t, int) override {}
    void HideHeadings() override {}
};

// What the tests compare before the installation and after the uninstallation.
struct Snapshot {
    std::map<std::string, std::vector<uint8_t>> files;
    std::set<std::string> dirs;
    std::map<std::string, std::map<std::string, FakeRegistry::Value>> keys;
    bool operator==(const Snapshot& o) const {
        const auto same_values = [](const auto& a, const auto& b) {
            if (a.size() != b.size()) return false;
            for (auto i = a.begin(), j = b.begin(); i != a.end(); ++i, ++j)
                if (i->first != j->first || i->second.size() != j->second.size()) return false;
            return true;
        };
        return files == o.files && dirs == o.dirs && same_values(keys, o.keys);
    }
};

class Uninstall : public ::testing::Test {
protected:
    Uninstall() {
        m.fs.AddDirTree("C:\\Program Files");
        // The example's files, a file in a sub-folder, and a value of the product's own.
        for (const char* name : {"\\ZENTA-KOV.exe", "\\license.txt", "\\readme.txt", "\\docs\\guide\\a.txt", "\\uninstall.exe"})
            pkg.AddFile(name, 12);
        pkg.SetShortcuts({{"ZENTA-KOV", 0, 0, ""}, {"ZENTA-KOV", 0, 1, ""}, {"License.txt", 1, 1, ""}, {"Guide", 3, 2, ""}});
        pkg.SetRegValues({{"Skin", 1, kOptionsKey, 1, 0, "Blue", 0}});
        pkg.Commit();
        m.shell.processes = {{11, "ZENTA-X.exe"}, {12, "zenta-x.exe"}, {13, "KOV-H-Up.exe"}};
        before = Take();
    }

    Snapshot Take() const { return {m.fs.files, m.fs.dirs, m.reg.keys}; }

    void Install() {
        m.fs.AddDirTree(kFolder);  // the folder page has made it
        m.resources.items["SETUPINI"] = Pack(record.Bytes());
        SetupConfig target = Copy(record);
        target.SetFolder(kFolder);
        testing::RunState run;
        SilentView view;
        InstallContext ctx = run.Context(m, target, pkg.payload_bytes, view);
        RunInstallation(ctx);
        ASSERT_TRUE(run.report.clean());
        m.log.clear();
    }

    // The uninstaller's copy, from the data file the installation left.
    UninstallOutcome Remove() {
        SetupConfig installed;
        Platform p = m.platform();
        EXPECT_EQ(ReadInstallRecord(p, extra, kFolder, installed), RecordState::kOk);
        plan = PlanUninstall(installed, kFolder, p, extra);
        return RunUninstall(plan, LoadUninstallBrand(m.resources), p, extra);
    }

    bool Has(const std::string& path) const { return m.fs.File(path) != nullptr; }
    bool Untouched(const std::string& what) const {
        for (const std::string& line : plan.untouched)
            if (line.rfind(what, 0) == 0) return true;
        return false;
    }

    FakeMachine m;
    FakeExtra extra{m};
    testing::ExamplePackage pkg;
    const SetupConfig& record = pkg.config;  // as packaged: no Folder
    Snapshot before;
    UninstallPlan plan;
};

TEST_F(Uninstall, LeavesTheMachineAsBeforeTheInstallation) {
    Install();
    const UninstallOutcome outcome = Remove();
    EXPECT_FALSE(outcome.cancelled);
    EXPECT_TRUE(outcome.folder_removed);
    EXPECT_TRUE(Take() == before);
    // The helper programs were ended first, by their exact names.
    EXPECT_EQ(m.shell.terminated, (std::vector<uint32_t>{11, 13}));
    EXPECT_EQ(m.log.front(), "kill 11");
    EXPECT_TRUE(m.dialogs.boxes.empty());
    EXPECT_EQ(FinishedText(record, plan, outcome), "ZENTA-KOV 已从您的计算机中删除。");
}

TEST_F(Uninstall, KeepsWhatTheUserMadeAndSaysSo) {
    Install();
    m.fs.AddFile(std::string(kFolder) + "\\notes.txt", "mine");
    m.reg.SetString(RegRoot::CurrentUser, kOptionsKey, "Window", "max");  // the product's own setting
    const UninstallOutcome outcome = Remove();
    EXPECT_FALSE(outcome.folder_removed);
    EXPECT_EQ(outcome.left, (std::vector<std::string>{"notes.txt"}));
    EXPECT_EQ(FinishedText(record, plan, outcome),
              "ZENTA-KOV 已从您的计算机中删除。\r\n\r\n下列内容不是由安装程序创建的，已保留：\r\n"
              "C:\\Program Files\\ZENTA-KOV\\notes.txt");
    EXPECT_TRUE(Has(std::string(kFolder) + "\\notes.txt"));
    EXPECT_FALSE(Has(std::string(kFolder) + "\\Z_ta.cx"));
    EXPECT_FALSE(Has(std::string(kFolder) + "\\uninstall.exe"));
    // The record's value went; its key, holding another value, stayed.
    EXPECT_EQ(m.reg.Find(RegRoot::CurrentUser, kOptionsKey, "Skin"), nullptr);
    EXPECT_NE(m.reg.Find(RegRoot::CurrentUser, kOptionsKey, "Window"), nullptr);
    EXPECT_FALSE(m.reg.HasKey(RegRoot::LocalMachine, kUninstallKey));
}

TEST_F(Uninstall, NeverTouchesWhatLiesOutsideOrIsNoLongerItsOwn) {
    Install();
    // A damaged data file naming a file outside the folder; a sub-folder that became a link;
    // a desktop link that now starts another program; the product registered again elsewhere.
    m.fs.AddFile("C:\\Program Files\\outside.txt", "x");
    SetupConfig tampered = Copy(record);
    tampered.SetFile(5, {"\\..\\outside.txt", 0, 1});
    tampered.SetCounts(6, 4, 1);
    m.fs.AddFile(std::string(kFolder) + "\\Z_ta.cx", "");
    m.fs.files[NormPath(std::string(kFolder) + "\\Z_ta.cx")] = Pack(tampered.Bytes());
    m.fs.links.insert(NormPath(std::string(kFolder) + "\\docs"));
    m.shell.links[NormPath(kDesktopLink)].target = "C:\\Other\\ZENTA-KOV.exe";
    m.reg.SetString(RegRoot::LocalMachine, "\\Software\\ZENTA\\ZENTA-KOV", "Folder", "D:\\ZENTA-KOV");
    m.reg.SetString(RegRoot::LocalMachine, kUninstallKey, "UninstallString", "\"D:\\ZENTA-KOV\\uninstall.exe\"");

    const UninstallOutcome outcome = Remove();
    EXPECT_FALSE(outcome.cancelled);
    EXPECT_TRUE(Has("C:\\Program Files\\outside.txt"));
    EXPECT_TRUE(Untouched("\\..\\outside.txt"));
    EXPECT_TRUE(Has(std::string(kFolder) + "\\docs\\guide\\a.txt"));
    EXPECT_TRUE(Untouched(std::string(kFolder) + "\\docs\\guide\\a.txt"));
    EXPECT_TRUE(Has(kDesktopLink));
    EXPECT_TRUE(Untouched(kDesktopLink));
    EXPECT_FALSE(Has(kGroup + "\\ZENTA-KOV.lnk"));
    EXPECT_FALSE(Has(kGroup + "\\卸载ZENTA-KOV.lnk"));
    for (const char* name : {"Setup", "Version", "Folder", "Date"})
        EXPECT_NE(m.reg.Find(RegRoot::LocalMachine, "\\Software\\ZENTA\\ZENTA-KOV", name), nullptr) << name;
    for (const char* name : {"DisplayName", "UninstallString", "NoModify"})
        EXPECT_NE(m.reg.Find(RegRoot::LocalMachine, kUninstallKey, name), nullptr) << name;
    // Another product of the company is still registered: its shared values stay.
    EXPECT_NE(m.reg.Find(RegRoot::LocalMachine, "\\Software\\ZENTA", "Site"), nullptr);
}

TEST_F(Uninstall, FileInUseAsksRetryOrCancelAndCancelKeepsTheRest) {
    Install();
    const std::string readme = std::string(kFolder) + "\\readme.txt";
    m.fs.locked.insert(NormPath(readme));
    m.dialogs.answers = {kIdRetry, kIdCancel};
    const UninstallOutcome outcome = Remove();
    EXPECT_TRUE(outcome.cancelled);
    ASSERT_EQ(m.dialogs.boxes.size(), 2u);
    EXPECT_EQ(m.dialogs.boxes[0].text, kFileInUseRemoveText + readme);
    EXPECT_EQ(m.dialogs.boxes[0].title, " ZENTA");
    EXPECT_EQ(m.dialogs.boxes[0].flags, kMbRetryCancel | kMbIconExclamation);
    // The files before it went; it, the rest, the data file, links and values stayed.
    EXPECT_FALSE(Has(std::string(kFolder) + "\\ZENTA-KOV.exe"));
    EXPECT_TRUE(Has(readme));
    EXPECT_TRUE(Has(std::string(kFolder) + "\\Z_ta.cx"));
    EXPECT_TRUE(Has(std::string(kFolder) + "\\uninstall.exe"));
    EXPECT_TRUE(Has(kDesktopLink));
    EXPECT_TRUE(m.reg.HasKey(RegRoot::LocalMachine, kUninstallKey));
    EXPECT_NE(m.reg.Find(RegRoot::CurrentUser, kOptionsKey, "Skin"), nullptr);

    // Once the file is free, running again finishes the job.
    m.fs.locked.clear();
    m.dialogs.boxes.clear();
    EXPECT_FALSE(Remove().cancelled);
    EXPECT_TRUE(m.dialogs.boxes.empty());
    EXPECT_TRUE(Take() == before);
}

TEST_F(Uninstall, MissingOrDamagedRecordIsRefused) {
    Install();
    Platform p = m.platform();
    SetupConfig c;
    const std::string data_file = std::string(kFolder) + "\\Z_ta.cx";
    SetupConfig bad_name = Copy(record);
    bad_name.SetText(TextField::ProductName, "..\\..\\Windows");
    const std::vector<uint8_t> short_record(100, 0);
    for (const std::vector<uint8_t>& bytes : {std::vector<uint8_t>{1, 2, 3}, Pack(short_record), Pack(bad_name.Bytes())}) {
        m.fs.files[NormPath(data_file)] = bytes;
        EXPECT_EQ(ReadInstallRecord(p, extra, kFolder, c), RecordState::kDamaged);
    }
    m.fs.DeleteFile(data_file);
    EXPECT_EQ(ReadInstallRecord(p, extra, kFolder, c), RecordState::kMissing);
    EXPECT_EQ(RecordProblemText(RecordState::kMissing, kFolder),
              "找不到安装记录文件，无法卸载，没有删除任何内容。\r\nC:\\Program Files\\ZENTA-KOV\\Z_ta.cx");
}

}  // namespace
}  // namespace setup

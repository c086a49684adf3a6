#include "uninstall/plan.h"

#include <algorithm>

#include "base/error.h"
#include "base/text.h"
#include "install/process_kill.h"
#include "install/run.h"
#include "install/shortcuts.h"
#include "package/brand.h"
#include "package/packed_resource.h"
#include "package/record_check.h"
#include "package/safe_name.h"

namespace setup {

namespace {

// Windows compares names without regard to case; only one-byte letters have case here.
std::string Fold(std::string_view gbk) {
    std::string out(gbk);
    for (size_t i = 0; i < out.size(); ++i) {
        if (IsGbkLeadByte(static_cast<uint8_t>(out[i]))) ++i;
        else if (out[i] >= 'A' && out[i] <= 'Z') out[i] = static_cast<char>(out[i] - 'A' + 'a');
    }
    return out;
}

bool Same(std::string_view a, std::string_view b) { return a.size() == b.size() && Fold(a) == Fold(b); }

// True when path names something inside folder: folder, "\", then a safe stored name.
bool Inside(std::string_view path, std::string_view folder) {
    return path.size() > folder.size() + 1 && Same(path.substr(0, folder.size()), folder) &&
           path[folder.size()] == '\\' && IsSafeStoredName(path.substr(folder.size()));
}

// The byte positions of the separators of a GBK path (never a trail byte).
std::vector<size_t> Separators(std::string_view path) {
    std::vector<size_t> at;
    for (size_t i = 0; i < path.size(); ++i) {
        if (IsGbkLeadByte(static_cast<uint8_t>(path[i]))) ++i;
        else if (path[i] == '\\') at.push_back(i);
    }
    return at;
}

std::string KeyName(std::string_view key) {
    while (!key.empty() && key.front() == '\\') key.remove_prefix(1);
    while (!key.empty() && key.back() == '\\') key.remove_suffix(1);
    return std::string(key);
}

void AddUnique(std::vector<std::string>& list, const std::string& item) {
    for (const std::string& s : list)
        if (Same(s, item)) return;
    list.push_back(item);
}

void PlanFiles(const SetupConfig& c, const std::string& folder, Platform& p, UninstallPlan& plan) {
    std::vector<std::string> folders;
    for (int i = 0; i < c.FileCount(); ++i) {
        const std::string name = c.File(i).name;
        if (name.find("*.") != std::string::npos) continue;  // the setup skips such rows
        if (!IsSafeStoredName(name)) {
            plan.untouched.push_back(name + ": not a name inside the folder");
            continue;
        }
        // The uninstaller and the data file go at their own steps.
        if (Same(name, kUninstallerName) || Same(name, kDataFileName)) continue;
        const std::string path = folder + name;
        std::vector<std::string> parents;
        bool linked = false;
        for (size_t at : Separators(name))
            if (at > 0) {
                parents.push_back(folder + name.substr(0, at));
                linked = linked || p.fs.IsLink(parents.back());
            }
        if (linked || p.fs.IsLink(path)) {
            plan.untouched.push_back(path + ": a link or inside a linked folder");
            continue;
        }
        if (!p.fs.FileExists(path)) continue;
        AddUnique(plan.files, path);
        for (const std::string& parent : parents) AddUnique(folders, parent);
    }
    const std::string data_file = folder + kDataFileName;
    if (p.fs.FileExists(data_file) && !p.fs.IsLink(data_file)) plan.files.push_back(data_file);
    std::stable_sort(folders.begin(), folders.end(), [](const std::string& a, const std::string& b) {
        return Separators(a).size() > Separators(b).size();
    });
    plan.folders = std::move(folders);
}

void PlanLinks(const SetupConfig& c, const std::string& folder, Platform& p, UninstallMachine& m, UninstallPlan& plan) {
    const std::string product = c.ProductName();
    const std::string desktop = GetDesktopFolder(p.reg);
    const std::string programs = GetProgramsFolder(p.reg);
    const bool have_desktop = !desktop.empty() && p.fs.DirectoryExists(desktop);
    std::string group;
    if (!programs.empty() && IsPlainFileName(product) && p.fs.DirectoryExists(programs + "\\" + product) &&
        !p.fs.IsLink(programs + "\\" + product))
        group = programs + "\\" + product;

    const auto consider = [&](const std::string& dir, const std::string& link_name) {
        if (dir.empty() || !IsPlainFileName(link_name)) return;
        const std::string lnk = dir + "\\" + link_name + ".lnk";
        if (!p.fs.FileExists(lnk)) return;
        const std::optional<std::string> target = p.fs.IsLink(lnk) ? std::nullopt : m.LinkTarget(lnk);
        if (target && Inside(*target, folder)) AddUnique(plan.links, lnk);
        else plan.untouched.push_back(lnk + ": points elsewhere");
    };
    for (int j = 0; j < c.ShortcutCount(); ++j) {
        const ShortcutRow row = c.Shortcut(j);
        if (row.place != 0) consider(group, row.link_name);
        if (row.place != 1) consider(have_desktop ? desktop : "", row.link_name);
    }
    consider(group, "卸载" + product);
    plan.group = group;
}

void PlanRegistry(const SetupConfig& c, const std::string& folder, Platform& p, UninstallPlan& plan) {
    constexpr RegRoot kLm = RegRoot::LocalMachine;
    const std::string install_key = InstallKey(c);
    const std::optional<std::string> installed_at = p.reg.GetString(kLm, install_key, value::kFolder);
    if (installed_at && Same(*installed_at, folder)) {
        for (const char* name : kInstallKeyValues) plan.values.push_back({kLm, install_key, name});
        plan.keys.push_back({kLm, install_key, ""});
    } else if (installed_at) {
        plan.untouched.push_back("HKEY_LOCAL_MACHINE" + install_key + ": registered for " + *installed_at);
    }

    const std::string uninstall_key = kUninstallKeyPrefix + c.ProductName();
    const std::optional<std::string> command = p.reg.GetString(kLm, uninstall_key, value::kUninstallString);
    if (command && (Same(*command, UninstallCommand(folder)) || Same(*command, folder + kUninstallerName))) {
        for (const char* name : kUninstallEntryValues) plan.values.push_back({kLm, uninstall_key, name});
        plan.keys.push_back({kLm, uninstall_key, ""});
    } else if (command) {
        plan.untouched.push_back("HKEY_LOCAL_MACHINE" + uninstall_key + ": uninstalled by " + *command);
    }

    // The record's own values by name; their keys, and the keys above them that the setup may
    // have made, when nothing else is left in them (never a key at the top of a root).
    std::vector<RegRef> keys;
    for (int i = 0; i < c.RegValueCount(); ++i) {
        const RegValueRow row = c.RegValue(i);
        const RegRoot root = row.root != 0 ? RegRoot::CurrentUser : kLm;
        const std::string key = KeyName(row.key_path);
        if (key.empty()) continue;
        if (row.kind <= 2) plan.values.push_back({root, key, row.value_name});
        std::string k = key;
        for (std::vector<size_t> seps = Separators(k); !seps.empty(); seps.pop_back()) {
            bool seen = false;
            for (const RegRef& r : keys) seen = seen || (r.root == root && Same(r.key, k));
            if (!seen) keys.push_back({root, k, ""});
            k = k.substr(0, seps.back());
        }
    }
    std::stable_sort(keys.begin(), keys.end(), [](const RegRef& a, const RegRef& b) {
        return Separators(a.key).size() > Separators(b.key).size();
    });
    plan.keys.insert(plan.keys.end(), keys.begin(), keys.end());

    plan.company_key = ProductKey(c);
    for (const char* name : kProductKeyValues) plan.company_values.push_back({kLm, plan.company_key, name});
}

}  // namespace

UninstallBrand LoadUninstallBrand(Resources& resources) {
    // The packager gives a branded package's uninstaller the package's brand. A damaged one
    // must not keep the user from removing the product: the built-in brand stands in.
    const Brand brand = LoadBrand(resources).value_or(Brand{});
    return UninstallBrand{brand.box_title, brand.end_programs};
}

RecordState ReadInstallRecord(Platform& p, UninstallMachine& m, const std::string& folder, SetupConfig& record) {
    const std::string path = folder + kDataFileName;
    if (!p.fs.FileExists(path)) return RecordState::kMissing;
    const std::optional<std::vector<uint8_t>> packed = m.ReadFile(path, kMaxRecordFileSize);
    if (!packed) return RecordState::kDamaged;
    try {
        const std::vector<uint8_t> bytes = Unpack(*packed);
        if (bytes.size() != kRecordSize) return RecordState::kDamaged;
        record.Load(bytes);
    } catch (const Error&) {
        return RecordState::kDamaged;
    }
    return IsDamagedRecord(record) ? RecordState::kDamaged : RecordState::kOk;
}

UninstallPlan PlanUninstall(const SetupConfig& record, const std::string& folder, Platform& p, UninstallMachine& m,
                            bool self_removable) {
    UninstallPlan plan;
    plan.folder = folder;
    PlanFiles(record, folder, p, plan);
    PlanLinks(record, folder, p, m, plan);
    PlanRegistry(record, folder, p, plan);
    const std::string self = folder + kUninstallerName;
    if (self_removable && p.fs.FileExists(self) && !p.fs.IsLink(self)) plan.self = self;
    return plan;
}

UninstallOutcome RunUninstall(const UninstallPlan& plan, const UninstallBrand& brand, Platform& p, UninstallMachine& m) {
    for (const std::string& name : brand.end_programs) KillProcessesByName(p.shell, name);

    // A file whose program was just ended may stay locked for a moment: a second's grace
    // before the question.
    const auto remove = [&](const std::string& path) {
        for (;;) {
            for (int attempt = 0; attempt < 10; ++attempt) {
                if (!p.fs.FileExists(path)) return true;
                p.fs.DeleteFile(path);
                if (!p.fs.FileExists(path)) return true;
                p.shell.Sleep(100);
            }
            if (p.dialogs.MessageBox(kFileInUseRemoveText + path, brand.box_title, kMbRetryCancel | kMbIconExclamation) !=
                kIdRetry)
                return false;
        }
    };

    UninstallOutcome outcome;
    for (const std::string& file : plan.files)
        if (!remove(file)) {
            outcome.cancelled = true;
            return outcome;
        }
    for (const std::string& dir : plan.folders) p.fs.RemoveDirectory(dir);
    for (const std::string& lnk : plan.links) p.fs.DeleteFile(lnk);
    if (!plan.group.empty()) p.fs.RemoveDirectory(plan.group);

    for (const RegRef& v : plan.values) m.DeleteValue(v.root, v.key, v.name);
    for (const RegRef& k : plan.keys) m.DeleteEmptyKey(k.root, k.key);
    if (!plan.company_key.empty() && m.SubkeyCount(RegRoot::LocalMachine, plan.company_key) == 0) {
        for (const RegRef& v : plan.company_values) m.DeleteValue(v.root, v.key, v.name);
        m.DeleteEmptyKey(RegRoot::LocalMachine, plan.company_key);
    }

    if (!plan.self.empty() && !remove(plan.self)) {
        outcome.cancelled = true;
        return outcome;
    }
    p.fs.RemoveDirectory(plan.folder);
    outcome.folder_removed = !p.fs.DirectoryExists(plan.folder);
    if (!outcome.folder_removed)
        for (const std::string& name : m.FolderEntries(plan.folder))
            if (!Same("\\" + name, kUninstallerName)) outcome.left.push_back(name);
    return outcome;
}

std::string ConfirmText(const SetupConfig& record) {
    return "确实要从您的计算机中完全删除 " + record.ProductName() + " 及其所有组件吗？";
}

std::string RecordProblemText(RecordState state, const std::string& folder) {
    const std::string what = state == RecordState::kMissing ? "找不到安装记录文件" : "安装记录文件已损坏";
    return what + "，无法卸载，没有删除任何内容。\r\n" + folder + kDataFileName;
}

std::string FinishedText(const SetupConfig& record, const UninstallPlan& plan, const UninstallOutcome& outcome) {
    if (outcome.cancelled)
        return "卸载已停止，尚未删除的文件、快捷方式和注册表项均已保留。\r\n再次运行卸载程序即可继续卸载。";
    std::string text = record.ProductName() + " 已从您的计算机中删除。";
    if (outcome.left.empty()) return text;
    text += "\r\n\r\n下列内容不是由安装程序创建的，已保留：";
    for (size_t i = 0; i < outcome.left.size() && i < kLeftNamesShown; ++i)
        text += "\r\n" + plan.folder + "\\" + outcome.left[i];
    if (outcome.left.size() > kLeftNamesShown) text += "\r\n……";
    return text;
}

}  // namespace setup

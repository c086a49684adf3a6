#include "install/run.h"
#include "package/format.h"

#include <algorithm>
#include <cstdint>

#include "base/error.h"
#include "install/file_copy.h"
#include "install/finish.h"
#include "install/shortcuts.h"
#include "package/safe_name.h"

namespace setup {

namespace {

void SetFixedString(Registry& reg, const std::string& key, const std::string& name, const std::string& value) {
    if (!reg.SetString(RegRoot::LocalMachine, key, name, value))
        throw Error("Failed to set data for '" + name + "'");
}

void SetFixedDword(Registry& reg, const std::string& key, const std::string& name, uint32_t value) {
    if (!reg.SetDword(RegRoot::LocalMachine, key, name, value))
        throw Error("Failed to set data for '" + name + "'");
}

void DescribeUninstallEntry(InstallContext& ctx, const std::string& key);

void RegisterInstallation(InstallContext& ctx) {
    Registry& reg = ctx.platform.reg;
    const SetupConfig& c = ctx.config;
    SetFixedString(reg, ctx.product_key, value::kSite, c.Site());
    SetFixedString(reg, ctx.product_key, value::kAuthor, c.Author());
    SetFixedDword(reg, ctx.install_key, value::kSetup, 1);
    SetFixedString(reg, ctx.install_key, value::kVersion, c.Version());
    SetFixedString(reg, ctx.install_key, value::kFolder, c.Folder());
    SetFixedString(reg, ctx.install_key, value::kDate, c.Date());
    const std::string uninstall_key = kUninstallKeyPrefix + c.ProductName();
    SetFixedString(reg, uninstall_key, value::kDisplayName, c.ProductName());
    SetFixedString(reg, uninstall_key, value::kUninstallString, UninstallCommand(c.Folder()));
    DescribeUninstallEntry(ctx, uninstall_key);
}

// What the list of installed programs shows beside the name: version, publisher, size,
// icon, web site; the entry offers neither Modify nor Repair (the setup has neither). A value
// that cannot be written is listed in the report, the run goes on.
void DescribeUninstallEntry(InstallContext& ctx, const std::string& key) {
    Registry& reg = ctx.platform.reg;
    const SetupConfig& c = ctx.config;
    uint64_t bytes = 0;
    for (int i = 0; i < c.FileCount(); ++i) bytes += c.File(i).size;
    const std::vector<std::string> mains = MainProgramTargets(c);
    const auto item = [&](const char* name) { return "HKEY_LOCAL_MACHINE" + key + " " + name; };
    const auto text = [&](const char* name, const std::string& value) {
        if (!value.empty() && !reg.SetString(RegRoot::LocalMachine, key, name, value)) ctx.report.failed.push_back(item(name));
    };
    const auto number = [&](const char* name, uint32_t value) {
        if (!reg.SetDword(RegRoot::LocalMachine, key, name, value)) ctx.report.failed.push_back(item(name));
    };
    text(value::kDisplayVersion, c.Version());
    text(value::kPublisher, c.Company());
    text(value::kInstallLocation, c.Folder());
    if (!mains.empty()) text(value::kDisplayIcon, mains.front());
    number(value::kEstimatedSize, static_cast<uint32_t>(std::min<uint64_t>((bytes + 1023) / 1024, UINT32_MAX)));
    text(value::kUrlInfoAbout, c.Site());
    number(value::kNoModify, 1);
    number(value::kNoRepair, 1);
}

// The record's own values; each one that cannot be written is left out without a word and
// listed in the report.
void WriteExtraValues(InstallContext& ctx) {
    Registry& reg = ctx.platform.reg;
    const int count = ctx.config.RegValueCount();
    for (int i = 0; i < count; ++i) {
        const RegValueRow row = ctx.config.RegValue(i);
        const RegRoot root = row.root != 0 ? RegRoot::CurrentUser : RegRoot::LocalMachine;
        bool written = false;
        try {
            switch (row.kind) {
                case 0: written = reg.SetDword(root, row.key_path, row.value_name, row.bool_value != 0 ? 1 : 0); break;
                case 1: written = reg.SetString(root, row.key_path, row.value_name, row.string_value); break;
                case 2:
                    written = reg.SetDword(root, row.key_path, row.value_name, static_cast<uint32_t>(row.int_value));
                    break;
                default: written = reg.CreateKey(root, row.key_path); break;
            }
        } catch (const Error&) {
        }
        if (!written) {
            std::string key = row.key_path;
            if (!key.empty() && key.front() == '\\') key.erase(0, 1);
            ctx.report.failed.push_back((row.root != 0 ? "HKEY_CURRENT_USER\\" : "HKEY_LOCAL_MACHINE\\") + key +
                                        (row.kind <= 2 ? " " + row.value_name : ""));
        }
    }
}

void CreateShortcuts(InstallContext& ctx) {
    Platform& p = ctx.platform;
    const SetupConfig& c = ctx.config;
    const std::string folder = c.Folder();
    const std::string product = c.ProductName();
    const int count = c.ShortcutCount();
    for (int j = 0; j < count; ++j) {
        const ShortcutRow row = c.Shortcut(j);
        if (row.file_index >= static_cast<uint32_t>(kMaxRows)) continue;  // outside the file table
        const std::string name = c.File(static_cast<int>(row.file_index)).name;
        // No link to a file the copy refused (a row beyond FileCount, empty, still links).
        if (!name.empty() && !IsSafeStoredName(name)) continue;
        const std::string target = folder + name;
        const std::string missing = kShortcutItem + row.link_name;
        if (row.place == 0) {
            if (!CreateDesktopShortcut(p, target, row.link_name, row.arguments)) ctx.report.failed.push_back(missing);
        } else if (row.place == 1) {
            if (!CreateGroupShortcut(p, product, target, row.link_name, row.arguments)) ctx.report.failed.push_back(missing);
        } else {
            if (!CreateGroupShortcut(p, product, target, row.link_name, row.arguments)) ctx.report.failed.push_back(missing);
            if (!CreateDesktopShortcut(p, target, row.link_name, row.arguments)) ctx.report.failed.push_back(missing);
        }
    }
    if (!CreateGroupShortcut(p, product, folder + "\\uninstall.exe", "卸载" + product, ""))
        ctx.report.failed.push_back(kShortcutItem + ("卸载" + product));
}

}  // namespace

std::string UninstallCommand(const std::string& folder) {
    // Quoted: an unquoted path with blanks lets Windows try C:\Program.exe first.
    return "\"" + folder + "\\uninstall.exe\"";
}

void WritePackedRecord(Platform& p, const std::string& path) {
    const std::span<const uint8_t> record = p.resources.Find(kRecordResource);
    // Written beside an existing data file and moved over it whole.
    const FileSystem::WriteResult result = p.fs.WriteFile(path, record);
    if (!result.ok()) throw Error(WriteFailureText(path, result));
}

void RunInstallation(InstallContext& ctx) {
    ctx.installing = true;
    ctx.view.SetStatus(kStatusCopying);
    CopyFiles(ctx);

    WritePackedRecord(ctx.platform, ctx.config.Folder() + kDataFileName);

    ctx.view.SetStatus(kStatusRegistering);
    ctx.view.HideFileName();
    RegisterInstallation(ctx);
    WriteExtraValues(ctx);

    ctx.view.SetStatus(kStatusShortcuts);
    CreateShortcuts(ctx);

    ctx.installing = false;
    ctx.view.HideHeadings();
}

}  // namespace setup

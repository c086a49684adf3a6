#include "install/run.h"

#include <new>
#include <vector>

#include "base/error.h"
#include "install/force_folder.h"
#include "install/path_text.h"
#include "install/shortcuts.h"
#include "package/safe_name.h"

namespace setup {

namespace {

// Writes one packed file. False when anything fails; the caller reports it.
bool WritePackedFile(FileSystem& fs, const Payload& payload, const FileRow& row, const std::string& target) {
    // A range past the payload is refused before the old file is touched.
    const auto bytes = payload.Range(row.offset, row.size);
    if (!bytes) return false;
    try {
        if (fs.FileExists(target)) fs.DeleteFile(target);  // advisory; the write below decides
        // Written straight from the payload: it is already whole in memory, and a copy of
        // each file would cost its size again in memory and a fresh page fault per page.
        return fs.WriteFile(target, *bytes).ok();
    } catch (const Error&) {
        return false;
    }
}

void CopyFiles(InstallContext& ctx) {
    Platform& p = ctx.platform;
    const std::string folder = ctx.config.Folder();
    const int count = ctx.config.FileCount();
    for (int i = 0; i < count; ++i) {
        const FileRow row = ctx.config.File(i);
        const std::string target = folder + row.name;
        if (target.find("*.") != std::string::npos) continue;  // wildcard rows are never files

        // A stored name that would leave the target folder (or that Windows would read as
        // something else: a device, a stream) is reported like an unwritable file, and its
        // folders are not created.
        const bool safe = IsSafeStoredName(row.name);
        if (safe && !ForceFolder(p.fs, FolderOf(target))) continue;

        ctx.view.ShowFileName(ShortenPath(target, kFileNameDisplayLimit));
        if (!safe || !WritePackedFile(p.fs, ctx.payload, row, target))
            p.dialogs.MessageBox(kFileErrorText + target, kMessageTitle, kMbOk | kMbIconInformation);
        ctx.view.SetProgress(kCopyBarColour, static_cast<int>(int64_t{i} * 100 / count));
    }
}

void SetFixedString(Registry& reg, const std::string& key, const std::string& name, const std::string& value) {
    if (!reg.SetString(RegRoot::LocalMachine, key, name, value))
        throw Error("Failed to set data for '" + name + "'");
}

void SetFixedDword(Registry& reg, const std::string& key, const std::string& name, uint32_t value) {
    if (!reg.SetDword(RegRoot::LocalMachine, key, name, value))
        throw Error("Failed to set data for '" + name + "'");
}

void RegisterInstallation(InstallContext& ctx) {
    Registry& reg = ctx.platform.reg;
    const SetupConfig& c = ctx.config;
    SetFixedString(reg, ctx.product_key, "Site", c.Site());
    SetFixedString(reg, ctx.product_key, "Author", c.Author());
    SetFixedDword(reg, ctx.install_key, "Setup", 1);
    SetFixedString(reg, ctx.install_key, "Version", c.Version());
    SetFixedString(reg, ctx.install_key, "Folder", c.Folder());
    SetFixedString(reg, ctx.install_key, "Date", c.Date());
    const std::string uninstall_key = kUninstallKeyPrefix + c.ProductName();
    SetFixedString(reg, uninstall_key, "DisplayName", c.ProductName());
    SetFixedString(reg, uninstall_key, "UninstallString", UninstallCommand(c.Folder()));
}

// The record's own values; each one that cannot be written is left out without a word.
void WriteExtraValues(InstallContext& ctx) {
    Registry& reg = ctx.platform.reg;
    const int count = ctx.config.RegValueCount();
    for (int i = 0; i < count; ++i) {
        const RegValueRow row = ctx.config.RegValue(i);
        const RegRoot root = row.root != 0 ? RegRoot::CurrentUser : RegRoot::LocalMachine;
        try {
            switch (row.kind) {
                case 0: reg.SetDword(root, row.key_path, row.value_name, row.bool_value != 0 ? 1 : 0); break;
                case 1: reg.SetString(root, row.key_path, row.value_name, row.string_value); break;
                case 2: reg.SetDword(root, row.key_path, row.value_name, static_cast<uint32_t>(row.int_value)); break;
                default: reg.CreateKey(root, row.key_path); break;
            }
        } catch (const Error&) {
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
        if (row.place == 0) {
            CreateDesktopShortcut(p, target, row.link_name, row.arguments);
        } else if (row.place == 1) {
            CreateGroupShortcut(p, product, target, row.link_name, row.arguments);
        } else {
            CreateGroupShortcut(p, product, target, row.link_name, row.arguments);
            CreateDesktopShortcut(p, target, row.link_name, row.arguments);
        }
    }
    CreateGroupShortcut(p, product, folder + "\\uninstall.exe", "卸载" + product, "");
}

}  // namespace

std::string UninstallCommand(const std::string& folder) {
    // Quoted: an unquoted path with blanks lets Windows try C:\Program.exe first.
    return "\"" + folder + "\\uninstall.exe\"";
}

void WritePackedRecord(Platform& p, const std::string& path) {
    const std::span<const uint8_t> record = p.resources.Find("SETUPINI");
    if (p.fs.FileExists(path)) p.fs.DeleteFile(path);
    const FileSystem::WriteResult result = p.fs.WriteFile(path, record);
    if (result.stage == FileSystem::WriteResult::kCreateFailed)
        throw Error("Cannot create file \"" + path + "\". " + result.reason);
    if (result.stage == FileSystem::WriteResult::kWriteFailed)
        throw Error("Cannot write file \"" + path + "\". " + result.reason);
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

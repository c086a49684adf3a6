#include "install/shortcuts.h"

#include "base/error.h"
#include "install/path_text.h"
#include "package/safe_name.h"

namespace setup {

std::string GetDesktopFolder(Registry& reg) {
    return reg.GetString(RegRoot::CurrentUser, kShellFoldersKey, "Desktop").value_or("");
}

std::string GetProgramsFolder(Registry& reg) {
    return reg.GetString(RegRoot::CurrentUser, kShellFoldersKey, "Programs").value_or("");
}

bool CreateShortcutFile(Shell& shell, const std::string& target, const std::string& link_name,
                        const std::string& folder, const std::string& arguments) {
    // The link name comes from the package: keep every link inside its shell folder.
    if (!IsPlainFileName(link_name)) return false;
    const std::string link_path = folder + "\\" + link_name + ".lnk";
    ShellLinkFields fields;
    fields.target = target;
    fields.arguments = arguments;
    fields.icon_path = target;
    fields.icon_index = 0;
    fields.working_dir = FolderWithSeparator(target);
    const Shell::LinkResult result = shell.CreateShellLink(link_path, fields);
    if (result == Shell::LinkResult::kObjectFailed) throw Error("Cannot create the shell link \"" + link_path + "\"");
    return result == Shell::LinkResult::kOk;
}

bool CreateDesktopShortcut(Platform& p, const std::string& target, const std::string& link_name,
                           const std::string& arguments) {
    const std::string desktop = GetDesktopFolder(p.reg);
    if (desktop.empty() || !p.fs.DirectoryExists(desktop)) return false;
    return CreateShortcutFile(p.shell, target, link_name, desktop, arguments);
}

bool CreateGroupShortcut(Platform& p, const std::string& group, const std::string& target,
                         const std::string& link_name, const std::string& arguments) {
    const std::string programs = GetProgramsFolder(p.reg);
    if (programs.empty() || !p.fs.DirectoryExists(programs)) return false;
    const std::string group_folder = group.empty() ? programs : programs + "\\" + group;
    // One level only, and only a plain name: a group such as "..\x" must not land outside
    // Programs. An empty group puts the links into Programs itself.
    const bool plain = group.empty() || IsPlainFileName(group);
    p.fs.SetCurrentDirectory(programs);
    if (plain && !group.empty()) p.fs.CreateDirectory(group_folder);  // an existing one is fine
    if (!plain || !p.fs.SetCurrentDirectory(group_folder))
        throw Error("Cannot create folder \"" + group_folder + "\"");
    return CreateShortcutFile(p.shell, target, link_name, group_folder, arguments);
}

}  // namespace setup

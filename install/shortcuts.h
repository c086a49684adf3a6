// shortcuts.h: shortcut files (.lnk) on the current user's desktop and in the product's
// program group under the current user's start-menu Programs folder.
//
// Both folders come from the per-user "Shell Folders" key (read only, never created). A
// missing folder, a link name that is not a plain file name, or COM refusing to start makes
// the shortcut silently absent. Two failures raise setup::Error and so end the installation
// run: the group folder cannot be entered, and the shell link object (or one of its
// interfaces) cannot be obtained.
#pragma once

#include <string>

#include "base/platform.h"

namespace setup {

// HKEY_CURRENT_USER key holding the "Desktop" and "Programs" string values.
inline constexpr const char* kShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// The "Desktop" / "Programs" value; empty when the key or the value is missing.
std::string GetDesktopFolder(Registry& reg);
std::string GetProgramsFolder(Registry& reg);

// The shortcut folder + "\" + link_name + ".lnk" for target: arguments as given, the icon of
// the target with index 0, the working directory the target's folder with its trailing "\".
// An existing link of that name is replaced. COM that cannot be initialised: nothing, silently.
// Throws Error("Cannot create the shell link \"<link path>\"") when the link object or its
// interfaces cannot be obtained. False when no link was written.
bool CreateShortcutFile(Shell& shell, const std::string& target, const std::string& link_name,
                        const std::string& folder, const std::string& arguments);

// A shortcut in the desktop folder; nothing when the folder is unknown or missing. False when
// no link was written.
bool CreateDesktopShortcut(Platform& p, const std::string& target, const std::string& link_name,
                           const std::string& arguments);

// A shortcut in Programs + "\" + group, creating that one folder level when missing (an
// existing group folder is reused). Nothing when the Programs folder is unknown or missing.
// Throws Error("Cannot create folder \"<Programs>\<group>\"") when the group folder can be
// neither made nor entered (a group name that is not a plain folder name counts as such;
// an empty group means Programs itself).
// Afterwards the process's current directory is the group folder. False when no link was
// written.
bool CreateGroupShortcut(Platform& p, const std::string& group, const std::string& target,
                         const std::string& link_name, const std::string& arguments);

}  // namespace setup

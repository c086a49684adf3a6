// finish.h: what "完成" on the finished page does, and the deferred launcher that starts the
// installed program after the setup program has ended.
//
// The launcher is a batch file, "temp.bat", run hidden by the command processor: it waits
// three seconds (CHOICE with a default answer), starts every main program in its own folder,
// and is then deleted with its folder. Main programs are the targets of the Shortcuts rows
// whose Place is 0 or 2 (the rows that make a desktop shortcut), in table order.
//
// The launcher runs elevated, so nothing it does may depend on what a user can change: the
// file lies in a folder of its own under the Windows folder's Temp that only administrators
// can write; the command processor and CHOICE are started by their full paths from the system
// folder, which is also the command processor's current folder; AutoRun commands and the
// user's command-processor settings are switched off. The batch text is ASCII and names every
// path through an environment variable (passed as UTF-16, expanded with delayed expansion,
// which never expands a value again), so "%", "&", "^", "!" and any character survive
// whatever the console code page.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/platform.h"
#include "install/site.h"
#include "package/setup_config.h"

namespace setup {

// The state of the finished page when "完成" is pressed.
struct FinishChoices {
    bool open_tutorial = true;   // StartProgramCb ("查看使用教程")
    bool start_program = true;   // CheckBoxG ("启动 " + ProductName)
    std::string folder_text;     // the text of FolderEd
};

// CancelBtClick on page 5 (Installing false): the tutorial page when asked for, then either
// StartInstalledProgram or Explorer on the target folder ("explore" on folder_text, its
// parent folder with the trailing "\" as directory, SW_SHOWNORMAL, no owner). The caller then
// ends the program. An Error from the launcher escapes; the caller shows it and stays on
// page 5 (pressing "完成" again repeats everything).
// The tutorial page lies under `site` (the brand's).
void RunFinishActions(const SetupConfig& config, Platform& p, const FinishChoices& choices,
                      std::string_view site = kSiteRoot);

// Writes one launcher for every main program and starts it: 500 ms pause, then the command
// processor, hidden. Nothing is written or started when the record has no main program.
// Throws Error when the batch cannot be written.
void StartInstalledProgram(const SetupConfig& config, Platform& p);

// Targets of the main-program rows, Folder + Name, in table order, each once. Rows whose
// FileIndex lies outside the file table, or whose stored name is not a safe file name (the run
// never wrote it), are left out.
std::vector<std::string> MainProgramTargets(const SetupConfig& config);

// Where the launcher's folder is made, and the start of its name.
std::string LauncherParent(FileSystem& fs);
inline constexpr const char* kLauncherFolderPrefix = "ZENTA-launch-";
inline constexpr const char* kLauncherName = "temp.bat";

// The launcher's text, ASCII, CR LF line ends; program i (from 1) is ZS_PROGRAM_<i>, started
// with ZS_FOLDER_<i> as its current folder.
std::string LauncherBatchText(size_t program_count);

// The command processor's start for the launcher at `batch` (inside its folder): the batch,
// then, once it has returned, its deletion and its folder's removal (a batch file is read
// line by line while it runs, and may still be held open by its last line).
ProcessStart LauncherStart(const std::vector<std::string>& targets, const std::string& batch,
                           const std::string& system_folder);

// Writes the launcher into a new administrators-only folder and returns its path. Throws
// Error("Cannot create file \"<path>\". <reason>") or Error("Cannot write file ...").
std::string WriteLauncherBatch(FileSystem& fs, size_t program_count);

}  // namespace setup

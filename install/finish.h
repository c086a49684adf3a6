// finish.h: what "完成" on the finished page does, and the deferred launcher that starts the
// installed program after the setup program has ended.
//
// The launcher is a batch file, "temp.bat" next to the setup program, run hidden by the
// command processor: it waits three seconds (CHOICE with a default answer), starts every main
// program, and deletes itself. Main programs are the targets of the Shortcuts rows whose Place
// is 0 or 2 (the rows that make a desktop shortcut), in table order.
#pragma once

#include <string>
#include <vector>

#include "base/platform.h"
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
void RunFinishActions(const SetupConfig& config, Platform& p, const FinishChoices& choices);

// Writes one launcher for every main program and starts it: 500 ms pause, then ShellExecute
// "open" on the batch file, SW_HIDE, the wizard window as owner. Nothing is written or started
// when the record has no main program. Throws Error when the batch cannot be written.
void StartInstalledProgram(const SetupConfig& config, Platform& p);

// Targets of the main-program rows, Folder + Name, in table order, each once. Rows whose
// FileIndex lies outside the file table, or whose stored name is not a safe file name (the run
// never wrote it), are left out.
std::vector<std::string> MainProgramTargets(const SetupConfig& config);

// Full path of the launcher: the setup program's folder (trailing "\") + "temp.bat".
std::string LauncherPath(FileSystem& fs);

// The launcher's text, GBK, CR LF line ends:
//   @echo off / echoc / CHOICE /T 3 /C ync /CS /D y /n  / echoc /
//   start "" "<target>" / echoc      (one pair per target)
//   Del "<batch path>" / echoc / exit
// Paths are quoted, and "%" is doubled so that the command processor keeps it literal.
std::string LauncherBatchText(const std::vector<std::string>& targets, const std::string& batch_path);

// Writes the launcher fresh (never through an existing file, folder or link) and returns its
// path. Throws Error("Cannot create file \"<path>\". <reason>") or
// Error("Cannot write file \"<path>\". <reason>").
std::string WriteLauncherBatch(FileSystem& fs, const std::vector<std::string>& targets);

}  // namespace setup

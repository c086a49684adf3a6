#include "install/finish.h"

#include <algorithm>

#include "base/error.h"
#include "install/path_text.h"
#include "install/web.h"
#include "package/safe_name.h"

namespace setup {

namespace {

constexpr uint32_t kLauncherPauseMs = 500;

std::string ProgramVar(size_t i) { return "ZS_PROGRAM_" + std::to_string(i); }
std::string FolderVar(size_t i) { return "ZS_FOLDER_" + std::to_string(i); }
// A variable inside a batch line: "!" is delayed expansion, which inserts the value as it is
// ("%" would be expanded when the line is read, and by some command processors once more).
std::string Expand(const std::string& var) { return "!" + var + "!"; }

bool SamePath(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

}  // namespace

std::vector<std::string> MainProgramTargets(const SetupConfig& config) {
    std::vector<std::string> targets;
    const std::string folder = config.Folder();
    const int count = config.ShortcutCount();
    for (int j = 0; j < count; ++j) {
        const ShortcutRow row = config.Shortcut(j);
        if (row.place != 0 && row.place != 2) continue;
        if (row.file_index >= static_cast<uint32_t>(kMaxRows)) continue;
        const std::string name = config.File(static_cast<int>(row.file_index)).name;
        if (!IsSafeStoredName(name)) continue;
        const std::string target = folder + name;
        // Two rows for one program (a desktop link and a "both" link) start it once.
        if (std::none_of(targets.begin(), targets.end(), [&](const std::string& t) { return SamePath(t, target); }))
            targets.push_back(target);
    }
    return targets;
}

std::string LauncherParent(FileSystem& fs) { return fs.WindowsFolder() + "\\Temp"; }

std::string LauncherBatchText(size_t program_count) {
    std::string text = "@echo off\r\n"
                       "\"" + Expand("ZS_CHOICE") + "\" /T 3 /C ync /CS /D y /n \r\n";
    for (size_t i = 1; i <= program_count; ++i)
        text += "start \"\" /d \"" + Expand(FolderVar(i)) + "\" \"" + Expand(ProgramVar(i)) + "\"\r\n";
    return text;
}

ProcessStart LauncherStart(const std::vector<std::string>& targets, const std::string& batch,
                           const std::string& system_folder) {
    ProcessStart start;
    start.program = system_folder + "\\cmd.exe";
    // /d: no AutoRun commands; /e:on /v:on: extensions and delayed expansion whatever the
    // user's settings say; /s: only the outer quotes of the command are taken off. CALL reads
    // "%" in its line once more, which only ever meets the launcher's own folder.
    start.command_line = QuoteArgument(start.program) +
                         " /d /e:on /v:on /s /c \"call \"!ZS_LAUNCHER!\" & del \"!ZS_LAUNCHER!\" & "
                         "rd \"!ZS_LAUNCHER_DIR!\"\"";
    start.dir = system_folder;
    start.show_cmd = kSwHide;
    start.environment = {{"ZS_CHOICE", system_folder + "\\choice.exe"},
                         {"ZS_LAUNCHER", batch},
                         {"ZS_LAUNCHER_DIR", FolderOf(batch)}};
    for (size_t i = 0; i < targets.size(); ++i) {
        start.environment.emplace_back(ProgramVar(i + 1), targets[i]);
        start.environment.emplace_back(FolderVar(i + 1), WorkingFolderOf(targets[i]));
    }
    return start;
}

std::string WriteLauncherBatch(FileSystem& fs, size_t program_count) {
    const std::string parent = LauncherParent(fs);
    FileSystem::WriteResult result;
    const std::string folder = fs.CreatePrivateFolder(parent, kLauncherFolderPrefix, result);
    if (folder.empty()) throw Error(WriteFailureText(parent + "\\" + kLauncherName, result));
    const std::string path = folder + "\\" + kLauncherName;
    const std::string text = LauncherBatchText(program_count);
    const auto bytes = std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    result = fs.WriteNewFile(path, bytes);
    if (!result.ok()) {
        fs.RemoveDirectory(folder);
        throw Error(WriteFailureText(path, result));
    }
    return path;
}

void StartInstalledProgram(const SetupConfig& config, Platform& p) {
    const std::vector<std::string> targets = MainProgramTargets(config);
    if (targets.empty()) return;
    const std::string batch = WriteLauncherBatch(p.fs, targets.size());
    p.shell.Sleep(kLauncherPauseMs);
    if (!p.shell.StartProcess(LauncherStart(targets, batch, p.fs.SystemFolder()))) {
        // Nothing will run it: leave nothing behind.
        p.fs.DeleteFile(batch);
        p.fs.RemoveDirectory(FolderOf(batch));
    }
}

void RunFinishActions(const SetupConfig& config, Platform& p, const FinishChoices& choices, std::string_view site) {
    if (choices.open_tutorial) BPingClick(p.reg, p.shell, config.ProductName(), site);
    if (choices.start_program) {
        StartInstalledProgram(config, p);
    } else {
        p.shell.Execute("explore", choices.folder_text, "", FolderWithSeparator(choices.folder_text),
                        kSwShowNormal, false);
    }
}

}  // namespace setup

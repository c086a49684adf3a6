#include "install/finish.h"

#include <algorithm>

#include "base/error.h"
#include "install/path_text.h"
#include "install/web.h"
#include "package/safe_name.h"

namespace setup {

namespace {

constexpr const char* kLauncherName = "temp.bat";
constexpr uint32_t kLauncherPauseMs = 500;

// A path as one batch-file argument: in double quotes, with "%" doubled (inside a batch file
// "%x%" would otherwise expand even between quotes).
std::string BatchQuoted(const std::string& path) {
    std::string out = "\"";
    for (char ch : path) {
        out += ch;
        if (ch == '%') out += '%';
    }
    return out + "\"";
}

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

std::string LauncherPath(FileSystem& fs) {
    std::string folder = fs.ModuleFolder();
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    return folder + kLauncherName;
}

std::string LauncherBatchText(const std::vector<std::string>& targets, const std::string& batch_path) {
    std::string text = "@echo off\r\n"
                       "echoc\r\n"
                       "CHOICE /T 3 /C ync /CS /D y /n \r\n"
                       "echoc\r\n";
    for (const std::string& target : targets) text += "start \"\" " + BatchQuoted(target) + "\r\nechoc\r\n";
    text += "Del " + BatchQuoted(batch_path) + "\r\n"
            "echoc\r\n"
            "exit\r\n";
    return text;
}

std::string WriteLauncherBatch(FileSystem& fs, const std::vector<std::string>& targets) {
    const std::string path = LauncherPath(fs);
    const std::string text = LauncherBatchText(targets, path);
    const auto bytes = std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    const FileSystem::WriteResult result = fs.WriteNewFile(path, bytes);
    if (result.stage == FileSystem::WriteResult::kCreateFailed)
        throw Error("Cannot create file \"" + path + "\". " + result.reason);
    if (result.stage == FileSystem::WriteResult::kWriteFailed)
        throw Error("Cannot write file \"" + path + "\". " + result.reason);
    return path;
}

void StartInstalledProgram(const SetupConfig& config, Platform& p) {
    const std::vector<std::string> targets = MainProgramTargets(config);
    if (targets.empty()) return;
    const std::string batch = WriteLauncherBatch(p.fs, targets);
    p.shell.Sleep(kLauncherPauseMs);
    p.shell.Execute("open", batch, "", "", kSwHide, true);
}

void RunFinishActions(const SetupConfig& config, Platform& p, const FinishChoices& choices) {
    if (choices.open_tutorial) BPingClick(p.reg, p.shell, config.ProductName());
    if (choices.start_program) {
        StartInstalledProgram(config, p);
    } else {
        p.shell.Execute("explore", choices.folder_text, "", FolderWithSeparator(choices.folder_text),
                        kSwShowNormal, false);
    }
}

}  // namespace setup

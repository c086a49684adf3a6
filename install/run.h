// run.h: the installation run, the one operation that changes the machine.
//
// The wizard calls RunInstallation once, from NextBtClick on page 3, after it has made the
// copying page (page 4) active and repainted it; when the call returns normally it makes the
// finished page (page 5) active. The run keeps the message loop waiting: it repaints the
// copying page's controls through CopyPageView, which, between pieces of the payload, keeps
// the window responsive (paint and the system's messages, no input); the modal per-file
// message boxes run their own loops.
//
// What it does, in order: writes every packed file into Folder, writes the data file
// Folder + "\Z_ta.cx" (the "SETUPINI" resource bytes unchanged), records the installation
// under HKEY_LOCAL_MACHINE (ProductKey, InstallKey, the Uninstall entry), writes the record's
// extra registry values, and creates the shortcuts (the uninstall shortcut last).
//
// Failures:
//   - a packed file that cannot be written (or whose stored name or payload range is unusable)
//     gets its own information box naming the full path, and the run goes on (file_copy.h);
//   - a file whose old copy is in use asks Retry / Cancel first;
//   - a file folder that cannot be created (or a folder inside the target that is a link) is
//     reported like an unwritable file; an extra registry value or a shortcut that cannot be
//     made is left out without a word;
//   - every one of these is listed in the report, for the finished page;
//   - anything else (the data file cannot be created, a fixed registry value cannot be set,
//     the group folder cannot be entered, the shell link object is unavailable) throws
//     setup::Error out of RunInstallation, with `installing` still true; the caller shows
//     ErrorBoxText(e.text()) in the error box, counts it as a failure and moves to page 5.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/platform.h"
#include "package/brand.h"
#include "package/payload_stream.h"
#include "package/setup_config.h"

namespace setup {

// The copying page as the run sees it. The wizard implements it on the real controls;
// every call repaints at once (UpdateWindow), since the message loop waits meanwhile.
class CopyPageView {
public:
    virtual ~CopyPageView() = default;
    // WorkLb: caption := text, width := 300 pixels, repaint now.
    virtual void SetStatus(const std::string& text) = 0;
    // FNameLb: caption := text, width := 300 pixels, repaint now.
    virtual void ShowFileName(const std::string& text) = 0;
    // FNameLb: hide, repaint now.
    virtual void HideFileName() = 0;
    // CopyProgress: brush colour := colour and PBM_SETBARCOLOR(colour) (colour is 0x00BBGGRR),
    // then position := position (range 0..100); repaint now.
    virtual void SetProgress(uint32_t colour, int position) = 0;
    // Label8 and Label12: hide.
    virtual void HideHeadings() = 0;
    // Between pieces of the payload, however large a file: the window handles what waits for
    // it (paint, the system's messages) and drops input, which the copying page does not take.
    // A view with no window ignores it.
    virtual void KeepResponsive() {}
};

// What the run could not do, for the finished page: one line per item as the list shows it
// (a file's full path, a registry value, a shortcut), in the order they failed.
struct InstallReport {
    std::vector<std::string> failed;
    std::vector<std::string> failed_files;  // the full paths of the packed files among them
    bool clean() const { return failed.empty(); }
    void AddFile(const std::string& path) {
        failed.push_back(path);
        failed_files.push_back(path);
    }
};

// Everything the run reads and changes, owned by the wizard window.
struct InstallContext {
    const SetupConfig& config;      // Folder is the accepted target folder
    PayloadStream& payload;         // "SETUPPACK", inflated again for the run
    std::string product_key;        // "\Software\" + Company
    std::string install_key;        // ProductKey + "\" + FolderName
    bool& installing;               // the wizard's Installing flag
    InstallReport& report;          // filled by the run
    Platform platform;
    CopyPageView& view;
    std::string box_title = kDefaultBoxTitle;  // the brand's message-box title
};

void RunInstallation(InstallContext& ctx);

// Texts and values of the run.
inline constexpr const char* kStatusCopying = "正在复制文件...";
inline constexpr const char* kStatusRegistering = "正在注册相关信息...";
inline constexpr const char* kStatusShortcuts = "正在创建快捷方式...";
inline constexpr const char* kFileErrorText = "安装下列文件时发生错误，\r\n建议重新启动后再次安装!\r\n";
// A packed file whose old copy is in use: Retry or Cancel, then the path.
inline constexpr const char* kFileInUseText = "下列文件正在被其他程序使用，无法替换。\r\n请关闭该程序后点击“重试”，或点击“取消”跳过此文件。\r\n";
inline constexpr uint32_t kCopyBarColour = 0x0099FF;  // RGB(255, 153, 0)
inline constexpr size_t kFileNameDisplayLimit = 40;
inline constexpr const char* kDataFileName = "\\Z_ta.cx";
// How a shortcut that could not be made is listed in the report: this, then its name.
inline constexpr const char* kShortcutItem = "快捷方式：";
// The values the run writes beside the record's own, by name; the uninstaller removes exactly
// these (ProductKey's, InstallKey's and the uninstall entry's).
namespace value {
inline constexpr const char* kSite = "Site";
inline constexpr const char* kAuthor = "Author";
inline constexpr const char* kSetup = "Setup";
inline constexpr const char* kVersion = "Version";
inline constexpr const char* kFolder = "Folder";
inline constexpr const char* kDate = "Date";
inline constexpr const char* kDisplayName = "DisplayName";
inline constexpr const char* kUninstallString = "UninstallString";
inline constexpr const char* kDisplayVersion = "DisplayVersion";
inline constexpr const char* kPublisher = "Publisher";
inline constexpr const char* kInstallLocation = "InstallLocation";
inline constexpr const char* kDisplayIcon = "DisplayIcon";
inline constexpr const char* kEstimatedSize = "EstimatedSize";
inline constexpr const char* kUrlInfoAbout = "URLInfoAbout";
inline constexpr const char* kNoModify = "NoModify";
inline constexpr const char* kNoRepair = "NoRepair";
}  // namespace value
inline constexpr const char* kProductKeyValues[] = {value::kSite, value::kAuthor};
inline constexpr const char* kInstallKeyValues[] = {value::kSetup, value::kVersion, value::kFolder, value::kDate};
inline constexpr const char* kUninstallEntryValues[] = {
    value::kDisplayName,     value::kUninstallString, value::kDisplayVersion, value::kPublisher,
    value::kInstallLocation, value::kDisplayIcon,     value::kEstimatedSize,  value::kUrlInfoAbout,
    value::kNoModify,        value::kNoRepair};
inline constexpr const char* kUninstallKeyPrefix = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// "<Folder>\uninstall.exe" in double quotes, as the Uninstall entry's command line.
std::string UninstallCommand(const std::string& folder);

// Writes the "SETUPINI" resource bytes unchanged to path, replacing an existing file once
// the new one is complete.
// Throws Error("Cannot create file \"<path>\". <reason>") when the file cannot be created and
// Error("Cannot write file \"<path>\". <reason>") when its bytes cannot be written.
void WritePackedRecord(Platform& p, const std::string& path);

}  // namespace setup

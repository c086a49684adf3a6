// run.h: the installation run, the one operation that changes the machine.
//
// The wizard calls RunInstallation once, from NextBtClick on page 3, after it has made the
// copying page (page 4) active and repainted it; when the call returns normally it makes the
// finished page (page 5) active. The run does not dispatch messages (apart from the modal
// per-file message boxes); it repaints the copying page's controls through CopyPageView.
//
// What it does, in order: writes every packed file into Folder, writes the data file
// Folder + "\Z_ta.cx" (the "SETUPINI" resource bytes unchanged), records the installation
// under HKEY_LOCAL_MACHINE (ProductKey, InstallKey, the Uninstall entry), writes the record's
// extra registry values, and creates the shortcuts (the uninstall shortcut last).
//
// Failures:
//   - a packed file that cannot be written (or whose stored name or payload range is unusable)
//     gets its own information box naming the full path, and the run goes on (file_copy.h);
//   - a file folder that cannot be created, an extra registry value, a missing shell folder:
//     silently skipped;
//   - anything else (the data file cannot be created, a fixed registry value cannot be set,
//     the group folder cannot be entered, the shell link object is unavailable) throws
//     setup::Error out of RunInstallation. `installing` then stays true; the caller shows
//     ErrorBoxText(e.text()) in the error box and does not move to page 5.
#pragma once

#include <cstdint>
#include <string>

#include "base/platform.h"
#include "package/payload_stream.h"
#include "package/setup_config.h"

namespace setup {

// The copying page as the run sees it. The wizard implements it on the real controls;
// every call repaints at once (UpdateWindow), since no messages are processed meanwhile.
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
};

// Everything the run reads and changes, owned by the wizard window.
struct InstallContext {
    const SetupConfig& config;      // Folder is the accepted target folder
    PayloadStream& payload;         // "SETUPPACK", inflated again for the run
    std::string product_key;        // "\Software\" + Company
    std::string install_key;        // ProductKey + "\" + FolderName
    bool& installing;               // the wizard's Installing flag
    Platform platform;
    CopyPageView& view;
};

void RunInstallation(InstallContext& ctx);

// Texts and values of the run.
inline constexpr const char* kStatusCopying = "正在复制文件...";
inline constexpr const char* kStatusRegistering = "正在注册相关信息...";
inline constexpr const char* kStatusShortcuts = "正在创建快捷方式...";
inline constexpr const char* kFileErrorText = "安装下列文件时发生错误，\r\n建议重新启动后再次安装!\r\n";
inline constexpr const char* kMessageTitle = " ZENTA";
inline constexpr uint32_t kCopyBarColour = 0x0099FF;  // RGB(255, 153, 0)
inline constexpr size_t kFileNameDisplayLimit = 40;
inline constexpr const char* kDataFileName = "\\Z_ta.cx";
inline constexpr const char* kUninstallKeyPrefix = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// "<Folder>\uninstall.exe" in double quotes, as the Uninstall entry's command line.
std::string UninstallCommand(const std::string& folder);

// Writes the "SETUPINI" resource bytes unchanged to path, replacing an existing file once
// the new one is complete.
// Throws Error("Cannot create file \"<path>\". <reason>") when the file cannot be created and
// Error("Cannot write file \"<path>\". <reason>") when its bytes cannot be written.
void WritePackedRecord(Platform& p, const std::string& path);

}  // namespace setup

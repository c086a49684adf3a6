// texts.h: the wizard's fixed texts, byte for byte as the user sees them (leading and trailing
// blanks are part of them). The build turns these literals into GBK.
#pragma once

#include <cstddef>
#include <cstdint>

namespace setup::texts {

// Start-up questions.
inline constexpr const char kOverwriteQuestion[] =
    "   护卫提示：青岚护卫软件已经安装,覆盖原来以前的吗？        ";
inline constexpr const char kByteSumQuestion[] = "   护卫提示：文件资源校核不完整,继续吗？      ";
// A record that cannot be installed from (the error box adds the full stop).
inline constexpr const char kDamagedPackage[] = "安装包已损坏，无法安装（";
inline constexpr const char kDamagedPackageEnd[] = "）";
// The start-up check's window, shown when the check takes longer than kCheckWindowDelayMs.
inline constexpr const char kCheckingPackage[] = "正在校验安装包…";
inline constexpr uint64_t kCheckWindowDelayMs = 500;

// Folder page messages.
inline constexpr const char kSelectFolder[] = "  提示：请选择目标文件夹！     ";
inline constexpr const char kFullPathNeeded[] = "必须指定完全路径!\r\n比如:\r\nC:\\ZENTA-Y";
inline constexpr const char kNoDriveRoot[] = "  提示：不能安装到驱动器的根目录下!  ";
inline constexpr const char kCreateFolderFailed[] = "  提示：创建子文件夹失败！         ";
// The installation keeps at most 128 bytes of the folder: a longer one is refused.
inline constexpr const char kFolderTooLong[] = "  提示：目标文件夹路径太长，请选择较短的路径！  ";

// Cancel and close-box question.
inline constexpr const char kQuitQuestion[] =
    "安装程序还没有完成,如果您现在关闭安装程序，程序将退出安装，"
    "\r"
    "您也可以稍后运行安装程序来完成安装。"
    "\r\n"
    "要继续安装，请单击“No”按钮；要退出安装，请单击“Yes”按钮。";

inline constexpr const char kBrowseTitle[] = "选择安装目标文件夹";

// Derived-caption pieces.
inline constexpr const char kTaskbarSuffix[] = " 安装向导";
inline constexpr const char kWelcomePrefix[] = "欢迎使用 ";
inline constexpr const char kIntroPrefix[] = "本安装程序将";
inline constexpr const char kIntroSuffix[] = "软件安装到您的计算机上。";
inline constexpr const char kStartPrefix[] = "启动 ";

// Page headings (Label8) and subheadings (Label12).
inline constexpr const char kHeading0[] = "青岚护卫安装程序";
inline constexpr const char kHeading1[] = "软件许可协议";
inline constexpr const char kSubheading1[] = "请认真阅读本软件的许可协议";
inline constexpr const char kHeading2[] = "选择安装目标文件夹";
inline constexpr const char kSubheading2[] = "您所选择的文件夹将存放该软件的所有文件";
inline constexpr const char kHeading3[] = "开始安装";
inline constexpr const char kSubheading3[] = "即将开始安装工作";
inline constexpr const char kHeading4[] = "正在安装...";
inline constexpr const char kSubheading4[] = "安装程序正在复制文件,注册信息,创建快捷方式";
inline constexpr const char kHeading5[] = "安装完毕";
inline constexpr const char kSubheading5[] = "已经完成本软件的所有安装工作";
inline constexpr const char kFinishLine[] = "点击\"完成\"关闭向导。";
inline constexpr const char kFinishCaption[] = "完成";

// Design-time captions of the window layout.
inline constexpr const char kBack[] = "上一步";
inline constexpr const char kNext[] = "下一步";
inline constexpr const char kCancel[] = "取消";
inline constexpr const char kAgree[] = "同意";
inline constexpr const char kAdvice[] =
    "建议您在安装前关闭所有其他应用程序。这样可以更新相关的系统文件，而无需重启计算机。";
inline constexpr const char kClickNext[] = "点击\"下一步\"继续。";
inline constexpr const char kLicenceLabel[] = "软件许可协议:";
inline constexpr const char kLicenceLink[] = "“软件许可协议”";
inline constexpr const char kPleaseRead[] = "请阅读";
inline constexpr const char kAgreeHint[] = "如果您已阅读同意协议请按\"同意\"安装";
inline constexpr const char kPartitionAdvice[] = "如果有两个以上分区，建议安装到非系统分区:";
inline constexpr const char kReadyTitle[] = "安装提示：";
inline constexpr const char kTargetFolder[] = "目标文件夹：";
inline constexpr const char kInstallMode[] = "安装模式:典型安装.";
inline constexpr const char kCopyProgressLabel[] = "文件复制进度:";
inline constexpr const char kCopyingLabel[] = "正在复制文件:";
inline constexpr const char kSuccess[] = "安装成功! 感谢您使用青岚护卫！";
// The finished page after a run that could not write everything: Label4 says so with the
// count (IncompleteLine), FailuresLb opens the list.
inline constexpr const char kIncompleteBefore[] = "安装未完成！有 ";
inline constexpr const char kIncompleteAfter[] = " 项未能写入。";
inline constexpr const char kFailuresLink[] = "查看未能写入的项目";
inline constexpr const char kFailureListHead[] = "下列项目未能写入：";
inline constexpr size_t kFailureListMax = 20;
inline constexpr const char kFailureListMoreBefore[] = "……共 ";
inline constexpr const char kFailureListMoreAfter[] = " 项";
inline constexpr const char kFinishDesign[] = "点击\"完成\"关闭向导......";
inline constexpr const char kViewTutorial[] = "查看使用教程";
inline constexpr const char kSiteTooltip[] = "青岚护卫官方网站";  // the site link's tooltip
inline constexpr const char kDesignDrive[] = "C:\\";
inline constexpr const char kDesignVersion[] = "v00.00 ";
inline constexpr const char kDesignDate[] = "2024.03.01 ";

}  // namespace setup::texts

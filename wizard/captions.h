// captions.h: captions the show handlers derive from the record. Cuts count GBK bytes and
// never split a two-byte character.
#pragma once

#include <string>

#include "package/setup_config.h"

namespace setup {

// "欢迎使用 " + ProductName + " 安装向导" (GLabel3).
std::string WelcomeHeading(const SetupConfig& c);
// "本安装程序将" + ProductName + "软件安装到您的计算机上。" (Label12 and gLabel5 on page 0).
std::string WelcomeIntro(const SetupConfig& c);
// "启动 " + ProductName (the finished page's CheckBoxG).
std::string StartProgramCaption(const SetupConfig& c);

}  // namespace setup

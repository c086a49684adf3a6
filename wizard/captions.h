// captions.h: captions the show handlers derive from the record. Cuts count GBK bytes and
// never split a two-byte character.
#pragma once

#include <cstddef>
#include <string>

#include "package/setup_config.h"

namespace setup {

// ProductName + " 安装向导", cut to 137 bytes (the task-bar title).
std::string TaskbarTitle(const SetupConfig& c);
// ProductName + "安装向导", cut to 136 bytes (the window caption).
std::string WelcomeCaption(const SetupConfig& c);
// "YYYY.MM.DD " from ReleaseDate (the bottom panel's DateLb).
std::string ReleaseDateDisplay(const SetupConfig& c);
// "欢迎使用 " + ProductName + " 安装向导" (GLabel3).
std::string WelcomeHeading(const SetupConfig& c);
// "本安装程序将" + ProductName + "软件安装到您的计算机上。" (Label12 and gLabel5 on page 0).
std::string WelcomeIntro(const SetupConfig& c);
// "启动 " + ProductName (the finished page's CheckBoxG).
std::string StartProgramCaption(const SetupConfig& c);
// "安装未完成！有 N 项未能写入。" (the finished page's Label4 after an incomplete run).
std::string IncompleteLine(size_t failures);
// "……共 N 项", closing a failure list that was cut.
std::string FailureListMore(size_t failures);

}  // namespace setup

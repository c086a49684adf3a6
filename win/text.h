// text.h: conversion between the program's GBK text and UTF-16 at the Win32 boundary.
// Always code page 936, whatever the system's ANSI code page is, so Chinese text shows and
// lands correctly on any Windows locale.
#pragma once

#include <string>
#include <string_view>

namespace setup::win {

inline constexpr unsigned kGbkCodePage = 936;

std::wstring Wide(std::string_view gbk);
std::string Gbk(std::wstring_view wide);

}  // namespace setup::win

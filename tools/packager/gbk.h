// gbk.h: conversion between the manifest's UTF-8 and the record's GBK (code page 936).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace setup::packager {

// UTF-8 to GBK. Throws PackError naming `field` and the first character GBK cannot encode.
std::string Utf8ToGbk(std::string_view utf8, const std::string& field);

// GBK to UTF-8 for display; a byte that does not start a GBK character shows as \xNN.
std::string GbkToUtf8(std::string_view gbk);

// GBK to UTF-8 when every byte converts; nullopt otherwise (a broken pair, or a pair such
// as A1 5C that GBK leaves unassigned).
std::optional<std::string> GbkToUtf8Exact(std::string_view gbk);

// UTF-8 text to GBK with CR LF line ends (a lone LF or CR becomes CR LF); a leading UTF-8
// byte-order mark is dropped.
std::string TextFileToGbk(std::string_view utf8, const std::string& field);

}  // namespace setup::packager

// path_text.h: GBK-aware path text helpers of the installation engine.
//
// Paths are GBK bytes. A two-byte GBK character may have 0x5C ("\") as its trail byte
// (for example 乗, 俓), so every search for a separator walks the text character by character
// and only accepts matches that start on a character boundary. Positions count bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace setup {

// 1-based byte position of the last occurrence of pattern in text that starts on a character
// boundary; 0 when there is none (or the pattern is empty). Case-sensitive byte comparison.
size_t LastPos(std::string_view pattern, std::string_view text);

// Display form of a path for the copying page: the path itself when it is at most `limit`
// bytes; otherwise its first 3 bytes, "...\", and the text after its last "\" cut to at most
// 40 bytes (the 40 is fixed), never splitting a two-byte character.
// ShortenPath("C:\Program Files\ZENTA-KOV\sub\readme.txt", 40) == "C:\...\readme.txt".
std::string ShortenPath(std::string_view path, size_t limit);

// Everything before the last "\" (empty when there is none): the folder of a file path.
std::string FolderOf(std::string_view path);

// The folder of a program's file, to start it in: FolderOf, except that a file at a drive's
// root gives "X:\." (a bare "X:" means the current folder on that drive; a trailing "\"
// would escape a closing quote on some command lines).
std::string WorkingFolderOf(std::string_view path);

// The path up to and including its last "\" (empty when there is none).
std::string FolderWithSeparator(std::string_view path);

// True when text holds a "\" as a character of its own (not as a trail byte).
bool HasSeparator(std::string_view text);

// One argument of a command line, as the C runtime and CommandLineToArgvW split it back:
// in double quotes, an inner quote as \", backslashes doubled only where they precede a quote.
// A "\" that is the trail byte of a GBK character counts as part of that character.
std::string QuoteArgument(std::string_view arg);

}  // namespace setup

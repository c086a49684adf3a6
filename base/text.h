// text.h: GBK byte-string helpers. Program text is GBK (code page 936): a byte 0x81..0xFE
// starts a two-byte character, anything else is one byte. Lengths and cuts count bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace setup {

inline bool IsGbkLeadByte(uint8_t b) { return b >= 0x81 && b <= 0xFE; }

// The first n bytes (all of s when shorter), as a plain byte cut.
std::string CutBytes(std::string_view s, size_t n);

// The longest prefix of at most n bytes that does not end in half a two-byte character.
std::string CutGbk(std::string_view s, size_t n);

// s without leading and trailing blanks and control characters (bytes <= 0x20).
std::string Trim(std::string_view s);

// Number of whole characters in s (a dangling lead byte at the end counts as one).
size_t GbkCharCount(std::string_view s);

}  // namespace setup

// packed_resource.h: the packed-resource framing of "SETUPINI", "SETUPPACK" and "Z_ta.cx":
// a 32-bit little-endian unpacked length N, then one zlib stream.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace setup {

// Inflates exactly N bytes. Throws Error: "Stream read error" when the stream (or the
// 4-byte header) ends before N bytes, "Error" for corrupt data, "Out of memory" when N bytes
// cannot be allocated. Data that inflate past N are ignored.
std::vector<uint8_t> Unpack(std::span<const uint8_t> packed);

// Frames data as a packed resource (zlib at the given level).
std::vector<uint8_t> Pack(std::span<const uint8_t> data, int level = 9);

}  // namespace setup

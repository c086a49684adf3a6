// packed_resource.h: the packed-resource framing of "SETUPINI", "SETUPPACK" and "Z_ta.cx":
// a 32-bit little-endian unpacked length N, then one zlib stream.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

namespace setup {

// Inflates exactly N bytes. Throws Error: "Stream read error" when the stream (or the
// 4-byte header) ends before N bytes, "Error" for corrupt data, "Out of memory" when N bytes
// cannot be allocated. Data that inflate past N are ignored.
std::vector<uint8_t> Unpack(std::span<const uint8_t> packed);

// The pieces of a packed resource in order: each call returns the next one, an empty span
// at the end. A piece stays valid until the next call.
using PackedPieces = std::function<std::span<const uint8_t>()>;

// N unpacked bytes in a buffer that was never cleared: the inflater writes every byte.
struct UnpackedBytes {
    std::unique_ptr<uint8_t[]> data;
    size_t size = 0;
};

// Unpack over pieces, with the same results and errors; the pieces may be cut anywhere.
UnpackedBytes UnpackPieces(const PackedPieces& next);

// The same inflate without keeping the result: `start` (when set) learns N before anything
// else happens, then sink receives the N bytes in order, in pieces of at most 1 MB (each
// valid during the call). Returns N. Errors as Unpack, thrown after the bytes before the
// damage were handed over.
using UnpackSink = std::function<void(std::span<const uint8_t>)>;
uint32_t UnpackStream(const PackedPieces& next, const std::function<void(uint32_t)>& start, const UnpackSink& sink);

// Frames data as a packed resource (zlib at the given level).
std::vector<uint8_t> Pack(std::span<const uint8_t> data, int level = 9);

}  // namespace setup

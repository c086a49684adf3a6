// bytes.h: little-endian field access on byte buffers, alignment and the tool's error type.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace setup::packager {

// Every refusal of the packaging tool: a message for the user (UTF-8) that names the field,
// the file or the limit at fault.
class PackError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline uint16_t Get16(std::span<const uint8_t> b, size_t at) {
    return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}
inline uint32_t Get32(std::span<const uint8_t> b, size_t at) {
    return static_cast<uint32_t>(b[at]) | static_cast<uint32_t>(b[at + 1]) << 8 |
           static_cast<uint32_t>(b[at + 2]) << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
inline void Put16(std::span<uint8_t> b, size_t at, uint16_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}
inline void Put32(std::span<uint8_t> b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// Rounds v up to a multiple of a power of two; computed in 64 bits so it cannot wrap.
inline uint64_t AlignUp(uint64_t v, uint64_t alignment) {
    return (v + alignment - 1) & ~(alignment - 1);
}
inline bool IsPowerOfTwo(uint64_t v) { return v != 0 && (v & (v - 1)) == 0; }

std::string Hex(uint64_t v);  // "0x1a2b"

}  // namespace setup::packager

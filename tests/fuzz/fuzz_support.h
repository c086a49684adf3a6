// fuzz_support.h: small helpers shared by the libFuzzer targets.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "base/error.h"
#include "base/platform.h"

namespace setup::fuzz {

// A failed property: report and abort so libFuzzer keeps the input.
#define ZS_FUZZ_CHECK(cond)                                                          \
    do {                                                                             \
        if (!(cond)) {                                                               \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                            \
        }                                                                            \
    } while (0)

// Unpack allocates the length a packed resource declares. Inputs declaring more than this
// are scaled down so the fuzzer explores decoding rather than the allocator's limits.
inline constexpr uint32_t kMaxDeclaredLength = 1u << 18;  // above the record size

inline std::vector<uint8_t> WithBoundedLength(std::span<const uint8_t> packed) {
    std::vector<uint8_t> v(packed.begin(), packed.end());
    if (v.size() >= 4) {
        uint32_t n = v[0] | v[1] << 8 | v[2] << 16 | uint32_t(v[3]) << 24;
        if (n > kMaxDeclaredLength) {
            n %= kMaxDeclaredLength;
            for (int i = 0; i < 4; ++i) v[i] = static_cast<uint8_t>(n >> (8 * i));
        }
    }
    return v;
}

// The texts Unpack may raise; anything else is a fault.
inline bool IsUnpackError(const Error& e) {
    return e.text() == "Stream read error" || e.text() == "Error" || e.text() == "Out of memory";
}

class OneResource : public Resources {
public:
    OneResource(std::string name, std::vector<uint8_t> bytes) : name_(std::move(name)), bytes_(std::move(bytes)) {}
    std::span<const uint8_t> Find(const std::string& name) override {
        if (name != name_) throw Error("Resource " + name + " not found");
        return bytes_;
    }

private:
    std::string name_;
    std::vector<uint8_t> bytes_;
};

}  // namespace setup::fuzz

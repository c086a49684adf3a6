// fuzz_support.h: small helpers shared by the libFuzzer targets.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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

// A private folder for the targets that must hand the code under test a real file; made once
// per process under $TMPDIR and removed at exit.
class ScratchDir {
public:
    static const std::filesystem::path& Get() {
        static ScratchDir dir;
        return dir.path_;
    }
    // Writes bytes to `name` in the folder and returns its path.
    static std::filesystem::path Write(const std::string& name, std::span<const uint8_t> bytes) {
        const auto p = Get() / name;
        std::ofstream out(p, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out.flush()) {
            std::fprintf(stderr, "fuzz: cannot write %s\n", p.c_str());
            std::abort();
        }
        return p;
    }

private:
    ScratchDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "zs-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) {
            std::perror("fuzz: mkdtemp");
            std::abort();
        }
        path_ = pattern;
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::filesystem::path path_;
};

}  // namespace setup::fuzz

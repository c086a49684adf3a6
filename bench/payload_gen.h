// payload_gen.h: the benchmarks' generated file contents, deterministic for a given generator
// state, in three kinds that compress like the files of a real product:
//
//   ExecutableLike   frequent x86 opcodes, small displacements, addresses that repeat
//   TextLike         ASCII and GBK words, lines ended by CR LF
//   RandomBytes      incompressible bytes
//
// Each draws from the caller's generator, so a fixed seed and a fixed order of files give the
// same bytes on every run. Header only: every bench/*.cpp is an executable of its own.
#pragma once

#include <cstdint>
#include <cstddef>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace setup::bench {

enum class PayloadKind { kExecutable, kText, kRandom };

inline std::vector<uint8_t> ExecutableLike(size_t n, std::mt19937& gen) {
    static const std::vector<std::vector<uint8_t>> kOps = {
        {0x55}, {0x8B, 0xEC}, {0x83, 0xEC}, {0x8B, 0x45}, {0x89, 0x45}, {0xE8}, {0xC3}, {0x50}, {0x51},
        {0x8D, 0x4D}, {0x33, 0xC0}, {0x85, 0xC0}, {0x74}, {0x75}, {0xFF, 0x15}, {0x6A, 0x00}, {0x5D}, {0x90}};
    std::vector<uint32_t> addresses(64);
    for (auto& a : addresses) a = 0x00401000 + (gen() & 0xFFFFF);
    std::vector<uint8_t> out;
    out.reserve(n + 8);
    while (out.size() < n) {
        const auto& op = kOps[gen() % kOps.size()];
        out.insert(out.end(), op.begin(), op.end());
        switch (gen() % 4) {
            case 0: out.push_back(static_cast<uint8_t>(gen() % 64)); break;
            case 1: {
                const uint32_t a = addresses[gen() % addresses.size()];
                for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(a >> (8 * i)));
                break;
            }
            default: break;
        }
    }
    out.resize(n);
    return out;
}

inline std::vector<uint8_t> TextLike(size_t n, std::mt19937& gen) {
    static const std::vector<std::string> kWords = {
        "setup", "install", "folder", "the", "program", "file", "version", "ZENTA", "KOV", "registry",
        "\xC7\xE0\xE1\xB0", "\xBB\xA4\xCE\xC0", "\xB0\xB2\xD7\xB0", "\xCE\xC4\xBC\xFE", "\xC8\xED\xBC\xFE"};
    std::vector<uint8_t> out;
    out.reserve(n + 16);
    while (out.size() < n) {
        const std::string& w = kWords[gen() % kWords.size()];
        out.insert(out.end(), w.begin(), w.end());
        if (gen() % 12 == 0) {
            out.push_back('\r');
            out.push_back('\n');
        } else {
            out.push_back(' ');
        }
    }
    out.resize(n);
    return out;
}

// One draw per four bytes, the last one cut short when n is not a multiple of four.
inline std::vector<uint8_t> RandomBytes(size_t n, std::mt19937& gen) {
    std::vector<uint8_t> out(n + 4);
    for (size_t i = 0; i < n; i += 4) {
        const uint32_t v = gen();
        std::memcpy(&out[i], &v, 4);
    }
    out.resize(n);
    return out;
}

inline std::vector<uint8_t> PayloadBytes(PayloadKind kind, size_t n, std::mt19937& gen) {
    switch (kind) {
        case PayloadKind::kExecutable: return ExecutableLike(n, gen);
        case PayloadKind::kText: return TextLike(n, gen);
        case PayloadKind::kRandom: break;
    }
    return RandomBytes(n, gen);
}

// The same kinds in pieces of at most `piece` bytes handed to sink(bytes), so that a file of
// hundreds of MB is never held whole. Each piece is drawn as a file of its own, so the bytes
// depend on the piece size; one piece (the default) gives PayloadBytes' bytes.
template <typename Sink>
void PayloadPieces(PayloadKind kind, size_t n, std::mt19937& gen, Sink&& sink, size_t piece = SIZE_MAX) {
    for (size_t left = n; left > 0;) {
        const size_t take = left < piece ? left : piece;
        sink(PayloadBytes(kind, take, gen));
        left -= take;
    }
}

}  // namespace setup::bench

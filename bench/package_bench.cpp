// package_bench: packs a 200 MB mixed payload (one third executable-like, one third text, one
// third random), then measures what start-up does with it: inflate speed, byte-sum speed and
// the peak memory of a streamed pass relative to the unpacked size. Prints figures only.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <time.h>

#include "package/packed_resource.h"
#include "package/payload.h"
#include "package/payload_stream.h"

using namespace setup;

// <chrono> cannot be used here: its "µs" literal has no GBK form, and the build's narrow
// literals are GBK.
struct Clock {
    using time_point = double;
    static double now() {
        timespec ts;
        clock_gettime(CLOCK_MONOTONIC, &ts);
        return ts.tv_sec + ts.tv_nsec * 1e-9;
    }
};

namespace {

constexpr size_t kPayloadSize = 200u << 20;

// Code-like bytes: short instruction-ish sequences with small immediates, repeated idioms and
// zero-padded tables, which deflate about as well as real executables do.
void AppendCode(std::vector<uint8_t>& out, size_t n, std::mt19937& rng) {
    static const uint8_t kIdioms[][6] = {{0x55, 0x8B, 0xEC, 0x83, 0xEC, 0x10}, {0x8B, 0x45, 0x08, 0x50, 0xE8, 0x00},
                                         {0x5D, 0xC3, 0xCC, 0xCC, 0xCC, 0xCC}, {0x89, 0x45, 0xFC, 0x33, 0xC0, 0x40}};
    size_t end = out.size() + n;
    while (out.size() < end) {
        uint32_t r = rng();
        if (r % 8 == 0) {
            out.insert(out.end(), 16 + r % 48, 0);
        } else if (r % 3 == 0) {
            const uint8_t* idiom = kIdioms[(r >> 8) % 4];
            out.insert(out.end(), idiom, idiom + 6);
        } else {
            for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>((r >> (8 * i)) & ((i & 1) ? 0x0F : 0xFF)));
        }
    }
    out.resize(end);
}

void AppendText(std::vector<uint8_t>& out, size_t n, std::mt19937& rng) {
    static const char* kWords[] = {"the", "setup", "program", "installs", "files", "into", "folder", "registry",
                                   "value", "shortcut", "licence", "version", "ZENTA", "payload", "of", "and",
                                   "安装", "向导", "文件", "系统", "工具", "更新"};
    size_t end = out.size() + n;
    while (out.size() < end) {
        const char* w = kWords[rng() % (sizeof kWords / sizeof *kWords)];
        out.insert(out.end(), w, w + std::char_traits<char>::length(w));
        uint32_t r = rng() % 16;
        out.push_back(r == 0 ? '\n' : r == 1 ? ',' : ' ');
    }
    out.resize(end);
}

void AppendRandom(std::vector<uint8_t>& out, size_t n, std::mt19937& rng) {
    size_t end = out.size() + n;
    while (out.size() + 4 <= end) {
        uint32_t r = rng();
        out.insert(out.end(), reinterpret_cast<uint8_t*>(&r), reinterpret_cast<uint8_t*>(&r) + 4);
    }
    out.resize(end);
}

std::vector<uint8_t> MakePayload() {
    std::vector<uint8_t> out;
    out.reserve(kPayloadSize);
    std::mt19937 rng(2024);
    // Files of 64 KB .. 4 MB, the three kinds in turn, until a third of each is reached.
    size_t kind_left[3] = {kPayloadSize / 3, kPayloadSize / 3, kPayloadSize - 2 * (kPayloadSize / 3)};
    for (int kind = 0; out.size() < kPayloadSize; kind = (kind + 1) % 3) {
        size_t n = std::min<size_t>(kind_left[kind], (64u << 10) + rng() % (4u << 20));
        kind_left[kind] -= n;
        if (kind == 0) AppendCode(out, n, rng);
        if (kind == 1) AppendText(out, n, rng);
        if (kind == 2) AppendRandom(out, n, rng);
    }
    return out;
}

long StatusKb(const char* key) {
    std::ifstream f("/proc/self/status");
    std::string line;
    while (std::getline(f, line))
        if (line.rfind(key, 0) == 0) return std::stol(line.substr(std::char_traits<char>::length(key)));
    return -1;
}

void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

double Seconds(double a, double b) { return b - a; }

class BenchResources : public Resources {
public:
    explicit BenchResources(std::vector<uint8_t> packed) : packed_(std::move(packed)) {}
    std::span<const uint8_t> Find(const std::string&) override { return packed_; }

private:
    std::vector<uint8_t> packed_;
};

}  // namespace

int main() {
    std::vector<uint8_t> raw = MakePayload();
    const uint32_t expected_sum = ByteSumPortable(raw);

    auto t0 = Clock::now();
    // Level 6 keeps the run short; inflate speed hardly depends on the level.
    std::vector<uint8_t> packed = Pack(raw, 6);
    auto t1 = Clock::now();
    std::printf("payload            %.1f MB unpacked, %.1f MB packed (%.1f %%)\n", raw.size() / 1e6,
                packed.size() / 1e6, 100.0 * packed.size() / raw.size());
    std::printf("pack (level 6)     %.1f MB/s\n", raw.size() / 1e6 / Seconds(t0, t1));
    const size_t unpacked = raw.size();
    std::vector<uint8_t>().swap(raw);

    // The packed resource stands for the executable's resource section: it is part of the
    // baseline, as the program's image is before the payload is loaded.
    BenchResources res(std::move(packed));
    ResetPeak();
    const long base_kb = StatusKb("VmRSS:");
    t0 = Clock::now();
    PayloadStream payload = OpenPayload(res, 1);
    uint32_t streamed_sum = 0;
    payload.Stream([&](std::span<const uint8_t> piece) { streamed_sum += ByteSum(piece); });
    t1 = Clock::now();
    const long peak_kb = StatusKb("VmHWM:");
    std::printf("inflate and sum    %.1f MB/s (unpacked bytes per second, one thread)\n", unpacked / 1e6 / Seconds(t0, t1));
    if (base_kb >= 0 && peak_kb >= 0)
        std::printf("peak while streaming %.1f MB above the baseline (unpacked size %.1f MB)\n",
                    (peak_kb - base_kb) / 1024.0, unpacked / 1048576.0);
    if (streamed_sum != expected_sum) {
        std::printf("streamed byte sum MISMATCH: %u expected %u\n", streamed_sum, expected_sum);
        return 1;
    }
    raw = Unpack(res.Find(kPayloadResource));

    double best = 1e9, best_portable = 1e9;
    uint32_t sum = 0, sum_portable = 0;
    for (int i = 0; i < 5; ++i) {
        auto a = Clock::now();
        sum = ByteSum(raw);
        auto b = Clock::now();
        sum_portable = ByteSumPortable(raw);
        auto c = Clock::now();
        best = std::min(best, Seconds(a, b));
        best_portable = std::min(best_portable, Seconds(b, c));
    }
    std::printf("byte sum           %.2f GB/s (portable word-at-a-time form: %.2f GB/s)\n",
                raw.size() / 1e9 / best, raw.size() / 1e9 / best_portable);
    if (sum != expected_sum || sum_portable != expected_sum) {
        std::printf("byte sum MISMATCH: %u %u expected %u\n", sum, sum_portable, expected_sum);
        return 1;
    }
    return 0;
}

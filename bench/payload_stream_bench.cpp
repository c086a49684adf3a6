// payload_stream_bench: one pass over a generated payload through PayloadStream, with one
// thread and with two (the block index in use), natively; prints the median of a few passes.
//
//   payload_stream_bench [MEGABYTES] [REPEAT]     (default 200 MB, 3 passes each)
//
// The payload is a third each executable-like, text and random bytes in 1 MB stretches (the
// big benchmark payload's mix), packed by the packager's block deflate. The sink adds the
// bytes up, as the setup's byte sum does, so that every byte is read once.
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "base/threads.h"
#include "bench/payload_gen.h"
#include "package/payload.h"
#include "package/payload_stream.h"
#include "tools/packager/parallel_pack.h"

namespace {

using setup::bench::PayloadBytes;
using setup::bench::PayloadKind;

// <chrono> does not compile with the GBK execution character set (it spells "\u00b5s").
double Now() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

class MemorySource final : public setup::Resources::Source {
public:
    explicit MemorySource(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
    uint64_t Size() const override { return bytes_.size(); }
    void ReadAt(uint64_t offset, std::span<uint8_t> out) override {
        std::copy_n(bytes_.begin() + static_cast<ptrdiff_t>(offset), out.size(), out.begin());
    }

private:
    const std::vector<uint8_t>& bytes_;
};

}  // namespace

int main(int argc, char** argv) {
    const size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 200;
    const int repeat = argc > 2 ? std::atoi(argv[2]) : 3;
    std::mt19937 gen(20261208);
    std::vector<uint8_t> payload;
    payload.reserve(megabytes << 20);
    static const PayloadKind kKinds[] = {PayloadKind::kExecutable, PayloadKind::kText, PayloadKind::kRandom};
    for (size_t i = 0; i < megabytes; ++i) {
        const std::vector<uint8_t> part = PayloadBytes(kKinds[i % 3], size_t{1} << 20, gen);
        payload.insert(payload.end(), part.begin(), part.end());
    }
    double t = Now();
    const setup::packager::PackedBlocks packed = setup::packager::PackBlocks(payload, 9);
    const double pack_s = Now() - t;
    const uint32_t want = setup::ByteSum(payload);

    std::printf("payload %zu MB, packed %.1f MB in %zu blocks (%.2f s to pack), %u hardware threads\n", megabytes,
                static_cast<double>(packed.bytes.size()) / (1 << 20), packed.blocks.size(), pack_s,
                setup::HardwareThreads());
    double one_thread = 0;
    for (unsigned threads : {1u, 2u}) {
        std::vector<double> times;
        bool parallel = false;
        for (int r = 0; r < repeat; ++r) {
            setup::PayloadStream stream(std::make_unique<MemorySource>(packed.bytes), packed.blocks, threads);
            uint32_t sum = 0;
            t = Now();
            stream.Stream([&](std::span<const uint8_t> piece) { sum += setup::ByteSum(piece); });
            times.push_back(Now() - t);
            parallel = stream.parallel();
            if (sum != want) {
                std::printf("WRONG BYTES with %u threads\n", threads);
                return 1;
            }
        }
        std::sort(times.begin(), times.end());
        const double median = times[times.size() / 2];
        if (threads == 1) one_thread = median;
        std::printf("%u thread%s%s  %7.3f s  %7.1f MB/s  %.2fx\n", threads, threads == 1 ? " " : "s",
                    parallel ? " (index)" : "        ", median, static_cast<double>(megabytes) / median,
                    one_thread / median);
    }
    return 0;
}

// The Win32 thread primitives under the parallel payload pass: blocks inflated on worker
// threads (SRW lock, condition variables, _beginthreadex) arrive in order, and exceptions
// reach the joining thread.
#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <vector>

#include "base/error.h"
#include "base/threads.h"
#include "package/payload_stream.h"

namespace setup {
namespace {

class BytesSource final : public Resources::Source {
public:
    explicit BytesSource(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
    uint64_t Size() const override { return bytes_.size(); }
    void ReadAt(uint64_t offset, std::span<uint8_t> out) override {
        if (offset > bytes_.size() || out.size() > bytes_.size() - offset) throw Error("Stream read error");
        std::copy_n(bytes_.begin() + static_cast<ptrdiff_t>(offset), out.size(), out.begin());
    }

private:
    std::vector<uint8_t> bytes_;
};

// The packager's layout, made here (the packager is not built for Windows): length, zlib
// header, independent raw deflate blocks, Adler-32.
std::vector<uint8_t> PackInBlocks(const std::vector<uint8_t>& data, size_t block, std::vector<PackedBlock>& index) {
    const uint32_t n = static_cast<uint32_t>(data.size());
    std::vector<uint8_t> out = {uint8_t(n), uint8_t(n >> 8), uint8_t(n >> 16), uint8_t(n >> 24), 0x78, 0xDA};
    for (size_t at = 0; at < data.size(); at += block) {
        index.push_back({static_cast<uint32_t>(out.size()), static_cast<uint32_t>(at)});
        const size_t len = std::min(block, data.size() - at);
        const bool last = at + len == data.size();
        z_stream z{};
        deflateInit2(&z, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
        std::vector<uint8_t> piece(deflateBound(&z, static_cast<uLong>(len)) + 16);
        z.next_in = const_cast<Bytef*>(data.data() + at);
        z.avail_in = static_cast<uInt>(len);
        z.next_out = piece.data();
        z.avail_out = static_cast<uInt>(piece.size());
        deflate(&z, last ? Z_FINISH : Z_SYNC_FLUSH);
        out.insert(out.end(), piece.begin(), piece.end() - z.avail_out);
        deflateEnd(&z);
    }
    const uLong adler = adler32(adler32(0, nullptr, 0), data.data(), static_cast<uInt>(data.size()));
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(adler >> shift));
    return out;
}

TEST(WinThreadsTest, ParallelPassGivesTheBytesInOrderAndStopsForASink) {
    std::mt19937 rng(5);
    std::vector<uint8_t> data(3 << 20);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i % 251 < 40 ? rng() : i % 13);
    std::vector<PackedBlock> index;
    const std::vector<uint8_t> packed = PackInBlocks(data, 256 << 10, index);
    PayloadStream stream(std::make_unique<BytesSource>(packed), index, 3);
    std::vector<uint8_t> seen;
    stream.Stream([&](std::span<const uint8_t> piece) { seen.insert(seen.end(), piece.begin(), piece.end()); });
    EXPECT_TRUE(seen == data);
    EXPECT_TRUE(stream.parallel());

    int pieces = 0;
    EXPECT_THROW(stream.Stream([&](std::span<const uint8_t>) {
        if (++pieces == 3) throw Error("sink");
    }),
                 Error);
    EXPECT_GE(HardwareThreads(), 1u);
}

TEST(WinThreadsTest, AnExceptionOnAThreadReachesJoin) {
    Thread t([] { throw Error("on the thread"); });
    try {
        t.Join();
        FAIL() << "Join did not rethrow";
    } catch (const Error& e) {
        EXPECT_EQ(e.text(), "on the thread");
    }
}

}  // namespace
}  // namespace setup

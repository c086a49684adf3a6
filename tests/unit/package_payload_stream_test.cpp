// The payload streamed a pass at a time: the parallel pass over the block index gives exactly
// the bytes and errors of one thread, whatever the index says, and stops cleanly for a sink
// that throws.
#include <gtest/gtest.h>
#include <unistd.h>

#include <random>
#include <tuple>
#include <vector>

#include "base/error.h"
#include "package/packed_resource.h"
#include "package/payload_stream.h"
#include "tests/support/fake_platform.h"
#include "tools/packager/parallel_pack.h"

namespace setup {
namespace {

using packager::kPackBlock;
using packager::PackBlocks;
using packager::PackedBlocks;

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

// Text with long matches, a stretch of random bytes (stored blocks) and noise.
std::vector<uint8_t> Data(size_t n, uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> v(n);
    const char* words = "zenta setup payload stream block index worker slot ";
    for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(words[(i * 5 + i / 7919) % 51]);
    for (size_t i = n / 4; i < n / 3; ++i) v[i] = static_cast<uint8_t>(rng());
    for (size_t i = 0; i < n; i += 61) v[i] = static_cast<uint8_t>(rng());
    return v;
}

struct Outcome {
    std::vector<uint8_t> bytes;  // what the sink saw, in order
    std::string error;           // the pass's Error, if any
    bool parallel_after = false;
    bool operator==(const Outcome& o) const { return bytes == o.bytes && error == o.error; }
};

Outcome Pass(PayloadStream& stream, unsigned sleep_us = 0) {
    Outcome o;
    try {
        stream.Stream([&](std::span<const uint8_t> piece) {
            if (sleep_us) ::usleep(sleep_us);
            o.bytes.insert(o.bytes.end(), piece.begin(), piece.end());
        });
    } catch (const Error& e) {
        o.error = e.text();
    }
    o.parallel_after = stream.parallel();
    return o;
}

Outcome Pass(const std::vector<uint8_t>& packed, std::optional<std::vector<PackedBlock>> index, unsigned threads,
             unsigned sleep_us = 0) {
    PayloadStream stream(std::make_unique<BytesSource>(packed), std::move(index), threads);
    return Pass(stream, sleep_us);
}

class PayloadStreamTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        data_ = new std::vector<uint8_t>(Data(5 * kPackBlock + 4321, 17));
        packed_ = new PackedBlocks(PackBlocks(*data_, 9, 2));
    }
    static void TearDownTestSuite() {
        delete data_;
        delete packed_;
    }
    static const std::vector<uint8_t>& data() { return *data_; }
    static const std::vector<uint8_t>& packed() { return packed_->bytes; }
    static const std::vector<PackedBlock>& index() { return packed_->blocks; }

    static std::vector<uint8_t>* data_;
    static PackedBlocks* packed_;
};
std::vector<uint8_t>* PayloadStreamTest::data_;
PackedBlocks* PayloadStreamTest::packed_;

TEST_F(PayloadStreamTest, SameBytesAsUnpackForAnyThreadCountAndSlowSinks) {
    ASSERT_EQ(index().size(), 6u);
    ASSERT_EQ(Unpack(packed()), data());
    for (unsigned threads = 1; threads <= 4; ++threads) {
        for (unsigned sleep_us : {0u, 3000u}) {
            SCOPED_TRACE(::testing::Message() << threads << " threads, sink sleeps " << sleep_us << " us");
            PayloadStream stream(std::make_unique<BytesSource>(packed()), index(), threads);
            EXPECT_EQ(stream.size(), data().size());
            const Outcome first = Pass(stream, sleep_us);
            EXPECT_EQ(first.error, "");
            EXPECT_TRUE(first.bytes == data());
            EXPECT_EQ(first.parallel_after, threads > 1) << "the index held";
            EXPECT_TRUE(Pass(stream).bytes == data()) << "every pass starts from the first byte";
        }
    }
    EXPECT_TRUE(Pass(packed(), std::nullopt, 3).bytes == data());

    // OpenPayload takes the index when the package has a readable one.
    testing::FakeResources res;
    res.items[kPayloadResource] = packed();
    EXPECT_FALSE(OpenPayload(res, 2).parallel());
    res.items[kBlockIndexResource] = EncodeBlockIndex(index());
    PayloadStream opened = OpenPayload(res, 2);
    EXPECT_TRUE(opened.parallel());
    EXPECT_TRUE(Pass(opened).bytes == data());
    res.items[kBlockIndexResource] = {'Z', 'S', 'B', 'I'};
    EXPECT_FALSE(OpenPayload(res, 2).parallel());
}

TEST_F(PayloadStreamTest, ALyingIndexNeverGivesWrongBytesAndIsDropped) {
    struct Lie {
        const char* what;
        std::vector<PackedBlock> index;
        std::vector<uint8_t> packed;
    };
    std::vector<Lie> lies;
    const auto lie = [&](const char* what, auto change_index, auto change_packed) {
        Lie l{what, index(), packed()};
        change_index(l.index);
        change_packed(l.packed);
        lies.push_back(std::move(l));
    };
    const auto same = [](auto&) {};
    lie("packed offset shifted on", [](auto& x) { x[2].packed_offset += 1; }, same);
    lie("packed offset shifted back", [](auto& x) { x[2].packed_offset -= 1; }, same);
    lie("packed offset inside the sync flush", [](auto& x) { x[3].packed_offset -= 4; }, same);
    lie("unpacked offset too high", [](auto& x) { x[2].unpacked_offset += 1; }, same);
    lie("unpacked offset too low", [](auto& x) { x[4].unpacked_offset -= 1; }, same);
    lie("a boundary inside a deflate block", [](auto& x) {
        x.insert(x.begin() + 2, PackedBlock{(x[1].packed_offset + x[2].packed_offset) / 2,
                                            (x[1].unpacked_offset + x[2].unpacked_offset) / 2});
    }, same);
    lie("the first block not after the header", [](auto& x) { x[0] = {7, 0}; }, same);
    lie("bytes after the stream lengthen the last block", same, [](auto& p) { p.insert(p.end(), {1, 2, 3}); });
    lie("a block over 4 MB", [](auto& x) { x.erase(x.begin() + 1, x.begin() + 5); }, same);
    for (const Lie& l : lies) {
        SCOPED_TRACE(l.what);
        const Outcome o = Pass(l.packed, l.index, 3);
        EXPECT_EQ(o.error, "");
        EXPECT_TRUE(o.bytes == data());
        EXPECT_FALSE(o.parallel_after);
    }
    // Blocks that each span several of the packager's blocks still describe the stream.
    std::vector<PackedBlock> coarse = {index()[0], index()[3]};
    const Outcome o = Pass(packed(), coarse, 2);
    EXPECT_TRUE(o.bytes == data());
    EXPECT_TRUE(o.parallel_after);
}

// Damaged streams: the sink sees the same bytes and the pass ends in the same error as with
// one thread.
TEST_F(PayloadStreamTest, DamagedDataGivesTheOneThreadErrors) {
    // (what, bytes, whether one thread fails: a stream cut right after its data passes, as
    // Unpack lets it.)
    std::vector<std::tuple<const char*, std::vector<uint8_t>, bool>> damaged;
    auto trailer = packed();
    trailer.back() ^= 1;
    damaged.emplace_back("wrong trailer", trailer, true);
    auto corrupt = packed();
    corrupt[index()[2].packed_offset] |= 0x06;  // block type 3, which deflate does not have
    damaged.emplace_back("corrupt block", corrupt, true);
    auto header = packed();
    header[5] ^= 0x20;
    damaged.emplace_back("corrupt zlib header", header, true);
    damaged.emplace_back("cut inside a block", std::vector<uint8_t>(packed().begin(), packed().begin() + index()[3].packed_offset + 999), true);
    damaged.emplace_back("cut before the trailer", std::vector<uint8_t>(packed().begin(), packed().end() - 4), false);
    auto longer = packed();
    longer[0] += 1;  // one byte more than the stream holds
    damaged.emplace_back("length one too many", longer, true);
    for (const auto& [what, bytes, fails] : damaged) {
        SCOPED_TRACE(what);
        const Outcome one = Pass(bytes, std::nullopt, 1);
        EXPECT_EQ(one.error != "", fails) << one.error;
        for (unsigned threads : {2u, 4u}) {
            const Outcome many = Pass(bytes, index(), threads);
            EXPECT_TRUE(many == one) << many.error << " / " << one.error << ", " << many.bytes.size() << " / "
                                     << one.bytes.size() << " bytes";
            EXPECT_FALSE(many.parallel_after);
        }
    }
}

TEST_F(PayloadStreamTest, ASinkThatThrowsStopsThePassCleanly) {
    struct Stop {};
    PayloadStream stream(std::make_unique<BytesSource>(packed()), index(), 4);
    for (int pieces : {0, 2, 5}) {
        int seen = 0;
        EXPECT_THROW(stream.Stream([&](std::span<const uint8_t>) {
            if (seen++ == pieces) throw Stop{};
        }),
                     Stop);
    }
    // The sink's failure says nothing about the index: the next pass still uses it.
    EXPECT_TRUE(stream.parallel());
    EXPECT_TRUE(Pass(stream).bytes == data());
}

TEST(BlockIndex, RoundTripsAndRefusesWhatIsNoIndex) {
    const std::vector<PackedBlock> blocks = {{6, 0}, {500, 1 << 20}, {900, 2 << 20}};
    const std::vector<uint8_t> bytes = EncodeBlockIndex(blocks);
    EXPECT_EQ(bytes.size(), 12u + 8 * 3);
    EXPECT_EQ(ParseBlockIndex(bytes), blocks);
    const auto refused = [&](auto change) {
        std::vector<uint8_t> b = bytes;
        change(b);
        return !ParseBlockIndex(b).has_value();
    };
    EXPECT_TRUE(refused([](auto& b) { b[0] = 'X'; }));            // magic
    EXPECT_TRUE(refused([](auto& b) { b[4] = 2; }));              // version
    EXPECT_TRUE(refused([](auto& b) { b.pop_back(); }));          // length
    EXPECT_TRUE(refused([](auto& b) { b.push_back(0); }));
    EXPECT_TRUE(refused([](auto& b) { b[8] = 4; }));              // count
    EXPECT_TRUE(refused([](auto& b) { b[20] = 6; b[21] = 0; }));  // packed offsets not increasing
    EXPECT_TRUE(refused([](auto& b) { b[26] = 0; }));             // unpacked offsets not increasing
    EXPECT_FALSE(ParseBlockIndex(EncodeBlockIndex({})).has_value());
}

}  // namespace
}  // namespace setup

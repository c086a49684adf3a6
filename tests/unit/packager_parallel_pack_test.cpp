// The payload deflated block by block on several threads: one zlib stream that inflates to
// the data, the same bytes whatever the number of threads, and blocks that each inflate on
// their own from where the index says they start.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <random>
#include <vector>

#include "package/packed_resource.h"
#include "tools/packager/parallel_pack.h"

namespace setup::packager {
namespace {

// Compressible with matches across block cuts (a repeating text with noise), plus a random
// stretch that deflate must store.
std::vector<uint8_t> Mixed(size_t n, uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> v(n);
    const char* words = "zenta setup payload block window dictionary ";
    for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(words[(i * 7 + i / 4099) % 44]);
    for (size_t i = n / 3; i < n / 2; ++i) v[i] = static_cast<uint8_t>(rng());
    for (size_t i = 0; i < n; i += 97) v[i] = static_cast<uint8_t>(rng());
    return v;
}

TEST(PackParallel, InflatesToTheDataAroundEveryBlockCut) {
    for (size_t n : {kPackBlock + 1, 2 * kPackBlock, 2 * kPackBlock + 7, 3 * kPackBlock - 1}) {
        const auto data = Mixed(n, static_cast<uint32_t>(n));
        const auto packed = PackParallel(data, 9, 3);
        EXPECT_EQ(Unpack(packed), data) << n;
        // A plain zlib reader (not only ours) takes it as one stream, trailer checked.
        uLongf len = static_cast<uLongf>(n);
        std::vector<uint8_t> out(n);
        EXPECT_EQ(uncompress(out.data(), &len, packed.data() + 4, packed.size() - 4), Z_OK) << n;
        EXPECT_EQ(len, n);
    }
}

TEST(PackParallel, SameBytesForAnyThreadCountAndCloseToOneStream) {
    const auto data = Mixed(5 * kPackBlock + 12345, 9);
    const auto one = PackParallel(data, 9, 1);
    EXPECT_EQ(PackParallel(data, 9, 2), one);
    EXPECT_EQ(PackParallel(data, 9, 8), one);
    EXPECT_EQ(PackBlocks(data, 9, 3).blocks, PackBlocks(data, 9, 1).blocks);
}

// Inflates packed[from, to) with a fresh raw inflater, as the setup's workers do.
std::vector<uint8_t> InflateAlone(std::span<const uint8_t> packed, size_t from, size_t to, size_t n, int* rc) {
    z_stream z{};
    inflateInit2(&z, -15);
    std::vector<uint8_t> out(n + 1);
    z.next_in = const_cast<Bytef*>(packed.data() + from);
    z.avail_in = static_cast<uInt>(to - from);
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    // Stops after each deflate block; after the final one, once more to see the stream end.
    do {
        *rc = inflate(&z, Z_BLOCK);
    } while (*rc == Z_OK && !(z.avail_in == 0 && (z.data_type & (128 | 64)) == 128));
    EXPECT_EQ(z.avail_in, 0u);
    if (*rc == Z_OK) {
        EXPECT_EQ(z.data_type & 7, 0) << "ends on a byte";
    }
    out.resize(out.size() - z.avail_out);
    inflateEnd(&z);
    return out;
}

TEST(PackParallel, EveryIndexedBlockInflatesOnItsOwn) {
    const auto data = Mixed(3 * kPackBlock + 999, 11);
    const PackedBlocks packed = PackBlocks(data, 9, 2);
    ASSERT_EQ(packed.blocks.size(), 4u);
    EXPECT_EQ(packed.blocks[0], (PackedBlock{6, 0}));  // right after the length and the zlib header
    for (size_t i = 0; i < packed.blocks.size(); ++i) {
        SCOPED_TRACE(i);
        const bool last = i + 1 == packed.blocks.size();
        const size_t from = packed.blocks[i].packed_offset;
        const size_t to = last ? packed.bytes.size() - 4 : packed.blocks[i + 1].packed_offset;
        const size_t begin = packed.blocks[i].unpacked_offset, end = last ? data.size() : begin + kPackBlock;
        EXPECT_EQ(begin, i * kPackBlock);
        int rc = 0;
        const auto out = InflateAlone(packed.bytes, from, to, end - begin, &rc);
        EXPECT_EQ(rc, last ? Z_STREAM_END : Z_OK);
        EXPECT_TRUE(std::equal(out.begin(), out.end(), data.begin() + static_cast<ptrdiff_t>(begin),
                               data.begin() + static_cast<ptrdiff_t>(end)) && out.size() == end - begin);
    }
    EXPECT_TRUE(PackBlocks(Mixed(kPackBlock, 3), 9, 2).blocks.empty());  // one block: no index
}

TEST(PackParallel, HeaderNamesTheLevelAndSmallDataIsThePlainStream) {
    const auto data = Mixed(3 * kPackBlock, 4);
    for (int level : {1, 5, 6, 9}) {
        const auto packed = PackParallel(data, level, 2);
        // The same two header bytes zlib writes for that level.
        const auto plain = Pack(std::vector<uint8_t>(100, 'a'), level);
        EXPECT_EQ(packed[4], plain[4]) << level;
        EXPECT_EQ(packed[5], plain[5]) << level;
        EXPECT_EQ(Unpack(packed), data) << level;
    }
    const auto small = Mixed(1000, 5);
    EXPECT_EQ(PackParallel(small, 9, 4), Pack(small, 9));
    EXPECT_EQ(PackParallel({}, 9, 4), Pack({}, 9));
}

}  // namespace
}  // namespace setup::packager

// The payload deflated block by block on several threads: one zlib stream that inflates to
// the data, and the same bytes whatever the number of threads.
#include <gtest/gtest.h>
#include <zlib.h>

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
    // Priming each block with the data before it keeps the size within a few bytes per block
    // of the single stream's.
    const auto single = Pack(data, 9);
    EXPECT_LT(one.size(), single.size() + 64 * (data.size() / kPackBlock + 1));
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

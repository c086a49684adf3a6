// Packed-resource framing: a 32-bit little-endian length N, then one zlib stream.
#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <string>
#include <vector>

#include "base/error.h"
#include "package/packed_resource.h"

namespace setup {
namespace {

std::vector<uint8_t> Bytes(std::string_view s) { return {s.begin(), s.end()}; }

std::vector<uint8_t> RandomBytes(size_t n, uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> v(n);
    for (auto& b : v) b = static_cast<uint8_t>(rng());
    return v;
}

// A packed resource whose header claims n, around the zlib stream of data.
std::vector<uint8_t> Framed(uint32_t n, const std::vector<uint8_t>& data) {
    uLongf len = compressBound(data.size());
    std::vector<uint8_t> out(4 + len);
    EXPECT_EQ(compress2(out.data() + 4, &len, data.data(), data.size(), 6), Z_OK);
    out.resize(4 + len);
    for (int i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>(n >> (8 * i));
    return out;
}

std::string UnpackError(const std::vector<uint8_t>& packed) {
    try {
        Unpack(packed);
    } catch (const Error& e) {
        return e.text();
    }
    return "(no error)";
}

TEST(PackedResource, RoundTripsSmallAndMultiMegabyteData) {
    for (size_t n : {size_t{1}, size_t{100}, size_t{65537}}) {
        auto data = RandomBytes(n, static_cast<uint32_t>(n));
        EXPECT_EQ(Unpack(Pack(data)), data) << n;
    }
    // Larger than one output step of the unpacker, and compressible.
    std::vector<uint8_t> big(3 * 1024 * 1024 + 17);
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<uint8_t>((i * 7) ^ (i >> 9));
    auto packed = Pack(big);
    EXPECT_LT(packed.size(), big.size() / 2);
    EXPECT_EQ(Unpack(packed), big);
}

TEST(PackedResource, HeaderCarriesTheLengthAndTheStreamIsZlib) {
    auto data = Bytes("ZENTA ZENTA ZENTA");
    auto packed = Pack(data);
    ASSERT_GE(packed.size(), 6u);
    EXPECT_EQ(packed[0], 17);
    EXPECT_EQ(packed[1] | packed[2] | packed[3], 0);
    uLongf len = 64;
    std::vector<uint8_t> out(len);
    ASSERT_EQ(uncompress(out.data(), &len, packed.data() + 4, packed.size() - 4), Z_OK);
    EXPECT_EQ(std::vector<uint8_t>(out.begin(), out.begin() + len), data);
}

TEST(PackedResource, PackIsDeterministicAndHonoursTheLevel) {
    auto data = RandomBytes(5000, 1);
    data.insert(data.end(), 20000, 'a');
    EXPECT_EQ(Pack(data), Pack(data));
    EXPECT_NE(Pack(data, 0), Pack(data, 9));
    EXPECT_EQ(Unpack(Pack(data, 0)), data);
    EXPECT_EQ(Pack({}).size(), Pack({}).size());
    EXPECT_TRUE(Unpack(Pack({})).empty());
}

TEST(PackedResource, ZeroLengthIsEmptyWhateverFollows) {
    EXPECT_TRUE(Unpack(std::vector<uint8_t>{0, 0, 0, 0}).empty());
    EXPECT_TRUE(Unpack(std::vector<uint8_t>{0, 0, 0, 0, 0xDE, 0xAD, 0xBE, 0xEF}).empty());
}

TEST(PackedResource, DataBeyondTheLengthIsIgnored) {
    auto data = RandomBytes(1000, 2);
    auto out = Unpack(Framed(10, data));
    EXPECT_EQ(out, std::vector<uint8_t>(data.begin(), data.begin() + 10));
    // Also when the cut falls beyond the first output step.
    std::vector<uint8_t> big(3 << 20, 'z');
    EXPECT_EQ(Unpack(Framed((2 << 20) + 5, big)).size(), (2u << 20) + 5);
}

TEST(PackedResource, TrailingBytesAfterTheStreamAreIgnored) {
    auto data = Bytes("hello");
    auto packed = Pack(data);
    packed.insert(packed.end(), {1, 2, 3});
    EXPECT_EQ(Unpack(packed), data);
}

TEST(PackedResource, ShortHeaderIsAStreamReadError) {
    EXPECT_EQ(UnpackError({}), "Stream read error");
    EXPECT_EQ(UnpackError({5}), "Stream read error");
    EXPECT_EQ(UnpackError({5, 0, 0}), "Stream read error");
}

TEST(PackedResource, StreamEndingBeforeNIsAStreamReadError) {
    auto data = RandomBytes(5000, 3);
    EXPECT_EQ(UnpackError(Framed(5001, data)), "Stream read error");  // complete but short
    EXPECT_EQ(UnpackError({5, 0, 0, 0}), "Stream read error");        // no stream at all
    auto packed = Pack(data);
    packed.resize(packed.size() / 2);  // cut in the middle
    EXPECT_EQ(UnpackError(packed), "Stream read error");
}

TEST(PackedResource, CorruptDataIsAnError) {
    auto packed = Pack(RandomBytes(5000, 4));
    auto bad_header = packed;
    bad_header[4] ^= 0xFF;  // zlib header
    EXPECT_EQ(UnpackError(bad_header), "Error");
    EXPECT_EQ(UnpackError({9, 0, 0, 0, 0x78, 0x9C, 0xFF, 0xFF, 0xFF, 0xFF}), "Error");  // invalid block type
}

TEST(PackedResource, WrongChecksumOnAStreamOfExactlyNBytesIsAnError) {
    auto data = Bytes("the content of exactly this length");
    auto packed = Pack(data);
    packed.back() ^= 0x01;  // last byte of the Adler-32 trailer
    EXPECT_EQ(UnpackError(packed), "Error");
}

TEST(PackedResource, HugeLengthFailsCleanly) {
    auto packed = Framed(0xFFFFFFFFu, Bytes("tiny"));
    std::string text = UnpackError(packed);
    EXPECT_TRUE(text == "Out of memory" || text == "Stream read error") << text;
    packed = Framed(0x7FFFFFFFu, Bytes("tiny"));
    text = UnpackError(packed);
    EXPECT_TRUE(text == "Out of memory" || text == "Stream read error") << text;
}

// The payload is read from the file a piece at a time; wherever the pieces are cut (in the
// length, in the zlib header, in the trailer), the outcome is the one of the whole span.
TEST(PackedResource, PiecesCutAnywhereGiveTheSameBytesAndTheSameError) {
    const auto data = RandomBytes(70000, 5);
    auto truncated = Pack(data);
    truncated.resize(truncated.size() / 2);
    auto bad_trailer = Pack(Bytes("the content of exactly this length"));
    bad_trailer.back() ^= 0x01;
    auto trailing = Pack(Bytes("hello"));
    trailing.insert(trailing.end(), {1, 2, 3});
    const std::vector<std::vector<uint8_t>> inputs = {
        Pack(data), Framed(10, data), trailing, {}, {5, 0, 0}, {0, 0, 0, 0, 0xDE}, {5, 0, 0, 0},
        truncated, bad_trailer, Framed(5001, RandomBytes(5000, 3)),
        {9, 0, 0, 0, 0x78, 0x9C, 0xFF, 0xFF, 0xFF, 0xFF},
        // N bytes come out with the whole rest of the stream already taken in; the bits that
        // inflate holds are damaged, and that is an error in every cut (found by fuzzing).
        {2, 0, 0, 0, 0x78, 0x9C, 0x33, 0x9C, 0x00, 0xF2, 0x28}};
    EXPECT_EQ(UnpackError(inputs.back()), "Error");
    for (size_t i = 0; i < inputs.size(); ++i) {
        std::string whole;
        std::vector<uint8_t> want;
        try {
            want = Unpack(inputs[i]);
        } catch (const Error& e) {
            whole = e.text();
        }
        for (size_t piece : {size_t{1}, size_t{3}, size_t{5}, size_t{4096}}) {
            std::span<const uint8_t> rest = inputs[i];
            int calls_after_end = 0;
            const PackedPieces next = [&] {
                if (rest.empty()) ++calls_after_end;
                const auto p = rest.first(std::min(piece, rest.size()));
                rest = rest.subspan(p.size());
                return p;
            };
            std::string text;
            std::vector<uint8_t> got;
            try {
                const UnpackedBytes out = UnpackPieces(next);
                got.assign(out.data.get(), out.data.get() + out.size);
            } catch (const Error& e) {
                text = e.text();
            }
            EXPECT_EQ(text, whole) << "input " << i << ", pieces of " << piece;
            EXPECT_EQ(got, want) << "input " << i << ", pieces of " << piece;
            EXPECT_LE(calls_after_end, 1) << "input " << i << ": asked again after the end";
        }
    }
}

}  // namespace
}  // namespace setup

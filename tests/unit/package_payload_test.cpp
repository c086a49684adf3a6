// The wrapping byte sum, the start-up loader of "SETUPINI" and the payload's passes.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "base/error.h"
#include "package/packed_resource.h"
#include "package/payload.h"
#include "package/payload_stream.h"
#include "tests/support/fake_platform.h"

namespace setup {
namespace {

uint32_t NaiveSum(std::span<const uint8_t> b) {
    uint32_t s = 0;
    for (uint8_t x : b) s += x;
    return s;
}

TEST(ByteSum, MatchesAPlainSumForEveryLengthAndAlignment) {
    std::mt19937 rng(7);
    std::vector<uint8_t> buf(600);
    for (auto& b : buf) b = static_cast<uint8_t>(rng());
    for (size_t start = 0; start < 17; ++start) {
        for (size_t len = 0; start + len <= buf.size(); len += (len < 140 ? 1 : 37)) {
            std::span<const uint8_t> s(buf.data() + start, len);
            ASSERT_EQ(ByteSum(s), NaiveSum(s)) << start << "+" << len;
            ASSERT_EQ(ByteSumPortable(s), NaiveSum(s)) << start << "+" << len;
        }
    }
}

TEST(ByteSum, WrapsModulo2To32) {
    // 16843010 * 255 = 4294967550 = 2^32 + 254.
    std::vector<uint8_t> ff(16843010, 0xFF);
    EXPECT_EQ(ByteSum(ff), 254u);
    EXPECT_EQ(ByteSumPortable(ff), 254u);
    // One byte fewer stays below 2^32.
    std::span<const uint8_t> less(ff.data(), ff.size() - 1);
    EXPECT_EQ(ByteSum(less), 4294967295u);
    EXPECT_EQ(ByteSumPortable(less), 4294967295u);
}

TEST(ByteSum, EmptyIsZero) {
    EXPECT_EQ(ByteSum({}), 0u);
    EXPECT_EQ(ByteSumPortable({}), 0u);
}

std::string ErrorText(auto&& fn) {
    try {
        fn();
    } catch (const Error& e) {
        return e.text();
    }
    return "(no error)";
}

TEST(LoadRecord, DecodesTheResourceWithoutTouchingTheDisk) {
    SetupConfig written;
    ASSERT_TRUE(written.SetText(TextField::ProductName, "ZENTA-KOV"));
    ASSERT_TRUE(written.SetFile(0, {"\\ZENTA-KOV.exe", 0, 1222655}));
    written.SetCounts(1, 0, 0);
    written.SetPackSum(195172838);

    testing::FakeMachine m;
    m.fs.AddFile("C:\\Downloads\\tmp.cx", "the user's own file");
    m.resources.items["SETUPINI"] = Pack(written.Bytes());
    SetupConfig c;
    LoadRecord(m.resources, c);
    EXPECT_TRUE(std::equal(c.Bytes().begin(), c.Bytes().end(), written.Bytes().begin()));
    EXPECT_EQ(c.ProductName(), "ZENTA-KOV");
    EXPECT_EQ(c.File(0).size, 1222655u);
    EXPECT_TRUE(m.log.empty());
    ASSERT_TRUE(m.fs.File("C:\\Downloads\\tmp.cx"));
    EXPECT_EQ(m.fs.File("C:\\Downloads\\tmp.cx")->size(), 19u);
}

TEST(LoadRecord, ShortRecordLeavesTheRestZero) {
    std::vector<uint8_t> head(700, 0);
    head[516] = 2;
    head[517] = 'V';
    head[518] = '1';
    testing::FakeResources res;
    res.items["SETUPINI"] = Pack(head);
    SetupConfig c;
    c.SetCounts(3, 3, 3);
    LoadRecord(res, c);
    EXPECT_EQ(c.Version(), "V1");
    EXPECT_EQ(c.FileCount(), 0);
    EXPECT_EQ(c.FolderName(), "");
}

TEST(LoadRecord, FailuresLeaveTheRecordAsItWas) {
    testing::FakeResources res;
    SetupConfig c;
    ASSERT_TRUE(c.SetText(TextField::Company, "Before"));
    EXPECT_EQ(ErrorText([&] { LoadRecord(res, c); }), "Resource SETUPINI not found");
    auto packed = Pack(std::vector<uint8_t>(207160, 7));
    packed.resize(packed.size() - 6);
    res.items["SETUPINI"] = packed;
    EXPECT_EQ(ErrorText([&] { LoadRecord(res, c); }), "Stream read error");
    EXPECT_EQ(c.Company(), "Before");
}

// Each pass hands over the whole payload again, in order.
TEST(OpenPayload, EveryPassStreamsTheWholePayload) {
    std::mt19937 rng(11);
    std::vector<uint8_t> data(3000000);
    for (auto& b : data) b = static_cast<uint8_t>(rng() % 7);
    testing::FakeResources res;
    res.items["SETUPPACK"] = Pack(data);
    PayloadStream p = OpenPayload(res);
    EXPECT_EQ(p.size(), data.size());
    for (int pass = 0; pass < 2; ++pass) {
        std::vector<uint8_t> seen;
        size_t pieces = 0;
        p.Stream([&](std::span<const uint8_t> piece) {
            seen.insert(seen.end(), piece.begin(), piece.end());
            ++pieces;
        });
        EXPECT_EQ(seen, data);
        EXPECT_GT(pieces, 1u);  // never the whole payload at once
    }
}

TEST(OpenPayload, MissingOrDamagedResourceIsAnError) {
    testing::FakeResources res;
    EXPECT_EQ(ErrorText([&] { OpenPayload(res); }), "Resource SETUPPACK not found");
    res.items["SETUPPACK"] = {1, 0, 0};
    EXPECT_EQ(ErrorText([&] { OpenPayload(res); }), "Stream read error");
    res.items["SETUPPACK"] = {1, 0, 0, 0, 0x78, 0x9C, 0xFF};
    EXPECT_EQ(ErrorText([&] { OpenPayload(res).Stream([](auto) {}); }), "Error");
    res.items["SETUPPACK"] = {0, 0, 0, 0};
    EXPECT_EQ(OpenPayload(res).size(), 0u);
}

}  // namespace
}  // namespace setup

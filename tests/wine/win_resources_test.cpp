// WinResources: RCDATA of the running executable (resources/test.rc).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/error.h"
#include "win/platform_win.h"

namespace setup::win {
namespace {

TEST(WinResourcesTest, FindsRcdataByName) {
    WinResources resources;
    auto bytes = resources.Find("ZSTESTDATA");
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "0123456789");
    // Resource names are not case-sensitive, and the bytes stay where they are.
    auto again = resources.Find("zstestdata");
    EXPECT_EQ(again.data(), bytes.data());
}

TEST(WinResourcesTest, EmptyResourceIsFoundEmpty) {
    WinResources resources;
    EXPECT_TRUE(resources.Find("ZSTESTEMPTY").empty());
}

TEST(WinResourcesTest, MissingResourceRaisesTheErrorText) {
    WinResources resources;
    try {
        resources.Find("SETUPPACK");
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.text(), "Resource SETUPPACK not found");
    }
}

TEST(WinResourcesTest, ResourceOfAnotherTypeIsNotRcdata) {
    // The version resource exists, but not as RCDATA.
    WinResources resources;
    EXPECT_THROW(resources.Find("#1"), Error);
}

// OpenSource reads the bytes from the executable's file, through the section layout of the
// image, at any offset.
TEST(WinResourcesTest, OpenSourceReadsTheSameBytesAsFind) {
    WinResources resources;
    for (const char* name : {"ZSTESTDATA", "ZSTESTEMPTY"}) {
        const auto mapped = resources.Find(name);
        auto source = resources.OpenSource(name);
        ASSERT_EQ(source->Size(), mapped.size()) << name;
        std::vector<uint8_t> read(mapped.size());
        const size_t half = read.size() / 2;
        source->ReadAt(half, std::span(read).subspan(half));
        source->ReadAt(0, std::span(read).first(half));
        EXPECT_TRUE(std::equal(read.begin(), read.end(), mapped.begin())) << name;
        uint8_t past;
        EXPECT_THROW(source->ReadAt(mapped.size(), std::span(&past, 1)), Error) << name;
    }
    try {
        resources.OpenSource("SETUPPACK");
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.text(), "Resource SETUPPACK not found");
    }
}

}  // namespace
}  // namespace setup::win

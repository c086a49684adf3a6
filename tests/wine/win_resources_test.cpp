// WinResources: RCDATA of the running executable (resources/test.rc).
#include <gtest/gtest.h>

#include <string>

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

// Open reads the bytes from the executable's file, through the section layout of the image.
TEST(WinResourcesTest, OpenHandsOverTheSameBytesAsFind) {
    WinResources resources;
    for (const char* name : {"ZSTESTDATA", "ZSTESTEMPTY"}) {
        const auto mapped = resources.Find(name);
        std::string read;
        auto reader = resources.Open(name);
        for (auto piece = reader->Next(); !piece.empty(); piece = reader->Next()) read.append(piece.begin(), piece.end());
        EXPECT_EQ(read, std::string(mapped.begin(), mapped.end())) << name;
        EXPECT_TRUE(reader->Next().empty()) << name;
    }
    try {
        resources.Open("SETUPPACK");
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.text(), "Resource SETUPPACK not found");
    }
}

}  // namespace
}  // namespace setup::win

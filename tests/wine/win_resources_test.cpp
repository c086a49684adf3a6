// WinResources: RCDATA of the running executable (resources/test.rc).
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace setup::win

#include <windows.h>

#include <gtest/gtest.h>

TEST(WineSmoke, RunsUnderWindowsApi) {
    EXPECT_NE(GetModuleHandleW(nullptr), nullptr);
}

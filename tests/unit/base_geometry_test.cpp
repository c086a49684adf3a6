#include <gtest/gtest.h>

#include "base/geometry.h"

namespace setup {
namespace {

TEST(Rect, SizeGivesTheFarEdgesWhichHitTestsExclude) {
    const Rect r = Rect::FromSize(10, 20, 30, 40);
    EXPECT_EQ(r, (Rect{10, 20, 40, 60}));
    EXPECT_EQ(r.width(), 30);
    EXPECT_EQ(r.height(), 40);
    EXPECT_TRUE(r.Contains(10, 20));
    EXPECT_TRUE(r.Contains(39, 59));
    EXPECT_FALSE(r.Contains(40, 30));
    EXPECT_FALSE(r.Contains(20, 60));
    EXPECT_FALSE(r.Contains(9, 30));
    EXPECT_FALSE(r.Contains(20, 19));
}

}  // namespace
}  // namespace setup

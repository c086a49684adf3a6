#include "base/text.h"

#include <gtest/gtest.h>

namespace setup {
namespace {

TEST(GbkText, CutNeverSplitsATwoByteCharacter) {
    const std::string s = "ab中文";  // a b, then two 2-byte characters
    ASSERT_EQ(s.size(), 6u);
    EXPECT_EQ(CutGbk(s, 3), "ab");
    EXPECT_EQ(CutGbk(s, 4), "ab中");
    EXPECT_EQ(CutGbk(s, 5), "ab中");
    EXPECT_EQ(CutGbk(s, 99), s);
    EXPECT_EQ(CutBytes(s, 3).size(), 3u);  // the plain cut keeps half a character
}

TEST(GbkText, TrimRemovesBlanksAndControlCharactersOnly) {
    EXPECT_EQ(Trim("  \t D:\\Apps\\X \r\n"), "D:\\Apps\\X");
    EXPECT_EQ(Trim("中 文"), "中 文");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(GbkCharCount("a中b"), 3u);
}

}  // namespace
}  // namespace setup

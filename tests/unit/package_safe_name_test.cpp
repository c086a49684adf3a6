// Which stored file names may be written below the target folder.
#include <gtest/gtest.h>

#include <string>

#include "package/safe_name.h"

namespace setup {
namespace {

struct Case {
    std::string name;
    bool safe;
};

TEST(SafeStoredName, Table) {
    const std::string kTrail5C = "\x81" "\x5C";  // a GBK character whose second byte is "\"
    const Case cases[] = {
        // Ordinary names.
        {"\\readme.txt", true},
        {"\\ZENTA-KOV.exe", true},
        {"\\青岚护卫更新.url", true},
        {"\\bin\\tools\\x.dll", true},
        {"\\.hidden", true},
        {"\\a..b", true},
        {"\\ leading blank", true},
        {"\\console.txt", true},
        {"\\COM10", true},
        {"\\LPT", true},
        {"\\auxiliary\\x", true},
        {"\\CONIN", true},
        {"\\" + kTrail5C + ".txt", true},
        {"\\dir" + kTrail5C + "\\x", true},
        // Leaving the folder.
        {"\\..\\x", false},
        {"\\a\\..\\..\\x", false},
        {"\\..", false},
        {"\\.", false},
        {"\\a\\.\\b", false},
        {"\\...", false},
        {"C:\\x", false},
        {"\\C:\\x", false},
        {"\\\\server\\share", false},
        {"\\\\?\\C:\\x", false},
        {"\\a/../../x", false},
        {"/x", false},
        {"x", false},
        // Devices, with and without extension, any case.
        {"\\CON", false},
        {"\\con", false},
        {"\\nul.txt", false},
        {"\\a\\NUL", false},
        {"\\PRN.log", false},
        {"\\aux", false},
        {"\\COM1", false},
        {"\\lpt9.dat", false},
        {"\\CON .txt", false},
        {"\\CONOUT$", false},
        // Streams, empty components, trailing separators, dots and blanks.
        {"\\a:b", false},
        {"\\a::$DATA", false},
        {"\\a\\", false},
        {"\\a\\\\b", false},
        {"\\a.", false},
        {"\\a ", false},
        {"\\dir.\\x", false},
        {"", false},
        {"\\", false},
        // Characters Windows refuses, control characters and broken GBK.
        {"\\a*b", false},
        {"\\*.*", false},
        {"\\a?b", false},
        {"\\a<b", false},
        {"\\a>b", false},
        {"\\a|b", false},
        {"\\a\"b", false},
        {"\\a\tb", false},
        {"\\a\nb", false},
        {std::string("\\a\0b", 4), false},
        {"\\a\x7F", false},
        {"\\a\xFF", false},
        {"\\a\x81", false},          // lead byte with nothing after it
        {"\\a\x81" ".", false},      // lead byte with an invalid trail byte
        {"\\\x81" ":x", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsSafeStoredName(c.name), c.safe) << "name: " << c.name;
}

TEST(SafeStoredName, TrailByte5CDoesNotHideAParentReference) {
    // "\" + character(0x81 0x5C) + ".." : without GBK awareness this reads as a component
    // followed by "..", and with it the name is one component ending in a dot: refused both ways.
    EXPECT_FALSE(IsSafeStoredName("\\\x81" "\x5C" ".."));
    // A real separator after the character, then "..": refused.
    EXPECT_FALSE(IsSafeStoredName("\\\x81" "\x5C" "\\.."));
    // The character followed by a plain name is one safe component.
    EXPECT_TRUE(IsSafeStoredName("\\\x81" "\x5C" "x"));
}

}  // namespace
}  // namespace setup

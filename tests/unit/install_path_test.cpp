// GBK path helpers and ForceFolder.
#include <gtest/gtest.h>

#include "install/force_folder.h"
#include "install/path_text.h"
#include "tests/support/fake_platform.h"

namespace setup {
namespace {

using testing::FakeMachine;

// 乗 is 0x81 0x5C in GBK: its trail byte is the code of "\".
const std::string kTrailBackslash = "乗";

TEST(InstallPathText, TrailByteIsBackslashForTheTestCharacter) {
    ASSERT_EQ(kTrailBackslash, std::string("\x81\x5C"));
}

TEST(InstallPathText, LastPosFindsTheLastWholeCharacterMatch) {
    EXPECT_EQ(LastPos("\\", "C:\\a\\b"), 5u);
    EXPECT_EQ(LastPos("\\", "abc"), 0u);
    EXPECT_EQ(LastPos("", "abc"), 0u);
    EXPECT_EQ(LastPos("ab", "abxab"), 4u);
    EXPECT_EQ(LastPos("AB", "abxab"), 0u);  // case-sensitive
    // The "\" inside 乗 is not a separator: the last real one is at byte 3.
    EXPECT_EQ(LastPos("\\", "C:\\" + kTrailBackslash + "x"), 3u);
}

TEST(InstallPathText, ShortenPathKeepsShortPathsAndShortensLongOnes) {
    const std::string p41 = "C:\\Program Files\\ZENTA-KOV\\sub\\readme.txt";
    ASSERT_EQ(p41.size(), 41u);
    EXPECT_EQ(ShortenPath(p41, 40), "C:\\...\\readme.txt");
    EXPECT_EQ(ShortenPath(p41.substr(0, 40), 40), p41.substr(0, 40));  // 40 bytes: whole
    // The file name part is cut to 40 bytes whatever the limit, never inside a character.
    const std::string long_name(45, 'n');
    EXPECT_EQ(ShortenPath("C:\\dir\\" + long_name, 10), "C:\\...\\" + std::string(40, 'n'));
    const std::string gbk_name = std::string(39, 'a') + "中文";
    EXPECT_EQ(ShortenPath("C:\\d\\" + gbk_name, 10), "C:\\...\\" + std::string(39, 'a'));
    // A name holding 乗 is shown whole, not from the middle of the character.
    const std::string gbk_path = "C:\\Program Files\\ZENTA-KOV\\" + kTrailBackslash + "sub.txt";
    EXPECT_EQ(ShortenPath(gbk_path, 20), "C:\\...\\" + kTrailBackslash + "sub.txt");
    // No separator at all: the whole text, cut.
    EXPECT_EQ(ShortenPath(std::string(50, 'x'), 40), "xxx...\\" + std::string(40, 'x'));
}

TEST(InstallPathText, FolderParts) {
    EXPECT_EQ(FolderOf("C:\\a\\b.txt"), "C:\\a");
    EXPECT_EQ(FolderOf("b.txt"), "");
    EXPECT_EQ(FolderWithSeparator("C:\\ZENTA-KOV\\ZENTA-KOV.exe"), "C:\\ZENTA-KOV\\");
    EXPECT_EQ(FolderWithSeparator("C:\\" + kTrailBackslash + ".exe"), "C:\\");
    EXPECT_EQ(FolderWithSeparator("x.exe"), "");
    EXPECT_FALSE(HasSeparator(kTrailBackslash + ".lnk"));
    EXPECT_TRUE(HasSeparator("a\\b"));
}

TEST(InstallForceFolder, CreatesEveryMissingLevelInOrder) {
    FakeMachine m;
    EXPECT_TRUE(ForceFolder(m.fs, "C:\\a\\b\\c"));
    EXPECT_EQ(m.log, (std::vector<std::string>{"mkdir C:\\a\\", "mkdir C:\\a\\b\\", "mkdir C:\\a\\b\\c"}));
    m.log.clear();
    EXPECT_TRUE(ForceFolder(m.fs, "C:\\a\\b\\c"));  // all present: nothing made
    EXPECT_TRUE(m.log.empty());
    EXPECT_TRUE(ForceFolder(m.fs, ""));
    EXPECT_TRUE(m.log.empty());
}

TEST(InstallForceFolder, StopsAtTheFirstFailureAndKeepsWhatWasMade) {
    FakeMachine m;
    m.fs.unwritable_dirs.insert(testing::NormPath("C:\\a\\b"));
    EXPECT_FALSE(ForceFolder(m.fs, "C:\\a\\b\\c"));
    EXPECT_TRUE(m.fs.DirectoryExists("C:\\a"));
    EXPECT_FALSE(m.fs.DirectoryExists("C:\\a\\b\\c"));
    EXPECT_FALSE(ForceFolder(m.fs, "Q:\\x"));  // no such drive
    m.fs.AddFile("C:\\file", "x");              // a file where a level should be
    EXPECT_FALSE(ForceFolder(m.fs, "C:\\file\\sub"));
}

// Records the levels ForceFolder looks at; every directory can be made.
class LevelRecorder : public testing::FakeFileSystem {
public:
    using FakeFileSystem::FakeFileSystem;
    std::vector<std::string> made;
    bool DirectoryExists(const std::string& path) override { return path == "C:\\"; }
    bool CreateDirectory(const std::string& path) override {
        made.push_back(path);
        return true;
    }
};

TEST(InstallForceFolder, DoesNotSplitATwoByteCharacter) {
    std::vector<std::string> log;
    LevelRecorder fs(log);
    EXPECT_TRUE(ForceFolder(fs, "C:\\" + kTrailBackslash + "x\\y"));
    EXPECT_EQ(fs.made, (std::vector<std::string>{"C:\\" + kTrailBackslash + "x\\", "C:\\" + kTrailBackslash + "x\\y"}));
}

}  // namespace
}  // namespace setup

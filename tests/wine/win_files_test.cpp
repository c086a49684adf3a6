// WinFileSystem against real files in a throwaway folder.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/wine/win_test_util.h"
#include "win/handles.h"
#include "win/platform_win.h"
#include "win/system.h"
#include "win/text.h"

namespace setup::win {
namespace {

using testing::ReadWholeFile;
using testing::TempDir;

std::span<const uint8_t> Bytes(std::string_view s) {
    return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

std::string Content(const std::wstring& path) {
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, bytes)) return "<unreadable>";
    return std::string(bytes.begin(), bytes.end());
}

// Creates a symbolic link and checks that it is really there as a reparse point (some
// systems report success without making one).
bool MakeLink(const std::wstring& link, const std::wstring& target, DWORD flags) {
    if (!::CreateSymbolicLinkW(link.c_str(), target.c_str(), flags)) return false;
    DWORD attributes = ::GetFileAttributesW(link.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

char MissingDriveLetter() {
    DWORD drives = ::GetLogicalDrives();
    for (char letter = 'Y'; letter >= 'D'; --letter)
        if (!(drives & (1u << (letter - 'A')))) return letter;
    return 0;
}

class WinFileSystemTest : public ::testing::Test {
protected:
    TempDir dir_;
    WinFileSystem fs_;
};

TEST_F(WinFileSystemTest, WriteFileCreatesAndReplacesWholeContent) {
    const std::string path = dir_.Gbk(L"a.bin");
    ASSERT_TRUE(fs_.WriteFile(path, Bytes("first content")).ok());
    EXPECT_EQ(Content(dir_ / L"a.bin"), "first content");
    ASSERT_TRUE(fs_.WriteFile(path, Bytes("short")).ok());
    EXPECT_EQ(Content(dir_ / L"a.bin"), "short");
    ASSERT_TRUE(fs_.WriteFile(path, {}).ok());
    EXPECT_EQ(Content(dir_ / L"a.bin"), "");
}

TEST_F(WinFileSystemTest, GbkNamesLandAsTheirUnicodeNames) {
    ASSERT_TRUE(fs_.WriteFile(dir_.Gbk(L"卸载说明.txt"), Bytes("x")).ok());
    EXPECT_TRUE(testing::PathExists(dir_ / L"卸载说明.txt"));
    EXPECT_TRUE(fs_.FileExists(dir_.gbk() + "卸载说明.txt"));
}

// The new file is written whole beside the held one; putting it in place fails, and neither
// the held file nor a temporary file is left changed or behind.
TEST_F(WinFileSystemTest, FileHeldOpenWithoutSharingIsNotReplaced) {
    const std::wstring wide = dir_ / L"locked.dll";
    UniqueFile holder(::CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(holder);
    auto result = fs_.WriteFile(dir_.Gbk(L"locked.dll"), Bytes("new"));
    EXPECT_EQ(result.stage, FileSystem::WriteResult::kReplaceFailed);
    ASSERT_FALSE(result.reason.empty());
    EXPECT_NE(result.reason.back(), '.');
    EXPECT_NE(result.reason.back(), '\n');
    EXPECT_EQ(result.reason.find('\r'), std::string::npos);
    holder.reset();
    EXPECT_EQ(Content(wide), "");  // the held file was not touched
    WIN32_FIND_DATAW found;
    HANDLE h = ::FindFirstFileW((dir_ / L"*").c_str(), &found);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    int entries = 0;
    do entries += found.cFileName[0] != L'.';
    while (::FindNextFileW(h, &found));
    ::FindClose(h);
    EXPECT_EQ(entries, 1) << "a temporary file is left";
}

TEST_F(WinFileSystemTest, MissingFolderFailsAtCreate) {
    auto result = fs_.WriteFile(dir_.Gbk(L"no\\such\\file.txt"), Bytes("x"));
    EXPECT_EQ(result.stage, FileSystem::WriteResult::kCreateFailed);
    EXPECT_EQ(result.reason, SystemErrorText(ERROR_PATH_NOT_FOUND));
}

TEST_F(WinFileSystemTest, SystemErrorTextHasNoFinalFullStopOrLineBreak) {
    for (DWORD code : {ERROR_ACCESS_DENIED, ERROR_FILE_NOT_FOUND, ERROR_DISK_FULL}) {
        std::string text = SystemErrorText(code);
        ASSERT_FALSE(text.empty()) << code;
        EXPECT_NE(text.back(), '.') << text;
        EXPECT_GT(static_cast<unsigned char>(text.back()), ' ') << text;
    }
}

TEST_F(WinFileSystemTest, WriteNewFileReplacesAPlainFile) {
    ASSERT_TRUE(testing::WriteWholeFile(dir_ / L"tmp.cx", "stray content from an earlier run"));
    ASSERT_TRUE(fs_.WriteNewFile(dir_.Gbk(L"tmp.cx"), Bytes("packed")).ok());
    EXPECT_EQ(Content(dir_ / L"tmp.cx"), "packed");
}

TEST_F(WinFileSystemTest, WriteNewFileNeverGoesThroughADirectory) {
    ASSERT_TRUE(::CreateDirectoryW((dir_ / L"Z_ta.cx").c_str(), nullptr));
    auto result = fs_.WriteNewFile(dir_.Gbk(L"Z_ta.cx"), Bytes("packed"));
    EXPECT_EQ(result.stage, FileSystem::WriteResult::kCreateFailed);
    EXPECT_FALSE(result.reason.empty());
    EXPECT_TRUE(fs_.DirectoryExists(dir_.Gbk(L"Z_ta.cx")));
}

TEST_F(WinFileSystemTest, WriteNewFileKeepsAReadOnlyFileAndFails) {
    const std::wstring wide = dir_ / L"ro.txt";
    ASSERT_TRUE(testing::WriteWholeFile(wide, "kept"));
    ASSERT_TRUE(::SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(fs_.WriteNewFile(dir_.Gbk(L"ro.txt"), Bytes("new")).stage, FileSystem::WriteResult::kCreateFailed);
    EXPECT_EQ(Content(wide), "kept");
}

TEST_F(WinFileSystemTest, WriteNewFileReplacesAFileLinkWithoutWritingItsTarget) {
    const std::wstring target = dir_ / L"target.txt";
    ASSERT_TRUE(testing::WriteWholeFile(target, "precious"));
    if (!MakeLink(dir_ / L"link.txt", target, 0)) GTEST_SKIP() << "symbolic links unavailable";
    auto result = fs_.WriteNewFile(dir_.Gbk(L"link.txt"), Bytes("new"));
    ASSERT_TRUE(result.ok()) << result.reason;
    EXPECT_EQ(Content(target), "precious");
    EXPECT_EQ(Content(dir_ / L"link.txt"), "new");
    EXPECT_FALSE(::GetFileAttributesW((dir_ / L"link.txt").c_str()) & FILE_ATTRIBUTE_REPARSE_POINT);
}

TEST_F(WinFileSystemTest, WriteNewFileRefusesADirectoryLink) {
    ASSERT_TRUE(::CreateDirectoryW((dir_ / L"real").c_str(), nullptr));
    if (!MakeLink(dir_ / L"linked", dir_ / L"real", SYMBOLIC_LINK_FLAG_DIRECTORY))
        GTEST_SKIP() << "symbolic links unavailable";
    EXPECT_FALSE(fs_.WriteNewFile(dir_.Gbk(L"linked"), Bytes("x")).ok());
    EXPECT_TRUE(fs_.DirectoryExists(dir_.Gbk(L"real")));
    EXPECT_TRUE(::RemoveDirectoryW((dir_ / L"real").c_str()));  // still empty
}

TEST_F(WinFileSystemTest, DirectoryTests) {
    ASSERT_TRUE(testing::WriteWholeFile(dir_ / L"file", "x"));
    EXPECT_TRUE(fs_.DirectoryExists(dir_.gbk()));
    EXPECT_TRUE(fs_.DirectoryExists(dir_.gbk().substr(0, dir_.gbk().size() - 1)));
    EXPECT_FALSE(fs_.DirectoryExists(dir_.Gbk(L"file")));
    EXPECT_TRUE(fs_.FileExists(dir_.Gbk(L"file")));
    EXPECT_FALSE(fs_.FileExists(dir_.gbk()));
    EXPECT_FALSE(fs_.DirectoryExists(dir_.Gbk(L"none")));
    EXPECT_FALSE(fs_.FileExists(dir_.Gbk(L"none")));
}

TEST_F(WinFileSystemTest, DriveWithTrailingBlankAsksWhetherTheDriveIsReady) {
    EXPECT_TRUE(fs_.DirectoryExists("C: "));
    char missing = MissingDriveLetter();
    ASSERT_NE(missing, 0);
    EXPECT_FALSE(fs_.DirectoryExists(std::string(1, missing) + ": "));
    EXPECT_FALSE(fs_.DirectoryExists(std::string(1, missing) + ":\\"));
}

TEST_F(WinFileSystemTest, CreateDirectoryMakesOneLevel) {
    EXPECT_TRUE(fs_.CreateDirectory(dir_.Gbk(L"新目录")));
    EXPECT_TRUE(testing::PathExists(dir_ / L"新目录"));
    EXPECT_FALSE(fs_.CreateDirectory(dir_.Gbk(L"新目录")));           // exists already
    EXPECT_FALSE(fs_.CreateDirectory(dir_.Gbk(L"a\\b")));             // parent missing
    EXPECT_FALSE(testing::PathExists(dir_ / L"a"));
}

TEST_F(WinFileSystemTest, DeleteFileRemovesOnlyFiles) {
    ASSERT_TRUE(testing::WriteWholeFile(dir_ / L"f", "x"));
    EXPECT_TRUE(fs_.DeleteFile(dir_.Gbk(L"f")));
    EXPECT_FALSE(testing::PathExists(dir_ / L"f"));
    EXPECT_FALSE(fs_.DeleteFile(dir_.Gbk(L"f")));
    EXPECT_FALSE(fs_.DeleteFile(dir_.gbk()));
}

TEST_F(WinFileSystemTest, SetCurrentDirectory) {
    wchar_t before[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, before);
    ASSERT_TRUE(fs_.CreateDirectory(dir_.Gbk(L"程序组")));
    ASSERT_TRUE(fs_.SetCurrentDirectory(dir_.Gbk(L"程序组")));
    wchar_t now[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, now);
    EXPECT_EQ(_wcsicmp(now, (dir_ / L"程序组").c_str()), 0);
    EXPECT_FALSE(fs_.SetCurrentDirectory(dir_.Gbk(L"missing")));
    ::SetCurrentDirectoryW(before);
}

TEST_F(WinFileSystemTest, ModuleFolderEndsWithBackslashAndHoldsTheExecutable) {
    std::string folder = fs_.ModuleFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '\\');
    EXPECT_TRUE(fs_.FileExists(folder + "wine_tests.exe"));
}

}  // namespace
}  // namespace setup::win

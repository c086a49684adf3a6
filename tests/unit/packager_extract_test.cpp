// `extract` and `inspect` on setups whose records the tool would never build: hostile stored
// names, names GBK cannot convert, link names and record texts the setup refuses. The
// records are written here directly and put into a synthetic stub.
#include <gtest/gtest.h>

#include <sstream>

#include "package/packed_resource.h"
#include "package/payload.h"
#include "tests/unit/packager_test_support.h"
#include "tools/packager/bytes.h"
#include "tools/packager/inspect.h"
#include "tools/packager/pe_writer.h"
#include "tools/packager/resource_tree.h"
#include "tools/packager/stored_path.h"

namespace setup::packager {
namespace {

using testing::TempDir;
using testing::U8;

// The bytes extract writes for a stored name (narrow literals are GBK), or "refused".
std::string Mapped(const std::string& gbk) {
    const auto parts = MapStoredName(gbk);
    if (!parts) return "refused";
    std::string joined;
    for (const std::string& p : *parts) joined += (joined.empty() ? "" : "|") + p;
    return joined;
}

TEST(ExtractMapping, SplitsOnSeparatorCharactersAndRefusesWhatDoesNotConvert) {
    EXPECT_EQ(Mapped("\\readme.txt"), "readme.txt");
    EXPECT_EQ(Mapped("\\文档\\说明.txt"), U8(u8"文档|说明.txt"));
    EXPECT_EQ(Mapped("\\\x81\x5C" "\\x"), U8(u8"乗|x")) << "a trail byte 0x5C is no separator";
    EXPECT_EQ(Mapped("\\a\\...b"), "a|...b");
    // A1 5C is no GBK character: once escaped for display it read "..\xA1" "\pwn.txt" and
    // extract wrote ../xA1/pwn.txt, outside its folder.
    EXPECT_EQ(Mapped("\\..\xA1\x5Cpwn.txt"), "refused");
    EXPECT_EQ(Mapped("\\ok\\\xA1\x5C"), "refused");
    EXPECT_EQ(Mapped("\\a\xFE\xFE"), "refused");  // user-defined, unassigned in GBK
    for (const char* hostile : {"\\..\\x", "\\a\\..\\..\\x", "\\.", "\\a/../../x", "/etc/passwd", "\\\\server\\x",
                                "\\C:\\x", "\\nul", "\\a\\", "\\\x81", ""})
        EXPECT_EQ(Mapped(hostile), "refused") << hostile;
}

// A setup with the given record and payload in a synthetic stub.
std::vector<uint8_t> SetupWith(const SetupConfig& c, const std::string& payload) {
    const PeImage stub = PeImage::Parse(testing::MakeStub({.resources = testing::TypicalStubResources()}), "stub");
    std::vector<Resource> list = ReadResources(stub);
    const auto put = [&](const char* name, std::vector<uint8_t> data) {
        PutResource(list, Resource{ResourceId::Id(kRtRcdata), ResourceId::Name(name), 0, 0, std::move(data)});
    };
    put("SETUPINI", Pack(c.Bytes()));
    put("SETUPPACK", Pack(std::vector<uint8_t>(payload.begin(), payload.end())));
    put("PROTOCOL", {'o', 'k'});
    return WithResources(stub, list);
}

// The record of a small, fit package: two files, one shortcut.
void FillRecord(SetupConfig& c, const std::string& payload) {
    ASSERT_TRUE(c.SetText(TextField::Company, "ZENTA"));
    ASSERT_TRUE(c.SetText(TextField::ProductName, "ZENTA-KOV"));
    ASSERT_TRUE(c.SetText(TextField::FolderName, "ZENTA-KOV"));
    ASSERT_TRUE(c.SetFile(0, {"\\a.txt", 0, 3}));
    ASSERT_TRUE(c.SetFile(1, {"\\sub\\b.txt", 3, 4}));
    ASSERT_TRUE(c.SetShortcut(0, {"ZENTA-KOV", 0, 0, ""}));
    c.SetCounts(2, 1, 0);
    c.SetPackSum(ByteSum(std::span(reinterpret_cast<const uint8_t*>(payload.data()), payload.size())));
}

class HostileSetup : public ::testing::Test {
protected:
    void Write(const SetupConfig& c) { dir_.Write("setup.exe", SetupWith(c, kPayload)); }
    size_t ExtractTo(const std::string& sub) {
        std::ostringstream log;
        return Extract(dir_ / "setup.exe", dir_ / sub, log);
    }
    std::string InspectText(bool* ok = nullptr) {
        std::ostringstream shown;
        const bool passed = Inspect(dir_ / "setup.exe", shown);
        if (ok) *ok = passed;
        return shown.str();
    }
    std::string Read(const std::string& name) const {
        const auto bytes = dir_.Read(name);
        return std::string(bytes.begin(), bytes.end());
    }

    const std::string kPayload = "abcdefg";
    TempDir dir_;
};

TEST_F(HostileSetup, ExtractRefusesAnEscapingNameAndWritesNothing) {
    SetupConfig c;
    FillRecord(c, kPayload);
    ASSERT_TRUE(c.SetFile(1, {"\\..\xA1\x5Cpwn.txt", 3, 4}));
    Write(c);
    EXPECT_THROW(ExtractTo("out/target"), PackError);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "out")) << "not even the first, safe file";
    bool ok = true;
    const std::string shown = InspectText(&ok);
    EXPECT_FALSE(ok);
    EXPECT_NE(shown.find("file 1: the stored name \"\\..\\xA1\\pwn.txt\": the part"), std::string::npos) << shown;
    EXPECT_NE(shown.find("(extract cannot write it)"), std::string::npos) << shown;
}

TEST_F(HostileSetup, ExtractFollowsNoSymbolicLinkInTheTarget) {
    SetupConfig c;
    FillRecord(c, kPayload);
    Write(c);
    dir_.Write("outside/victim", std::string("keep"));
    std::filesystem::create_directories(dir_ / "t1");
    std::filesystem::create_directory_symlink(dir_ / "outside", dir_ / "t1/sub");
    EXPECT_THROW(ExtractTo("t1"), PackError);
    std::filesystem::create_directories(dir_ / "t2");
    std::filesystem::create_symlink(dir_ / "outside/victim", dir_ / "t2/a.txt");
    EXPECT_THROW(ExtractTo("t2"), PackError);
    EXPECT_EQ(std::filesystem::directory_iterator(dir_ / "outside")->path().filename(), "victim");
    EXPECT_EQ(Read("outside/victim"), "keep");

    // A file already there that is a hard link to one outside is replaced, not written through.
    std::filesystem::create_directories(dir_ / "t3/sub");
    std::filesystem::create_hard_link(dir_ / "outside/victim", dir_ / "t3/sub/b.txt");
    EXPECT_EQ(ExtractTo("t3"), 2u);
    EXPECT_EQ(Read("t3/a.txt"), "abc");
    EXPECT_EQ(Read("t3/sub/b.txt"), "defg");
    EXPECT_EQ(Read("outside/victim"), "keep");
}

TEST_F(HostileSetup, InspectNamesEveryNameAndFieldTheSetupRefuses) {
    SetupConfig c;
    FillRecord(c, kPayload);
    Write(c);
    bool ok = false;
    EXPECT_NE(InspectText(&ok).find("OK: 2 files, 1 shortcuts"), std::string::npos);
    EXPECT_TRUE(ok);

    ASSERT_TRUE(c.SetFile(0, {"\\..\\a.txt", 0, 3}));
    ASSERT_TRUE(c.SetShortcut(0, {"..\\..\\Startup\\x", 0, 0, ""}));
    ASSERT_TRUE(c.SetShortcut(1, {"CON", 1, 1, ""}));
    ASSERT_TRUE(c.SetText(TextField::FolderName, "..\\..\\Windows\\ZS"));
    ASSERT_TRUE(c.SetText(TextField::ProductName, ""));
    c.SetCounts(2, 2, 257);
    Write(c);
    const std::string shown = InspectText(&ok);
    EXPECT_FALSE(ok);
    for (const char* line : {
             "** file 0: the stored name \"\\..\\a.txt\" is not a safe name in the target folder",
             "** shortcut 0: the link name \"..\\..\\Startup\\x\" is not a plain file name",
             "** shortcut 1: the link name \"CON\" is not a plain file name",
             "** ProductName \"\" is not a plain name",
             "** FolderName \"..\\..\\Windows\\ZS\" is not a plain folder name",
             "** RegValueCount 257 lies outside 0..256: the setup refuses the package as damaged",
             "FAILED: 6 problem(s)"})
        EXPECT_NE(shown.find(line), std::string::npos) << line << "\n" << shown;
}

}  // namespace
}  // namespace setup::packager

// SetupConfig: field positions (checked against the record's documented decimal offsets, not
// against the code's own table), short strings, counts, rows, the Folder writer and the
// values derived from the record, and the start-up check of a record's names and counts.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "package/record_check.h"
#include "package/setup_config.h"

namespace setup {
namespace {

std::string At(const SetupConfig& c, size_t offset, size_t n) {
    auto b = c.Bytes();
    return std::string(reinterpret_cast<const char*>(b.data() + offset), n);
}

uint32_t U32At(const SetupConfig& c, size_t offset) {
    auto b = c.Bytes();
    return b[offset] | b[offset + 1] << 8 | b[offset + 2] << 16 | uint32_t(b[offset + 3]) << 24;
}

// The short string at an offset, read straight from the bytes: length byte, then text.
std::string ShortAt(const SetupConfig& c, size_t offset) { return At(c, offset + 1, c.Bytes()[offset]); }

struct ExampleFile {
    const char* name;
    uint32_t size, offset;
};
const ExampleFile kExampleFiles[] = {
    {"\\ZENTA-KOV.exe", 1222655, 0},     {"\\license.txt", 3205, 1222655},
    {"\\readme.txt", 13646, 1225860},     {"\\Uninstall.exe", 378880, 1239506},
    {"\\青岚护卫更新.url", 260, 1618386},
};

// The example package of the record's documentation, plus one registry value so that the
// third table is exercised too.
void FillExample(SetupConfig& c) {
    ASSERT_TRUE(c.SetText(TextField::Author, "ZENTA"));
    ASSERT_TRUE(c.SetText(TextField::Company, "ZENTA"));
    ASSERT_TRUE(c.SetText(TextField::Site, "http://www.zenta.example/"));
    ASSERT_TRUE(c.SetText(TextField::RightsNotice, "(C) ZENTA"));
    ASSERT_TRUE(c.SetText(TextField::Version, "V29.5"));
    ASSERT_TRUE(c.SetText(TextField::ReleaseDate, "20240711"));
    ASSERT_TRUE(c.SetText(TextField::ProductName, "ZENTA-KOV"));
    ASSERT_TRUE(c.SetText(TextField::FolderName, "ZENTA-KOV"));
    ASSERT_TRUE(c.SetText(TextField::Category, "共享软件,系统工具"));
    ASSERT_TRUE(c.SetText(TextField::Intro, "护卫\r\n"));
    ASSERT_TRUE(c.SetText(TextField::Date, "20040201"));
    ASSERT_TRUE(c.SetText(TextField::ReservedDate, "20040301"));
    ASSERT_TRUE(c.SetText(TextField::Folder, "D:\\ZENTA-KOV"));
    c.SetPackSum(195172838);
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(c.SetFile(i, {kExampleFiles[i].name, kExampleFiles[i].offset, kExampleFiles[i].size}));
    ASSERT_TRUE(c.SetShortcut(0, {"ZENTA-KOV", 0, 0, ""}));
    ASSERT_TRUE(c.SetShortcut(1, {"ZENTA-KOV", 0, 1, ""}));
    ASSERT_TRUE(c.SetShortcut(2, {"License.txt", 1, 1, ""}));
    ASSERT_TRUE(c.SetShortcut(3, {"Readme.txt", 2, 1, "/s"}));
    ASSERT_TRUE(c.SetRegValue(0, {"Mode", 1, "Software\\ZENTA\\Opt", 2, 1, "abc", -7}));
    c.SetCounts(5, 4, 1);
}

TEST(SetupConfigLayout, ExamplePackageFieldsSitAtTheirOffsets) {
    SetupConfig c;
    FillExample(c);
    ASSERT_EQ(c.Bytes().size(), 207160u);
    EXPECT_EQ(ShortAt(c, 0), "ZENTA");
    EXPECT_EQ(ShortAt(c, 129), "ZENTA");
    EXPECT_EQ(ShortAt(c, 258), "http://www.zenta.example/");
    EXPECT_EQ(ShortAt(c, 387), "(C) ZENTA");
    EXPECT_EQ(ShortAt(c, 516), "V29.5");
    EXPECT_EQ(ShortAt(c, 645), "20240711");
    EXPECT_EQ(ShortAt(c, 654), "ZENTA-KOV");
    EXPECT_EQ(ShortAt(c, 783), "ZENTA-KOV");
    EXPECT_EQ(ShortAt(c, 912), "共享软件,系统工具");
    EXPECT_EQ(ShortAt(c, 1041), "护卫\r\n");
    EXPECT_EQ(ShortAt(c, 1170), "20040201");
    EXPECT_EQ(ShortAt(c, 1179), "20040301");
    EXPECT_EQ(ShortAt(c, 1188), "D:\\ZENTA-KOV");
    EXPECT_EQ(At(c, 1317, 3), std::string(3, '\0'));
    EXPECT_EQ(U32At(c, 1320), 195172838u);
    EXPECT_EQ(U32At(c, 37164), 5u);
    EXPECT_EQ(U32At(c, 105776), 4u);
    EXPECT_EQ(U32At(c, 207156), 1u);

    for (int i = 0; i < 5; ++i) {
        size_t row = 1324 + 140 * i;
        EXPECT_EQ(ShortAt(c, row), kExampleFiles[i].name);
        EXPECT_EQ(At(c, row + 128, 4), std::string("\0\0\1\0", 4)) << i;
        EXPECT_EQ(U32At(c, row + 132), kExampleFiles[i].offset);
        EXPECT_EQ(U32At(c, row + 136), kExampleFiles[i].size);
    }
    EXPECT_EQ(At(c, 1324 + 140 * 5, 140), std::string(140, '\0'));  // unused rows stay zero

    size_t s3 = 37168 + 268 * 3;
    EXPECT_EQ(ShortAt(c, s3), "Readme.txt");
    EXPECT_EQ(U32At(c, s3 + 132), 2u);
    EXPECT_EQ(c.Bytes()[s3 + 136], 1);
    EXPECT_EQ(ShortAt(c, s3 + 137), "/s");
    EXPECT_EQ(At(c, s3 + 266, 2), std::string(2, '\0'));

    size_t r0 = 105780;
    EXPECT_EQ(ShortAt(c, r0), "Mode");
    EXPECT_EQ(c.Bytes()[r0 + 129], 1);
    EXPECT_EQ(ShortAt(c, r0 + 130), "Software\\ZENTA\\Opt");
    EXPECT_EQ(c.Bytes()[r0 + 259], 2);
    EXPECT_EQ(c.Bytes()[r0 + 260], 1);
    EXPECT_EQ(ShortAt(c, r0 + 261), "abc");
    EXPECT_EQ(U32At(c, r0 + 392), uint32_t(-7));
}

TEST(SetupConfigLayout, EveryFieldReadsBackThroughTheAccessors) {
    SetupConfig original;
    FillExample(original);
    SetupConfig c;  // read from a copy of the bytes, as start-up does
    c.Load(original.Bytes());

    EXPECT_EQ(c.Author(), "ZENTA");
    EXPECT_EQ(c.Company(), "ZENTA");
    EXPECT_EQ(c.Site(), "http://www.zenta.example/");
    EXPECT_EQ(c.Text(TextField::RightsNotice), "(C) ZENTA");
    EXPECT_EQ(c.Version(), "V29.5");
    EXPECT_EQ(c.ReleaseDate(), "20240711");
    EXPECT_EQ(c.ProductName(), "ZENTA-KOV");
    EXPECT_EQ(c.FolderName(), "ZENTA-KOV");
    EXPECT_EQ(c.Category(), "共享软件,系统工具");
    EXPECT_EQ(c.Intro(), "护卫\r\n");
    EXPECT_EQ(c.Date(), "20040201");
    EXPECT_EQ(c.Text(TextField::ReservedDate), "20040301");
    EXPECT_EQ(c.Folder(), "D:\\ZENTA-KOV");
    EXPECT_EQ(c.PackSum(), 195172838u);
    EXPECT_EQ(c.FileCount(), 5);
    EXPECT_EQ(c.ShortcutCount(), 4);
    EXPECT_EQ(c.RegValueCount(), 1);

    for (int i = 0; i < 5; ++i) {
        FileRow f = c.File(i);
        EXPECT_EQ(f.name, kExampleFiles[i].name);
        EXPECT_EQ(f.offset, kExampleFiles[i].offset);
        EXPECT_EQ(f.size, kExampleFiles[i].size);
    }
    // The files lie back to back and end the 1618646-byte payload.
    EXPECT_EQ(c.File(4).offset + c.File(4).size, 1618646u);

    ShortcutRow s = c.Shortcut(2);
    EXPECT_EQ(s.link_name, "License.txt");
    EXPECT_EQ(s.file_index, 1u);
    EXPECT_EQ(s.place, 1);
    EXPECT_EQ(c.Shortcut(3).arguments, "/s");
    EXPECT_EQ(c.Shortcut(0).place, 0);

    RegValueRow r = c.RegValue(0);
    EXPECT_EQ(r.value_name, "Mode");
    EXPECT_EQ(r.root, 1);
    EXPECT_EQ(r.key_path, "Software\\ZENTA\\Opt");
    EXPECT_EQ(r.kind, 2);
    EXPECT_EQ(r.bool_value, 1);
    EXPECT_EQ(r.string_value, "abc");
    EXPECT_EQ(r.int_value, -7);
}

TEST(SetupConfigLayout, AllZeroRecordIsEmpty) {
    SetupConfig c;
    for (uint8_t b : c.Bytes()) ASSERT_EQ(b, 0);
    EXPECT_EQ(c.ProductName(), "");
    EXPECT_EQ(c.Folder(), "");
    EXPECT_EQ(c.PackSum(), 0u);
    EXPECT_EQ(c.FileCount(), 0);
    EXPECT_EQ(c.ShortcutCount(), 0);
    EXPECT_EQ(c.RegValueCount(), 0);
    EXPECT_EQ(c.File(0).name, "");
    EXPECT_EQ(c.File(0).size, 0u);
}

TEST(SetupConfigShortString, OnlyTheCountedBytesAreText) {
    std::vector<uint8_t> raw(207160, 0);
    raw[516] = 5;
    std::memcpy(&raw[517], "V29.5a", 6);
    SetupConfig c;
    c.Load(raw);
    EXPECT_EQ(c.Version(), "V29.5");
}

TEST(SetupConfigShortString, LengthByteBeyondTheSlotNeverReadsTheNextField) {
    std::vector<uint8_t> raw(207160, 'x');
    raw[645] = 200;           // ReleaseDate slot holds 8 text bytes
    raw[654] = 3;             // ProductName follows it
    raw[1324] = 255;          // a file name slot holds 127
    raw[37168 + 268] = 250;   // a link name slot holds 131
    raw[105780 + 261] = 129;  // a registry string slot holds 128
    SetupConfig c;
    c.Load(raw);
    EXPECT_EQ(c.ReleaseDate(), std::string(8, 'x'));
    EXPECT_EQ(c.ProductName(), "xxx");
    EXPECT_EQ(c.File(0).name.size(), 127u);
    EXPECT_EQ(c.Shortcut(1).link_name.size(), 131u);
    EXPECT_EQ(c.RegValue(0).string_value.size(), 128u);
}

TEST(SetupConfigLoad, ShortInputLeavesTheRestZeroAndLongInputIsCut) {
    SetupConfig c;
    FillExample(c);
    std::vector<uint8_t> head(c.Bytes().begin(), c.Bytes().begin() + 700);  // up to ProductName
    c.Load(head);
    EXPECT_EQ(c.Version(), "V29.5");
    EXPECT_EQ(c.FolderName(), "");
    EXPECT_EQ(c.FileCount(), 0);
    EXPECT_EQ(c.PackSum(), 0u);
    for (size_t i = 700; i < c.Bytes().size(); ++i) ASSERT_EQ(c.Bytes()[i], 0) << i;

    std::vector<uint8_t> longer(207160 + 50, 0xEE);
    longer[207156] = 3;
    longer[207157] = longer[207158] = longer[207159] = 0;
    c.Load(longer);
    EXPECT_EQ(c.RegValueCount(), 3);
    EXPECT_EQ(c.Bytes().size(), 207160u);

    c.Load({});
    EXPECT_EQ(c.RegValueCount(), 0);
}

TEST(SetupConfigCounts, NegativeReadsAsZeroAndLargeAsTheTableSize) {
    SetupConfig c;
    c.SetCounts(-1, 257, INT32_MIN);
    EXPECT_EQ(c.RawFileCount(), -1);
    EXPECT_EQ(c.FileCount(), 0);
    EXPECT_EQ(c.ShortcutCount(), 256);
    EXPECT_EQ(c.RegValueCount(), 0);
    c.SetCounts(INT32_MAX, 256, 255);
    EXPECT_EQ(c.FileCount(), 256);
    EXPECT_EQ(c.ShortcutCount(), 256);
    EXPECT_EQ(c.RegValueCount(), 255);
    EXPECT_EQ(U32At(c, 37164), 0x7FFFFFFFu);
}

TEST(SetupConfigRows, OnlyRowsZeroTo255Exist) {
    SetupConfig c;
    EXPECT_TRUE(c.SetFile(255, {"\\last", 1, 2}));
    EXPECT_EQ(c.File(255).name, "\\last");
    EXPECT_EQ(U32At(c, 1324 + 255 * 140 + 136), 2u);
    EXPECT_EQ(U32At(c, 37164), 0u);  // the last row ends right before FileCount
    EXPECT_TRUE(c.SetRegValue(255, {"v", 0, "k", 0, 0, "", 0x01020304}));
    EXPECT_EQ(U32At(c, 207152), 0x01020304u);  // last IntValue right before RegValueCount

    EXPECT_FALSE(c.SetFile(256, {"\\x", 0, 0}));
    EXPECT_FALSE(c.SetFile(-1, {"\\x", 0, 0}));
    EXPECT_FALSE(c.SetShortcut(256, {}));
    EXPECT_FALSE(c.SetRegValue(1000, {}));
    EXPECT_EQ(c.File(256).name, "");
    EXPECT_EQ(c.File(-1).name, "");
    EXPECT_EQ(c.Shortcut(256).link_name, "");
    EXPECT_EQ(c.RegValue(INT_MAX).value_name, "");
}

TEST(SetupConfigWriters, TextsThatDoNotFitAreRefusedAndNothingIsStored) {
    SetupConfig c;
    EXPECT_EQ(SetupConfig::Capacity(TextField::Version), 128u);
    EXPECT_EQ(SetupConfig::Capacity(TextField::ReleaseDate), 8u);
    EXPECT_TRUE(c.SetText(TextField::Version, std::string(128, 'v')));
    EXPECT_FALSE(c.SetText(TextField::Version, std::string(129, 'w')));
    EXPECT_EQ(c.Version(), std::string(128, 'v'));
    EXPECT_FALSE(c.SetText(TextField::Date, "202402011"));
    EXPECT_EQ(c.Date(), "");
    EXPECT_TRUE(c.SetText(TextField::Version, "V1"));  // a shorter value leaves no leftovers
    EXPECT_EQ(At(c, 516, 4), std::string("\2V1\0", 4));

    EXPECT_FALSE(c.SetFile(0, {std::string(128, 'n'), 0, 0}));
    EXPECT_TRUE(c.SetFile(0, {std::string(127, 'n'), 0, 0}));
    EXPECT_FALSE(c.SetShortcut(0, {std::string(132, 'l'), 0, 0, ""}));
    EXPECT_FALSE(c.SetShortcut(0, {"ok", 7, 2, std::string(129, 'a')}));
    EXPECT_EQ(c.Shortcut(0).file_index, 0u);  // the refused row wrote nothing
    EXPECT_TRUE(c.SetShortcut(0, {std::string(131, 'l'), 7, 2, std::string(128, 'a')}));
    EXPECT_EQ(c.Shortcut(0).link_name.size(), 131u);
    EXPECT_FALSE(c.SetRegValue(0, {"n", 0, std::string(129, 'k'), 1, 0, "", 0}));
    EXPECT_FALSE(c.SetRegValue(0, {"n", 0, "k", 1, 0, std::string(129, 's'), 0}));
    EXPECT_EQ(c.RegValue(0).value_name, "");
}

TEST(SetupConfigFolder, WriterCutsTo128Bytes) {
    SetupConfig c;
    std::string long_path = "D:\\" + std::string(297, 'a');
    c.SetFolder(long_path);
    EXPECT_EQ(c.Folder(), long_path.substr(0, 128));
    c.SetFolder("C:\\X");
    EXPECT_EQ(c.Folder(), "C:\\X");
    EXPECT_EQ(ShortAt(c, 1188), "C:\\X");
    c.SetFolder(std::string(128, 'b'));
    EXPECT_EQ(c.Folder(), std::string(128, 'b'));
    c.SetFolder("");
    EXPECT_EQ(c.Folder(), "");
}

TEST(SetupConfigFolder, CutNeverLeavesHalfACharacter) {
    // 127 ASCII bytes then a two-byte character: byte 128 would be its lead byte alone,
    // which would swallow the "\" of every file name appended to the folder.
    SetupConfig c;
    c.SetFolder(std::string(127, 'a') + "中文");
    EXPECT_EQ(c.Folder(), std::string(127, 'a'));
    c.SetFolder(std::string(126, 'a') + "中文");
    EXPECT_EQ(c.Folder(), std::string(126, 'a') + "中");
}

TEST(SetupConfigDerived, Keys) {
    SetupConfig c;
    FillExample(c);
    EXPECT_EQ(ProductKey(c), "\\Software\\ZENTA");
    EXPECT_EQ(InstallKey(c), "\\Software\\ZENTA\\ZENTA-KOV");

    ASSERT_TRUE(c.SetText(TextField::FolderName, ""));
    EXPECT_EQ(InstallKey(c), "\\Software\\ZENTA\\");
    SetupConfig empty;
    EXPECT_EQ(ProductKey(empty), "\\Software\\");

    // The longest company fills the key exactly.
    ASSERT_TRUE(c.SetText(TextField::Company, std::string(128, 'c')));
    EXPECT_EQ(ProductKey(c).size(), 138u);
}

// The example with one text or one count changed.
std::vector<RecordField> DamageWith(TextField field, const std::string& text) {
    SetupConfig c;
    FillExample(c);
    EXPECT_TRUE(c.SetText(field, text));
    return DamagedFields(c);
}
std::vector<RecordField> DamageWithCounts(int32_t files, int32_t shortcuts, int32_t reg_values) {
    SetupConfig c;
    FillExample(c);
    c.SetCounts(files, shortcuts, reg_values);
    return DamagedFields(c);
}

TEST(RecordCheck, NamesMustBePlainFolderNames) {
    EXPECT_EQ(DamageWith(TextField::Version, "V1"), std::vector<RecordField>{}) << "the example is fit";
    const std::string kTrail5C = "\x81" "\x5C";  // a GBK character whose second byte is "\"
    for (const std::string& good : std::vector<std::string>{"青岚护卫", "ZENTA KOV 2", "a.b", kTrail5C + "x", "COM10"}) {
        EXPECT_EQ(DamageWith(TextField::FolderName, good), std::vector<RecordField>{}) << good;
        EXPECT_EQ(DamageWith(TextField::ProductName, good), std::vector<RecordField>{}) << good;
    }
    for (const std::string& bad : std::vector<std::string>{"", ".", "..", "..\\..\\Windows\\ZS", "..\\..\\Startup", "a/b", "C:", "a*",
                                  "a?", "a\"b", "a<b", "a|b", "a\tb", " ZENTA", "ZENTA ", ".ZENTA", "ZENTA.",
                                  "CON", "nul.txt", "LPT1", "a\x81", kTrail5C + ".."}) {
        EXPECT_EQ(DamageWith(TextField::FolderName, bad), std::vector<RecordField>{RecordField::FolderName}) << bad;
        EXPECT_EQ(DamageWith(TextField::ProductName, bad), std::vector<RecordField>{RecordField::ProductName}) << bad;
    }
    EXPECT_STREQ(RecordFieldName(RecordField::FolderName), "FolderName");
}

TEST(RecordCheck, CompanyMustBeAPlainKeyName) {
    const std::string kTrail5C = "\x81" "\x5C";
    for (const std::string& good : std::vector<std::string>{"ZENTA", "Acme Inc.", "青岚", kTrail5C, "a:b"})
        EXPECT_EQ(DamageWith(TextField::Company, good), std::vector<RecordField>{}) << good;
    for (const std::string& bad : std::vector<std::string>{"", ".", "..", "a\\b", "..\\x", "a/b", " ZENTA", "ZENTA ",
                                                           "a\tb", "a\x81", "a\x81\x7F"})
        EXPECT_EQ(DamageWith(TextField::Company, bad), std::vector<RecordField>{RecordField::Company}) << bad;
}

TEST(RecordCheck, CountsMustFitTheTables) {
    EXPECT_TRUE(DamageWithCounts(256, 256, 256).empty());
    EXPECT_TRUE(DamageWithCounts(0, 0, 0).empty());
    using enum RecordField;
    EXPECT_EQ(DamageWithCounts(257, 0, 0), std::vector<RecordField>{FileCount});
    EXPECT_EQ(DamageWithCounts(100000, 0, 0), std::vector<RecordField>{FileCount});
    EXPECT_EQ(DamageWithCounts(0, 257, -1), (std::vector<RecordField>{ShortcutCount, RegValueCount}));
    EXPECT_EQ(DamageWithCounts(-1, 0, INT32_MAX), (std::vector<RecordField>{FileCount, RegValueCount}));
    // An all-zero record names no company, no product and no folder.
    EXPECT_EQ(DamagedFields(SetupConfig()), (std::vector<RecordField>{Company, ProductName, FolderName}));
}

}  // namespace
}  // namespace setup

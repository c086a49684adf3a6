// Skin files: the archive, its password, the records of SKINDATA.SK2, and TsuiFileTheme's
// search order and state.
#include "controls/skin/skin_file.h"

#include <gtest/gtest.h>

#include <map>

#include "base/error.h"
#include "controls/skin/file_theme.h"
#include "controls/skin/theme.h"

namespace setup::skin {
namespace {

SkinData SampleSkin() {
    SkinData d;
    d.colors[kSkinColorControlBorder] = Rgb(10, 20, 30);
    d.colors[kSkinColorControlFont] = Rgb(200, 100, 50);
    d.colors[31] = Rgb(1, 2, 3);
    d.integers[2] = -7;
    d.integers[8] = 123456;
    d.flags[5] = true;
    Image button(60, 20);
    for (int x = 0; x < 60; ++x)
        for (int y = 0; y < 20; ++y) button.at(x, y) = ToPixel(Rgb(x * 4, y * 10, 77));
    d.bitmaps[kSkinBitmapButton] = button;
    d.bitmaps[kSkinBitmapRadioButton] = Image(52, 13, ToPixel(Rgb(255, 0, 255)));
    return d;
}

void ExpectUnreadable(std::span<const uint8_t> bytes, std::string_view password) {
    try {
        ReadSkinFile(bytes, password);
        ADD_FAILURE() << "read a damaged skin file";
    } catch (const Error& e) {
        EXPECT_EQ(e.text(), "Failed to read skin file!");
    }
}

TEST(SkinFile, RoundTripKeepsEveryItem) {
    const SkinData in = SampleSkin();
    const auto file = WriteSkinFile(in, "s3cret");
    const SkinData out = ReadSkinFile(file, "s3cret");
    EXPECT_EQ(out.colors, in.colors);
    EXPECT_EQ(out.integers, in.integers);
    EXPECT_EQ(out.flags, in.flags);
    for (int i = 0; i < kSkinBitmapCount; ++i) EXPECT_EQ(out.bitmaps[i], in.bitmaps[i]) << SkinBitmapKeys()[i];
}

TEST(SkinFile, WrongOrMissingPasswordIsRefused) {
    const auto file = WriteSkinFile(SampleSkin(), "s3cret");
    ExpectUnreadable(file, "S3cret");
    ExpectUnreadable(file, "");
    // An empty password is a password like any other.
    const auto open = WriteSkinFile(SampleSkin(), "");
    EXPECT_EQ(ReadSkinFile(open, "").colors[kSkinColorControlFont], Rgb(200, 100, 50));
    ExpectUnreadable(open, "x");
}

TEST(SkinFile, EveryTruncationIsRefused) {
    const auto file = WriteSkinFile(SampleSkin(), "pw");
    for (size_t n = 0; n < file.size(); ++n) ExpectUnreadable({file.data(), n}, "pw");
}

TEST(SkinFile, DamagedBytesAreRefusedNotTrusted) {
    const auto file = WriteSkinFile(SampleSkin(), "pw");
    // Flip one bit at a time through the header and a sample of the body.
    for (size_t at = 0; at < file.size(); at += (at < 64 ? 1 : 37)) {
        auto bad = file;
        bad[at] ^= 0x10;
        SCOPED_TRACE(at);
        ExpectUnreadable(bad, "pw");
    }
}

TEST(SkinFile, ArchiveWithoutTheSkinEntryIsRefused) {
    const ArchiveEntry other{"README.TXT", {'h', 'i'}, false};
    const auto file = WriteArchive({&other, 1}, "pw");
    EXPECT_EQ(ReadArchiveEntry(file, "README.TXT", "pw"), (std::vector<uint8_t>{'h', 'i'}));
    EXPECT_FALSE(ReadArchiveEntry(file, "SKINDATA.SK2", "pw").has_value());
    ExpectUnreadable(file, "pw");
}

TEST(SkinFile, SkinEntryFoundAmongOthersAndUnknownKeysSkipped) {
    auto records = EncodeSkinData(SampleSkin());
    // A record of a key this reader does not know, as a newer skin might carry.
    const std::string key = "SKIN2_FUTURECOLOR";
    records.insert(records.begin(), {1, static_cast<uint8_t>(key.size())});
    records.insert(records.begin() + 2, key.begin(), key.end());
    const uint8_t value[] = {4, 0, 0, 0, 1, 2, 3, 0};
    records.insert(records.begin() + 2 + static_cast<long>(key.size()), std::begin(value), std::end(value));
    const ArchiveEntry entries[] = {{"NOTES", {1, 2, 3}, true}, {"SKINDATA.SK2", records, true}};
    const auto skin = ReadSkinFile(WriteArchive(entries, "pw"), "pw");
    EXPECT_EQ(skin.colors[kSkinColorControlBorder], Rgb(10, 20, 30));
}

TEST(SkinFile, MalformedRecordOfAKnownKeyIsRefused) {
    std::vector<uint8_t> records{3, 12};  // flag "SKIN2_BUTTONTRANS" with a 2-byte value
    const std::string key = "SKIN2_BUTTON";
    records[1] = static_cast<uint8_t>(key.size() + 5);
    const std::string flag = "SKIN2_BUTTONTRANS";
    records.assign({3, static_cast<uint8_t>(flag.size())});
    records.insert(records.end(), flag.begin(), flag.end());
    records.insert(records.end(), {2, 0, 0, 0, 1, 1});
    const ArchiveEntry e{"SKINDATA.SK2", records, true};
    ExpectUnreadable(WriteArchive({&e, 1}, "pw"), "pw");

    std::vector<uint8_t> bmp{2, static_cast<uint8_t>(key.size())};  // a bitmap that is not a BMP
    bmp.insert(bmp.end(), key.begin(), key.end());
    bmp.insert(bmp.end(), {3, 0, 0, 0, 'B', 'M', 0});
    const ArchiveEntry e2{"SKINDATA.SK2", bmp, true};
    ExpectUnreadable(WriteArchive({&e2, 1}, "pw"), "pw");
}

TEST(SkinFile, KeyListsHaveTheirFixedPositions) {
    EXPECT_EQ(SkinColorKeys().size(), 32u);
    EXPECT_EQ(SkinColorKeys()[22], "SKIN2_CONTROLBORDERCOLOR");
    EXPECT_EQ(SkinColorKeys()[23], "SKIN2_CONTROLFONTCOLOR");
    EXPECT_EQ(SkinBitmapKeys().size(), 34u);
    EXPECT_EQ(SkinBitmapKeys()[15], "SKIN2_BUTTON");
    EXPECT_EQ(SkinBitmapKeys()[16], "SKIN2_CHECKBOX");
    EXPECT_EQ(SkinBitmapKeys()[18], "SKIN2_RADIOBUTTON");
    EXPECT_EQ(SkinBitmapKeys()[33], "SKIN2_SCROLLBUTTON");
    EXPECT_EQ(SkinIntegerKeys()[8], "SKIN2_BOTTOMREGIONMAXY");
    EXPECT_EQ(SkinFlagKeys()[8], "SKIN2_TABCONTROLTRANS");
}

// TsuiFileTheme over an in-memory machine.
struct Host : SkinFileHost {
    std::map<std::string, std::vector<uint8_t>> files;
    std::vector<std::string> probes;
    bool FileExists(const std::string& p) override {
        probes.push_back(p);
        return files.count(p) != 0;
    }
    std::optional<std::vector<uint8_t>> ReadFile(const std::string& p) override {
        auto it = files.find(p);
        if (it == files.end()) return std::nullopt;
        return it->second;
    }
    std::string ModuleFolder() override { return "D:\\Setup\\"; }
    std::string WindowsFolder() override { return "C:\\Windows"; }
    std::string SystemFolder() override { return "C:\\Windows\\system32"; }
};

struct Client : FileThemeClient {
    int reloaded = 0, destroyed = 0;
    void FileThemeReloaded(TsuiFileTheme&) override { ++reloaded; }
    void FileThemeDestroyed(TsuiFileTheme&) override { ++destroyed; }
};

TEST(FileTheme, SearchesProgramWindowsAndSystemFoldersInTurn) {
    Host host;
    host.files["C:\\Windows\\system32\\blue.skn"] = WriteSkinFile(SampleSkin(), "");
    TsuiFileTheme theme(host);
    theme.SetThemeFile("E:\\skins\\blue.skn");
    EXPECT_EQ(host.probes, (std::vector<std::string>{"E:\\skins\\blue.skn", "D:\\Setup\\blue.skn",
                                                     "C:\\Windows\\blue.skn", "C:\\Windows\\system32\\blue.skn"}));
    EXPECT_TRUE(theme.Ready());
    EXPECT_EQ(theme.ThemeFile(), "C:\\Windows\\system32\\blue.skn");
    EXPECT_EQ(theme.GetColor(kSkinColorControlFont), Rgb(200, 100, 50));
    EXPECT_EQ(theme.GetInteger(2), -7);
    EXPECT_TRUE(theme.GetFlag(5));
    ASSERT_NE(theme.GetBitmap(kSkinBitmapButton), nullptr);
    Image frame;
    ASSERT_TRUE(theme.GetBitmapFrame(kSkinBitmapButton, &frame, 3, 3));
    EXPECT_EQ(frame.width, 20);
    EXPECT_EQ(FromPixel(frame.at(0, 0)), Rgb(40 * 4, 0, 77));
    ASSERT_TRUE(theme.GetBitmapFrame(kSkinBitmapButton, &frame, 0, 3));  // index 0: whole bitmap
    EXPECT_EQ(frame.width, 60);
    // Only the low seven bits of an item number count.
    EXPECT_EQ(theme.GetColor(0x80 + kSkinColorControlFont), Rgb(200, 100, 50));
    EXPECT_EQ(theme.GetColor(99), 0u);
}

TEST(FileTheme, FileThatExistsNowhereKeepsTheSkinInUse) {
    Host host;
    host.files["D:\\Setup\\a.skn"] = WriteSkinFile(SampleSkin(), "");
    TsuiFileTheme theme(host);
    theme.SetThemeFile("a.skn");
    ASSERT_TRUE(theme.Ready());
    theme.SetThemeFile("C:\\missing\\b.skn");
    EXPECT_TRUE(theme.Ready());
    EXPECT_EQ(theme.ThemeFile(), "D:\\Setup\\a.skn");
    EXPECT_EQ(theme.GetColor(kSkinColorControlBorder), Rgb(10, 20, 30));
}

TEST(FileTheme, UnreadableFileLeavesNoSkinAndDrawsAsDeepBlue) {
    Host host;
    host.files["D:\\Setup\\a.skn"] = WriteSkinFile(SampleSkin(), "");
    host.files["D:\\Setup\\bad.skn"] = {'Z', 'S', 'K', 'N', 9};
    TsuiFileTheme theme(host);
    theme.SetThemeFile("D:\\Setup\\a.skn");
    ASSERT_TRUE(theme.Ready());
    theme.SetThemeFile("D:\\Setup\\bad.skn");
    EXPECT_FALSE(theme.Ready());
    EXPECT_EQ(theme.ThemeFile(), "D:\\Setup\\bad.skn");
    EXPECT_EQ(theme.GetColor(kSkinColorControlBorder), 0u);
    EXPECT_EQ(theme.GetBitmap(kSkinBitmapButton), nullptr);
    EXPECT_EQ(ResolveThemeSource(&theme, TsuiUIStyle::FromThemeFile),
              (ThemeSource{false, TsuiUIStyle::DeepBlue}));
}

TEST(FileTheme, PasswordReloadsAndClientsAreTold) {
    Host host;
    host.files["D:\\Setup\\p.skn"] = WriteSkinFile(SampleSkin(), "open sesame");
    TsuiFileTheme theme(host);
    Client c;
    theme.AddClient(&c);
    theme.SetThemeFile("D:\\Setup\\p.skn");
    EXPECT_FALSE(theme.Ready());  // no password yet
    EXPECT_EQ(c.reloaded, 0);
    theme.SetPassword("open sesame");
    EXPECT_TRUE(theme.Ready());
    EXPECT_EQ(c.reloaded, 1);
    EXPECT_EQ(ResolveThemeSource(&theme, TsuiUIStyle::FromThemeFile), (ThemeSource{true, TsuiUIStyle::FromThemeFile}));
    theme.SetPassword("");  // an empty password does not reload
    EXPECT_TRUE(theme.Ready());
    EXPECT_EQ(c.reloaded, 1);
}

TEST(FileTheme, DestructionTellsEveryClient) {
    Host host;
    Client a, b;
    {
        TsuiFileTheme theme(host);
        theme.AddClient(&a);
        theme.AddClient(&b);
        theme.AddClient(&b);
        theme.RemoveClient(&a);
    }
    EXPECT_EQ(a.destroyed, 0);
    EXPECT_EQ(b.destroyed, 1);
}

TEST(FileTheme, FileNameSkipsGbkTrailBytesThatLookLikeBackslashes) {
    // 0x95 0x5C is one GBK character whose second byte is "\".
    const std::string name = std::string("\x95\x5C") + "skin.skn";
    EXPECT_EQ(FileNameOf("C:\\dir\\" + name), name);
    EXPECT_EQ(FileNameOf("D:x.skn"), "x.skn");
    EXPECT_EQ(FileNameOf("C:\\dir\\"), "");
}

}  // namespace
}  // namespace setup::skin

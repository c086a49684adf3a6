// The theme bitmaps the executable carries: every bitmap the table names is drawn, listed in
// skin.rc, decodes, and the strips the controls read have the table's sizes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "controls/skin/button_model.h"
#include "controls/skin/file_theme.h"
#include "controls/skin/skin_file.h"
#include "controls/skin/theme.h"

namespace setup::skin {
namespace {

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), {}};
}

// The BITMAP resources as the program finds them: the .bmp files without their file header.
struct ResourceFolder : BitmapSource {
    std::map<std::string, std::vector<uint8_t>, std::less<>> loaded;
    std::optional<std::span<const uint8_t>> FindBitmap(std::string_view name) override {
        auto it = loaded.find(name);
        if (it == loaded.end()) {
            auto bytes = ReadAll(std::string(ZS_SOURCE_DIR) + "/resources/skin/" + Lower(name) + ".bmp");
            if (bytes.size() < 14) return std::nullopt;
            bytes.erase(bytes.begin(), bytes.begin() + 14);
            it = loaded.emplace(std::string(name), std::move(bytes)).first;
        }
        return std::span<const uint8_t>(it->second);
    }
};

TEST(ThemeBitmaps, EveryNamedBitmapIsDrawnAndListed) {
    const auto rc = ReadAll(std::string(ZS_SOURCE_DIR) + "/resources/skin.rc");
    const std::string script(rc.begin(), rc.end());
    ResourceFolder res;
    for (auto name : AllBuiltInThemeBitmapNames()) {
        const std::string line = std::string(name);
        EXPECT_NE(script.find(line + " "), std::string::npos) << name << " not in skin.rc";
        EXPECT_NE(script.find("\"skin/" + Lower(name) + ".bmp\""), std::string::npos) << name;
        auto dib = res.FindBitmap(name);
        ASSERT_TRUE(dib.has_value()) << name;
        EXPECT_TRUE(DecodeDib(*dib).has_value()) << name;
    }
}

TEST(ThemeBitmaps, StripsHaveTheSizesTheControlsExpect) {
    struct Want { TsuiUIStyle style; int bw, bh, cw, ch, rw, rh; };
    const Want want[] = {{TsuiUIStyle::MacOS, 252, 23, 60, 17, 64, 17},
                         {TsuiUIStyle::WinXP, 54, 21, 52, 13, 52, 13},
                         {TsuiUIStyle::DeepBlue, 222, 21, 52, 13, 52, 13},
                         {TsuiUIStyle::Protein, 222, 21, 52, 13, 52, 13},
                         {TsuiUIStyle::BlueGlass, 231, 27, 52, 13, 52, 13}};
    ResourceFolder res;
    for (const Want& w : want) {
        Image b, c, r;
        ASSERT_TRUE(LoadBuiltInThemeBitmap(res, w.style, ThemeItemButtonStrip, &b));
        ASSERT_TRUE(LoadBuiltInThemeBitmap(res, w.style, ThemeItemCheckBoxStrip, &c));
        ASSERT_TRUE(LoadBuiltInThemeBitmap(res, w.style, ThemeItemRadioButtonStrip, &r));
        EXPECT_EQ(std::pair(b.width, b.height), std::pair(w.bw, w.bh)) << UIStyleName(w.style);
        EXPECT_EQ(std::pair(c.width, c.height), std::pair(w.cw, w.ch)) << UIStyleName(w.style);
        EXPECT_EQ(std::pair(r.width, r.height), std::pair(w.rw, w.rh)) << UIStyleName(w.style);
        // Radio glyphs are keyed on their bottom-left pixel: the corners must carry the key.
        for (int frame = 1; frame <= 4; ++frame) {
            Image g;
            ASSERT_TRUE(LoadBuiltInThemeFrame(res, w.style, ThemeItemRadioButtonStrip, &g, frame, 4));
            EXPECT_EQ(FromPixel(g.at(0, g.height - 1)), Rgb(255, 0, 255));
            EXPECT_NE(FromPixel(g.at(g.width / 2, g.height / 2)), Rgb(255, 0, 255));
        }
    }
}

TEST(ThemeBitmaps, LoadingLeavesTheDestinationAloneWhenThereIsNoBitmap) {
    ResourceFolder res;
    Image keep(3, 3, 0x00123456u);
    EXPECT_FALSE(LoadBuiltInThemeBitmap(res, TsuiUIStyle::FromThemeFile, ThemeItemButtonStrip, &keep));
    EXPECT_FALSE(LoadBuiltInThemeBitmap(res, TsuiUIStyle::DeepBlue, 2, &keep));   // a flag
    EXPECT_FALSE(LoadBuiltInThemeBitmap(res, TsuiUIStyle::DeepBlue, 43, &keep));  // no bitmap
    EXPECT_FALSE(LoadBuiltInThemeFrame(res, TsuiUIStyle::DeepBlue, 43, &keep, 1, 4));
    EXPECT_EQ(keep, Image(3, 3, 0x00123456u));
    EXPECT_FALSE(LoadBuiltInThemeBitmap(res, TsuiUIStyle::DeepBlue, ThemeItemButtonStrip, nullptr));
    Image frame;
    ASSERT_TRUE(LoadBuiltInThemeFrame(res, TsuiUIStyle::WinXP, ThemeItemButtonStrip, &frame, 2, 3));
    EXPECT_EQ(std::pair(frame.width, frame.height), std::pair(18, 21));
}

struct OneFileHost : SkinFileHost {
    std::map<std::string, std::vector<uint8_t>> files;
    bool FileExists(const std::string& p) override { return files.count(p) != 0; }
    std::optional<std::vector<uint8_t>> ReadFile(const std::string& p) override {
        auto it = files.find(p);
        return it == files.end() ? std::nullopt : std::optional(it->second);
    }
    std::string ModuleFolder() override { return "C:\\App\\"; }
    std::string WindowsFolder() override { return "C:\\Windows"; }
    std::string SystemFolder() override { return "C:\\Windows\\System32"; }
};

TEST(ThemedButtonPictures, FramesOfTheStyleOrOfTheSkinFile) {
    ResourceFolder res;
    Image normal, over, pressed, disabled;
    ASSERT_TRUE(LoadThemedButtonPicture(res, nullptr, TsuiUIStyle::DeepBlue, ButtonPicture::kNormal, &normal));
    ASSERT_TRUE(LoadThemedButtonPicture(res, nullptr, TsuiUIStyle::DeepBlue, ButtonPicture::kMouseOn, &over));
    ASSERT_TRUE(LoadThemedButtonPicture(res, nullptr, TsuiUIStyle::DeepBlue, ButtonPicture::kMouseDown, &pressed));
    ASSERT_TRUE(LoadThemedButtonPicture(res, nullptr, TsuiUIStyle::DeepBlue, ButtonPicture::kDisabled, &disabled));
    EXPECT_EQ(std::pair(normal.width, normal.height), std::pair(74, 21));
    EXPECT_NE(normal, over);
    EXPECT_NE(normal, pressed);
    EXPECT_EQ(normal, disabled);  // disabled shows frame 1

    // FromThemeFile with a theme whose file exists nowhere draws exactly as DeepBlue.
    OneFileHost host;
    TsuiFileTheme theme(host);
    theme.SetThemeFile("C:\\nowhere\\x.skn");
    Image fallback;
    ASSERT_TRUE(LoadThemedButtonPicture(res, &theme, TsuiUIStyle::FromThemeFile, ButtonPicture::kMouseOn, &fallback));
    EXPECT_EQ(fallback, over);

    // With a ready skin, bitmap 15 gives the frames.
    SkinData skin;
    skin.bitmaps[kSkinBitmapButton] = Image(90, 10, ToPixel(Rgb(1, 2, 3)));
    skin.bitmaps[kSkinBitmapButton].at(89, 0) = ToPixel(Rgb(9, 9, 9));
    host.files["C:\\App\\x.skn"] = WriteSkinFile(skin, "");
    theme.SetThemeFile("x.skn");
    ASSERT_TRUE(theme.Ready());
    Image from_file;
    ASSERT_TRUE(LoadThemedButtonPicture(res, &theme, TsuiUIStyle::FromThemeFile, ButtonPicture::kMouseDown, &from_file));
    EXPECT_EQ(std::pair(from_file.width, from_file.height), std::pair(30, 10));
    EXPECT_EQ(FromPixel(from_file.at(29, 0)), Rgb(9, 9, 9));
    // Any other style ignores the file.
    ASSERT_TRUE(LoadThemedButtonPicture(res, &theme, TsuiUIStyle::DeepBlue, ButtonPicture::kMouseOn, &from_file));
    EXPECT_EQ(from_file, over);
}

TEST(Dib, DecodesPalettedAndTrueColourRowsTopToBottom) {
    // 8-bit, two palette entries, 2 x 2, bottom-up: bottom row (1, 0), top row (0, 1).
    std::vector<uint8_t> dib(40, 0);
    dib[0] = 40;
    dib[4] = 2;
    dib[8] = 2;
    dib[12] = 1;
    dib[14] = 8;
    dib[32] = 2;
    const uint8_t palette[] = {0, 0, 255, 0, 255, 0, 0, 0};  // red, blue
    dib.insert(dib.end(), std::begin(palette), std::end(palette));
    const uint8_t rows[] = {1, 0, 0, 0, 0, 1, 0, 0};
    dib.insert(dib.end(), std::begin(rows), std::end(rows));
    auto img = DecodeDib(dib);
    ASSERT_TRUE(img.has_value());
    EXPECT_EQ(FromPixel(img->at(0, 0)), Rgb(255, 0, 0));
    EXPECT_EQ(FromPixel(img->at(1, 0)), Rgb(0, 0, 255));
    EXPECT_EQ(FromPixel(img->at(0, 1)), Rgb(0, 0, 255));
    // Truncated pixel rows, an oversized palette and absurd sizes are refused.
    EXPECT_FALSE(DecodeDib({dib.data(), dib.size() - 1}).has_value());
    auto bad = dib;
    bad[32] = 3;
    EXPECT_FALSE(DecodeDib(bad).has_value());
    bad = dib;
    bad[6] = 1;  // width 65538
    EXPECT_FALSE(DecodeDib(bad).has_value());
    bad = dib;
    bad[14] = 16;
    EXPECT_FALSE(DecodeDib(bad).has_value());
}

// An 8-bit BI_RLE8 DIB, bottom-up, palette {red, green, blue}, with the given stream.
std::vector<uint8_t> Rle8(int width, int height, std::vector<uint8_t> stream, uint32_t size_image = 0) {
    std::vector<uint8_t> dib(40, 0);
    dib[0] = 40;
    dib[4] = static_cast<uint8_t>(width);
    dib[5] = static_cast<uint8_t>(width >> 8);
    dib[8] = static_cast<uint8_t>(height);
    dib[9] = static_cast<uint8_t>(height >> 8);
    dib[12] = 1;
    dib[14] = 8;
    dib[16] = 1;  // BI_RLE8
    dib[20] = static_cast<uint8_t>(size_image);
    dib[32] = 3;
    const uint8_t palette[] = {0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0};
    dib.insert(dib.end(), std::begin(palette), std::end(palette));
    dib.insert(dib.end(), stream.begin(), stream.end());
    return dib;
}

TEST(Dib, RunLengthRowsPaintRunsLiteralsAndSkips) {
    // 5 x 3, bottom row first: a run of 2 blue then literals green, red, blue (padded to an
    // even count), end of row; a delta of one row up skips the middle row, painting nothing;
    // the top row is a run of 7 green, cut at the right edge.
    const auto dib = Rle8(5, 3, {2, 2, 0, 3, 1, 0, 2, 0, 0, 0, 0, 2, 0, 1, 7, 1, 0, 1});
    auto img = DecodeDib(dib);
    ASSERT_TRUE(img.has_value());
    const uint32_t R = 0x00FF0000u, G = 0x0000FF00u, B = 0x000000FFu;
    const std::vector<uint32_t> want = {G, G, G, G, G,   // top
                                        R, R, R, R, R,   // skipped: colour 0
                                        B, B, G, R, B};  // bottom
    EXPECT_EQ(img->pixels, want);
}

TEST(Dib, RunLengthStreamsCutShortOrOutOfReachAreRefused) {
    EXPECT_TRUE(DecodeDib(Rle8(2, 1, {2, 1, 0, 1})).has_value());
    EXPECT_FALSE(DecodeDib(Rle8(2, 1, {2, 1})).has_value());             // no end marker
    EXPECT_FALSE(DecodeDib(Rle8(2, 1, {0, 3, 1, 2})).has_value());       // literals cut short
    EXPECT_FALSE(DecodeDib(Rle8(2, 1, {0, 2, 1})).has_value());          // delta cut short
    EXPECT_FALSE(DecodeDib(Rle8(2, 1, {2, 1, 0, 1}, 2)).has_value());    // the image size ends it first
    EXPECT_FALSE(DecodeDib(Rle8(8000, 8000, {0, 1})).has_value());       // more pixels than it can paint
    auto top_down = Rle8(2, 1, {2, 1, 0, 1});
    top_down[8] = 0xFF, top_down[9] = 0xFF, top_down[10] = 0xFF, top_down[11] = 0xFF;  // height -1
    EXPECT_FALSE(DecodeDib(top_down).has_value());
    auto four_bits = Rle8(2, 1, {2, 1, 0, 1});
    four_bits[14] = 4;
    EXPECT_FALSE(DecodeDib(four_bits).has_value());
}

TEST(Dib, BitfieldMasksAreReadOnlyWhereTheHeaderPutsThem) {
    // 32-bit BI_BITFIELDS, 1 x 1: the masks follow a 40-byte header and lie inside the
    // 52-byte and later headers. A header size between the two holds only part of them.
    const auto dib = [](uint32_t header, size_t size) {
        std::vector<uint8_t> b(std::max<size_t>(size, 52), 0);
        b[0] = static_cast<uint8_t>(header);
        b[4] = 1;
        b[8] = 1;
        b[12] = 1;
        b[14] = 32;
        b[16] = 3;
        const uint8_t masks[] = {0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0};
        std::copy(std::begin(masks), std::end(masks), b.begin() + 40);
        b.resize(size);
        return b;
    };
    auto b = dib(40, 56);
    b[52] = 0x30;  // blue
    b[54] = 0x10;  // red
    auto img = DecodeDib(b);
    ASSERT_TRUE(img.has_value());
    EXPECT_EQ(FromPixel(img->at(0, 0)), Rgb(0x10, 0, 0x30));
    EXPECT_TRUE(DecodeDib(dib(52, 56)).has_value());
    for (uint32_t header : {44u, 48u, 51u}) {
        SCOPED_TRACE(header);
        EXPECT_FALSE(DecodeDib(dib(header, 56)).has_value());     // the pixels would be the masks
        EXPECT_FALSE(DecodeDib(dib(header, header)).has_value());  // the masks would lie past the end
    }
}

}  // namespace
}  // namespace setup::skin

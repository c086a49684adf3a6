// color.h: colour values of the hot-track button and how they turn into pixels.
//
//   ColorValue      0x00BBGGRR for an RGB colour, 0xFF0000nn for system colour nn, kClNone
//   AddToColor      c + n per channel on the stored bytes, clamped (no resolving)
//   SystemPalette   the RGB values system colours resolve to (the classic table by default)
//   ToPixel         an RGB colour value as a 32-bit B,G,R,X pixel
#pragma once

#include <array>
#include <cstdint>

namespace setup {

using ColorValue = uint32_t;

inline constexpr ColorValue kClNone = 0x1FFFFFFF;
inline constexpr ColorValue kClBlack = 0;
inline constexpr ColorValue kClWhite = 16777215;
inline constexpr ColorValue kClGray = 8421504;
inline constexpr ColorValue kClBtnFace = 0xFF00000F;
inline constexpr ColorValue kCl3DDkShadow = 0xFF000015;
inline constexpr ColorValue kCl3DLight = 0xFF000016;

inline constexpr ColorValue Rgb(int r, int g, int b) {
    return static_cast<ColorValue>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
inline constexpr int RedOf(ColorValue c) { return static_cast<int>(c & 0xFF); }
inline constexpr int GreenOf(ColorValue c) { return static_cast<int>((c >> 8) & 0xFF); }
inline constexpr int BlueOf(ColorValue c) { return static_cast<int>((c >> 16) & 0xFF); }
inline constexpr bool IsSystemColor(ColorValue c) { return (c & 0xFF000000) == 0xFF000000; }

// Adds n to red, green and blue as stored (a system colour's index byte included) and clamps
// each to 0..255. The result is an RGB colour: the top byte is dropped.
ColorValue AddToColor(ColorValue c, int n);

// Integer average of the three stored channels (decides a black or white caption).
int ChannelAverage(ColorValue c);

// A pixel of a 32-bit image: blue, green, red and a fourth byte in memory, that is
// 0xXXRRGGBB read as a little-endian 32-bit value.
using Pixel = uint32_t;
inline constexpr Pixel kKeyPixel = 0x00FF00FF;  // magenta 0xFF00FF, the transparent key

inline constexpr Pixel ToPixel(ColorValue rgb) {
    return static_cast<Pixel>(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
}
inline constexpr ColorValue FromPixel(Pixel p) {
    return static_cast<ColorValue>(((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16));
}
inline constexpr bool SameRgb(Pixel a, Pixel b) { return ((a ^ b) & 0x00FFFFFF) == 0; }

// The RGB values behind the system colours. Windows builds fill it from GetSysColor; the
// default is the classic Windows scheme, so headless rendering is deterministic.
class SystemPalette {
public:
    static constexpr int kCount = 31;
    SystemPalette();
    static const SystemPalette& Classic();

    void Set(int index, ColorValue rgb);
    // A system colour becomes its RGB value (black for an unknown index); an RGB colour stays.
    ColorValue Resolve(ColorValue c) const;

private:
    std::array<ColorValue, kCount> rgb_{};
};

}  // namespace setup

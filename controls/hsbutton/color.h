// color.h: colour values of the hot-track button and how they turn into pixels.
//
//   Color, Pixel    (base/image.h)
//   AddToColor      c + n per channel on the stored bytes, clamped (no resolving)
//   SystemPalette   the RGB values system colours resolve to (the classic table by default)
#pragma once

#include <array>
#include <cstdint>

#include "base/image.h"

namespace setup {

inline constexpr Color kClBlack = 0;
inline constexpr Color kClWhite = 16777215;
inline constexpr Color kClGray = 8421504;
inline constexpr Color kClBtnFace = 0xFF00000F;
inline constexpr Color kCl3DDkShadow = 0xFF000015;
inline constexpr Color kCl3DLight = 0xFF000016;

// Adds n to red, green and blue as stored (a system colour's index byte included) and clamps
// each to 0..255. The result is an RGB colour: the top byte is dropped.
Color AddToColor(Color c, int n);

// Integer average of the three stored channels (decides a black or white caption).
int ChannelAverage(Color c);

inline constexpr Pixel kKeyPixel = 0x00FF00FF;  // magenta 0xFF00FF, the transparent key

// The RGB values behind the system colours. Windows builds fill it from GetSysColor; the
// default is the classic Windows scheme, so headless rendering is deterministic.
class SystemPalette {
public:
    static constexpr int kCount = 31;
    SystemPalette();
    static const SystemPalette& Classic();

    void Set(int index, Color rgb);
    // A system colour becomes its RGB value (black for an unknown index); an RGB colour stays.
    Color Resolve(Color c) const;

private:
    std::array<Color, kCount> rgb_{};
};

}  // namespace setup

// image.h: the pixel surface the skinned controls compose on, and the bitmap helpers that
// work on it without any window system.
//
//   Image             32-bit pixels, top-down rows, 0xAARRGGBB (BGRA bytes in memory)
//   DecodeDib         a BITMAP resource (a DIB without file header) into an Image
//   DecodeBmpFile     a .bmp file (with its "BM" header) into an Image
//   ExtractStripFrame one frame of a strip of equally wide frames
//   DrawImage         copy, optionally stretched, optionally keyed on one colour
//
// Colours of the theme table and of the controls are 0x00BBGGRR values (red in the low byte),
// as Windows' COLORREF; pixels are 0xAARRGGBB. Pixel() and ColorOf() convert.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace setup::skin {

using Color = uint32_t;  // 0x00BBGGRR

constexpr Color Rgb(int r, int g, int b) {
    return static_cast<Color>(r & 0xFF) | static_cast<Color>(g & 0xFF) << 8 | static_cast<Color>(b & 0xFF) << 16;
}
constexpr uint32_t Pixel(Color c) {
    return 0xFF000000u | (c & 0xFFu) << 16 | (c & 0xFF00u) | (c >> 16 & 0xFFu);
}
constexpr Color ColorOf(uint32_t pixel) {
    return (pixel >> 16 & 0xFFu) | (pixel & 0xFF00u) | (pixel & 0xFFu) << 16;
}

struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // width * height, row 0 at the top

    Image() = default;
    Image(int w, int h, uint32_t fill = 0xFF000000u);
    bool empty() const { return width <= 0 || height <= 0; }
    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    uint32_t& at(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
    bool operator==(const Image&) const = default;
};

// Largest side a decoded bitmap may have; a header claiming more is treated as damaged.
inline constexpr int kMaxBitmapSide = 8192;

// Uncompressed DIBs of 1, 4, 8, 24 or 32 bits per pixel (BI_RGB, and BI_BITFIELDS with the
// usual 8-8-8 masks), bottom-up or top-down, and run-length encoded bottom-up 8-bit ones
// (BI_RLE8), with a BITMAPINFOHEADER or a later header. nullopt for anything damaged,
// truncated or unsupported. Decoded pixels are opaque.
std::optional<Image> DecodeDib(std::span<const uint8_t> dib);
std::optional<Image> DecodeBmpFile(std::span<const uint8_t> file);

// Frame `index` (1-based) of a strip of `count` frames side by side: frame width is the strip
// width div count; the last frame is the rightmost frame-width columns, so a strip whose width
// is not a multiple of count keeps its last frame flush with the right edge. A count below 1
// is taken as 1; an index outside 1..count gives an empty image.
void ExtractStripFrame(const Image& strip, Image* dest, int count, int index);

// Draws src onto dest with its top-left corner at (x, y), clipped to dest. With a key, every
// source pixel whose RGB equals the key's is skipped, so dest shows through.
void DrawImage(Image& dest, const Image& src, int x, int y, std::optional<Color> key = std::nullopt);
// Same, stretched (nearest neighbour) over the rectangle (x, y, w, h).
void StretchImage(Image& dest, const Image& src, int x, int y, int w, int h,
                  std::optional<Color> key = std::nullopt);
void FillRect(Image& dest, int x, int y, int w, int h, Color c);

}  // namespace setup::skin

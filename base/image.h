// image.h: the colours and 32-bit images every self-drawn control composes on, and the bitmap
// helpers that work on them without any window system.
//
//   Color             0x00BBGGRR for an RGB colour (Windows' COLORREF order), 0xFF0000nn for
//                     system colour nn (resolved by the window layer), kClNone for none
//   Pixel             blue, green, red and a fourth byte in memory (0xXXRRGGBB as a 32-bit
//                     value); ToPixel and FromPixel convert
//   ImageView         a borrowed W x H block of pixels: a DIB section's bits, or an Image
//   ConstImageView    the same, read only: what drawing copies from
//   Image             an owned image, top-down rows
//   DecodeDib         a BITMAP resource (a DIB without file header) into an Image
//   DecodeBmpFile     a .bmp file (with its "BM" header) into an Image
//   ExtractStripFrame one frame of a strip of equally wide frames
//   FillRect, DrawImage, StretchImage   clipped to the destination
//
// The fourth byte of every pixel the program makes is 0, as GDI leaves it on a 32-bit DIB:
// decoders, fills and copies write 0 there, so images compare equal whoever drew them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "base/geometry.h"

namespace setup {

using Color = uint32_t;
inline constexpr Color kClNone = 0x1FFFFFFF;  // no colour of its own: the window's, or none

inline constexpr Color Rgb(int r, int g, int b) {
    return static_cast<Color>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
inline constexpr int RedOf(Color c) { return static_cast<int>(c & 0xFF); }
inline constexpr int GreenOf(Color c) { return static_cast<int>((c >> 8) & 0xFF); }
inline constexpr int BlueOf(Color c) { return static_cast<int>((c >> 16) & 0xFF); }
inline constexpr bool IsSystemColor(Color c) { return (c & 0xFF000000) == 0xFF000000; }

using Pixel = uint32_t;
inline constexpr Pixel kRgbMask = 0x00FFFFFF;

inline constexpr Pixel ToPixel(Color rgb) {
    return static_cast<Pixel>(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
}
inline constexpr Color FromPixel(Pixel p) {
    return static_cast<Color>(((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16));
}
inline constexpr bool SameRgb(Pixel a, Pixel b) { return ((a ^ b) & kRgbMask) == 0; }

struct ImageView {
    Pixel* bits = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;  // pixels from one row to the next

    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    Pixel& at(int x, int y) const { return bits[static_cast<size_t>(y) * stride + x]; }
    Pixel* row(int y) const { return bits + static_cast<size_t>(y) * stride; }
};

struct ConstImageView {
    const Pixel* bits = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;

    ConstImageView() = default;
    ConstImageView(const Pixel* b, int w, int h, int s) : bits(b), width(w), height(h), stride(s) {}
    ConstImageView(const ImageView& v) : bits(v.bits), width(v.width), height(v.height), stride(v.stride) {}
    Pixel at(int x, int y) const { return bits[static_cast<size_t>(y) * stride + x]; }
};

struct Image {
    int width = 0;
    int height = 0;
    std::vector<Pixel> pixels;  // width * height, row 0 at the top

    Image() = default;
    Image(int w, int h, Pixel fill = 0);
    bool empty() const { return width <= 0 || height <= 0; }
    Pixel at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    Pixel& at(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
    bool operator==(const Image&) const = default;

    ImageView view() { return {pixels.data(), width, height, width}; }
    ConstImageView view() const { return {pixels.data(), width, height, width}; }
    operator ImageView() { return view(); }
    operator ConstImageView() const { return view(); }
};

// Largest side a decoded bitmap may have; a header claiming more is treated as damaged.
inline constexpr int kMaxBitmapSide = 8192;

// Uncompressed DIBs of 1, 4, 8, 24 or 32 bits per pixel (BI_RGB, and BI_BITFIELDS with the
// usual 8-8-8 masks), bottom-up or top-down, and run-length encoded bottom-up 8-bit ones
// (BI_RLE8), with a BITMAPINFOHEADER or a later header. nullopt for anything damaged,
// truncated or unsupported. A 32-bit bitmap's fourth byte is not kept.
std::optional<Image> DecodeDib(std::span<const uint8_t> dib);
std::optional<Image> DecodeBmpFile(std::span<const uint8_t> file);

// Frame `index` (1-based) of a strip of `count` frames side by side: frame width is the strip
// width div count; the last frame is the rightmost frame-width columns, so a strip whose width
// is not a multiple of count keeps its last frame flush with the right edge. A count below 1
// is taken as 1; an index outside 1..count gives an empty image.
void ExtractStripFrame(const Image& strip, Image* dest, int count, int index);

void FillRect(const ImageView& dest, Rect r, Pixel color);

// Draws src's rectangle `from` (all of src by default) with its top-left corner at (x, y),
// clipped to dest. With a key, every source pixel whose RGB equals the key's is left out, so
// dest shows through.
void DrawImage(const ImageView& dest, ConstImageView src, int x, int y, std::optional<Color> key = std::nullopt);
void DrawImage(const ImageView& dest, ConstImageView src, Rect from, int x, int y,
               std::optional<Color> key = std::nullopt);
// Same, all of src stretched (nearest neighbour) over the rectangle (x, y, w, h).
void StretchImage(const ImageView& dest, ConstImageView src, int x, int y, int w, int h,
                  std::optional<Color> key = std::nullopt);

}  // namespace setup

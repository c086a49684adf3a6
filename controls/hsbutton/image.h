// image.h: 32-bit images and the few drawing operations the button face needs.
//
//   Rect         (base/geometry.h)
//   ImageView    a borrowed W x H block of pixels (a DIB section's bits, or a Bitmap)
//   Bitmap       an owned image: glyph strips, the drop-down arrow, test canvases
//   Pen          lines from point to point, GDI style: a line stops before its end point
//   FillRect, FillRoundRect, FrameRoundRect, RoundInset, DrawKeyed, ShiftImage, Blur
//
// Every operation clips to the image. Pixels written by fills and lines get 0 in their
// fourth byte, as GDI leaves it on a 32-bit DIB.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/geometry.h"
#include "controls/hsbutton/color.h"

namespace setup {

struct ImageView {
    Pixel* bits = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;  // pixels from one row to the next

    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    Pixel& at(int x, int y) const { return bits[static_cast<size_t>(y) * stride + x]; }
    Pixel* row(int y) const { return bits + static_cast<size_t>(y) * stride; }
};

class Bitmap {
public:
    Bitmap() = default;
    Bitmap(int width, int height, Pixel fill = 0);

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return width_ <= 0 || height_ <= 0; }
    Pixel pixel(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    void set(int x, int y, Pixel p) { pixels_[static_cast<size_t>(y) * width_ + x] = p; }
    ImageView view() { return {pixels_.data(), width_, height_, width_}; }
    ImageView view() const {  // read-only use only
        return {const_cast<Pixel*>(pixels_.data()), width_, height_, width_};
    }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<Pixel> pixels_;
};

// Round to nearest, ties to even.
double RoundHalfEven(double v);

void FillRect(const ImageView& image, Rect r, Pixel color);

// Rows an upper (or lower) rounded corner of radius r leaves out at distance u from the
// rectangle's edge row: r - round(sqrt(2ru - u^2)) for u < r, else 0.
int RoundInset(int r, int u);

// A rectangle with circular corners of radius r: row y covers [left + e, right - e) where e
// is the larger of the insets measured from the top and from the bottom row.
void FillRoundRect(const ImageView& image, Rect rect, int r, Pixel color);
// The one-pixel outline of the same shape: its pixels that touch a pixel outside it.
void FrameRoundRect(const ImageView& image, Rect rect, int r, Pixel color);

class Pen {
public:
    Pen(const ImageView& image, Pixel color, int width = 1) : image_(image), color_(color), width_(width) {}
    void SetColor(Pixel color) { color_ = color; }
    void SetWidth(int width) { width_ = width; }
    void MoveTo(int x, int y) { x_ = x, y_ = y; }
    // Width 1 covers the start point and stops before the end point. A wider pen covers a
    // band of that width centred on the line, both ends included (round caps of width 3
    // cover the same square as the band's corners).
    void LineTo(int x, int y);

private:
    const ImageView& image_;
    Pixel color_;
    int width_;
    int x_ = 0, y_ = 0;
};

// Draws src's rectangle at (x, y) leaving out the pixels whose red, green and blue equal key.
void DrawKeyed(const ImageView& image, const ImageView& src, Rect from, int x, int y, Pixel key);

// Moves the whole image content by (dx, dy) onto itself, as an overlapping block copy does.
// Pixels whose source lies outside the image keep their value.
void ShiftImage(const ImageView& image, int dx, int dy);

// The face blur: rows then columns, each a running in-place box of 2r + 1 pixels in which
// a position outside the image counts as the pixel itself. Blue, green and red only.
void Blur(const ImageView& image, int r);

}  // namespace setup

// shapes.h: the shapes the button face draws on an image (base/image.h).
//
//   Pen          lines from point to point, GDI style: a line stops before its end point
//   FillRoundRect, FrameRoundRect, RoundInset, ShiftImage, Blur
//
// Every operation clips to the image and writes 0 in the fourth byte.
#pragma once

#include "base/image.h"
#include "controls/hsbutton/color.h"

namespace setup {

// Round to nearest, ties to even.
double RoundHalfEven(double v);

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

// Moves the whole image content by (dx, dy) onto itself, as an overlapping block copy does.
// Pixels whose source lies outside the image keep their value.
void ShiftImage(const ImageView& image, int dx, int dy);

// The face blur: rows then columns, each a running in-place box of 2r + 1 pixels in which
// a position outside the image counts as the pixel itself. Blue, green and red only.
void Blur(const ImageView& image, int r);

}  // namespace setup

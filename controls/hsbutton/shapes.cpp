#include "controls/hsbutton/shapes.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace setup {

namespace {

int RowInset(const Rect& rect, int r, int y) {
    return std::max(RoundInset(r, y - rect.top), RoundInset(r, rect.bottom - 1 - y));
}

bool InRoundRect(const Rect& rect, int r, int x, int y) {
    if (y < rect.top || y >= rect.bottom) return false;
    const int e = RowInset(rect, r, y);
    return x >= rect.left + e && x < rect.right - e;
}

void Plot(const ImageView& image, int x, int y, Pixel color) {
    if (image.Contains(x, y)) image.at(x, y) = color & kRgbMask;
}

}  // namespace

double RoundHalfEven(double v) {
    const double f = std::floor(v);
    const double diff = v - f;
    if (diff > 0.5) return f + 1;
    if (diff < 0.5) return f;
    return std::fmod(f, 2.0) == 0 ? f : f + 1;
}

int RoundInset(int r, int u) {
    if (u < 0 || u >= r) return 0;
    const double reach = std::sqrt(2.0 * r * u - static_cast<double>(u) * u);
    return r - static_cast<int>(RoundHalfEven(reach));
}

void FillRoundRect(const ImageView& image, Rect rect, int r, Pixel color) {
    for (int y = rect.top; y < rect.bottom; ++y) {
        const int e = RowInset(rect, r, y);
        FillRect(image, {rect.left + e, y, rect.right - e, y + 1}, color);
    }
}

void FrameRoundRect(const ImageView& image, Rect rect, int r, Pixel color) {
    const int top = std::max(rect.top, 0), bottom = std::min(rect.bottom, image.height);
    for (int y = top; y < bottom; ++y) {
        const int e = RowInset(rect, r, y);
        const int left = std::max(rect.left + e, 0), right = std::min(rect.right - e, image.width);
        for (int x = left; x < right; ++x) {
            const bool edge = !InRoundRect(rect, r, x - 1, y) || !InRoundRect(rect, r, x + 1, y) ||
                              !InRoundRect(rect, r, x, y - 1) || !InRoundRect(rect, r, x, y + 1);
            if (edge) image.at(x, y) = color & kRgbMask;
        }
    }
}

void Pen::LineTo(int x1, int y1) {
    int x = x_, y = y_;
    const int dx = std::abs(x1 - x), dy = -std::abs(y1 - y);
    const int sx = x < x1 ? 1 : -1, sy = y < y1 ? 1 : -1;
    int err = dx + dy;
    const int lo = -(width_ - 1) / 2, hi = width_ / 2;
    for (;;) {
        const bool at_end = x == x1 && y == y1;
        if (at_end && width_ <= 1) break;
        if (width_ <= 1) {
            Plot(image_, x, y, color_);
        } else {
            FillRect(image_, {x + lo, y + lo, x + hi + 1, y + hi + 1}, color_);
        }
        if (at_end) break;
        const int e2 = 2 * err;
        if (e2 >= dy) err += dy, x += sx;
        if (e2 <= dx) err += dx, y += sy;
    }
    x_ = x1;
    y_ = y1;
}

void ShiftImage(const ImageView& image, int dx, int dy) {
    std::vector<Pixel> copy(static_cast<std::size_t>(image.width) * image.height);
    for (int y = 0; y < image.height; ++y)
        std::copy(image.row(y), image.row(y) + image.width, copy.begin() + static_cast<std::ptrdiff_t>(y) * image.width);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const int sx = x - dx, sy = y - dy;
            if (sx >= 0 && sy >= 0 && sx < image.width && sy < image.height)
                image.at(x, y) = copy[static_cast<size_t>(sy) * image.width + sx];
        }
    }
}

namespace {

// One pass of the blur over `count` pixels starting at `first`, `step` pixels apart.
void BlurLine(Pixel* first, int count, std::ptrdiff_t step, int r) {
    const int span = 2 * r + 1;
    for (int i = 0; i < count; ++i) {
        const int lo = std::max(i - r, 0), hi = std::min(i + r, count - 1);
        const Pixel self = first[i * step];
        const int outside = span - (hi - lo + 1);
        int sum[3] = {0, 0, 0};
        for (int k = lo; k <= hi; ++k) {
            const Pixel p = first[k * step];
            for (int c = 0; c < 3; ++c) sum[c] += static_cast<int>((p >> (8 * c)) & 0xFF);
        }
        Pixel out = self & 0xFF000000;
        for (int c = 0; c < 3; ++c) {
            const int total = sum[c] + outside * static_cast<int>((self >> (8 * c)) & 0xFF);
            out |= static_cast<Pixel>(total / span) << (8 * c);
        }
        first[i * step] = out;
    }
}

}  // namespace

void Blur(const ImageView& image, int r) {
    if (r <= 0 || image.width <= 0 || image.height <= 0) return;
    for (int y = 0; y < image.height; ++y) BlurLine(image.row(y), image.width, 1, r);
    for (int x = 0; x < image.width; ++x) BlurLine(image.bits + x, image.height, image.stride, r);
}

}  // namespace setup

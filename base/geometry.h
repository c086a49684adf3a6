// geometry.h: the rectangle of every control, in the portable models and in the window layer.
#pragma once

namespace setup {

// (left, top) - (right, bottom), right and bottom excluded; in the parent's client pixels
// (the screen's, for a top-level window) wherever it places a window.
struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;

    // The width x height rectangle whose top-left corner is (left, top).
    static constexpr Rect FromSize(int left, int top, int width, int height) {
        return {left, top, left + width, top + height};
    }
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool operator==(const Rect&) const = default;
};

}  // namespace setup

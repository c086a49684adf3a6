// geometry.h: the rectangle of the self-drawn controls' portable models.
#pragma once

namespace setup {

// (left, top) - (right, bottom), right and bottom excluded.
struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const Rect&) const = default;
};

}  // namespace setup

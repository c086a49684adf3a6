// ui_test_support.h: helpers of the component-layer tests: a hidden top-level host for
// controls, drawing a window into a bitmap, and reading its pixels.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "win/ui/container.h"

namespace setup::testing {

// The client area of `window` drawn through WM_PRINTCLIENT, as 0x00RRGGBB pixels.
class Snapshot {
public:
    Snapshot(HWND window, int width, int height);
    uint32_t Pixel(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    // Pixels in the rectangle that differ from `background`.
    int CountOther(const RECT& r, uint32_t background) const;
    int width() const { return width_; }

private:
    int width_, height_;
    std::vector<uint32_t> pixels_;
};

inline uint32_t Rgb(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

// Runs the thread's pending messages.
void Pump();

}  // namespace setup::testing

// gdi_win.h: GDI helpers of the button's window layer (owners come from win/handles.h).
//
//   DibSection           a top-down 32-bit DIB section and its pixels
//   LoadBitmapResource   a BITMAP resource by name as a 32-bit Bitmap
//   ThisModule           the module whose resources hold the button's bitmaps
#pragma once

#include <windows.h>

#include "controls/hsbutton/image.h"
#include "win/handles.h"

namespace setup::win::hsb {

using win::SelectScope;
using win::UniqueBitmap;
using win::UniqueDc;
using win::UniqueFont;

// A W x H top-down 32-bit DIB section: row 0 is the top row, pixels B, G, R, X.
struct DibSection {
    UniqueBitmap bitmap;
    Pixel* bits = nullptr;
    int width = 0, height = 0;

    static DibSection Create(int width, int height);
    explicit operator bool() const { return bits != nullptr; }
    ImageView view() const { return {bits, width, height, width}; }
};

// The BITMAP resource `name` of module as a 32-bit image; empty when there is none.
Bitmap LoadBitmapResource(HINSTANCE module, const wchar_t* name);

// The module this code is linked into (its resources hold the button's bitmaps).
HINSTANCE ThisModule();

}  // namespace setup::win::hsb

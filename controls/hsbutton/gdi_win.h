// gdi_win.h: GDI helpers of the button's window layer (owners come from win/handles.h).
//
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

// The BITMAP resource `name` of module as a 32-bit image; empty when there is none.
Bitmap LoadBitmapResource(HINSTANCE module, const wchar_t* name);

// The module this code is linked into (its resources hold the button's bitmaps).
HINSTANCE ThisModule();

}  // namespace setup::win::hsb

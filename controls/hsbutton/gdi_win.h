// gdi_win.h: GDI helpers of the button's window layer (owners come from win/handles.h).
//
//   LoadBitmapResource   a BITMAP resource by name as a Bitmap
#pragma once

#include <windows.h>

#include <string_view>

#include "controls/hsbutton/image.h"
#include "win/handles.h"

namespace setup::win::hsb {

using win::SelectScope;
using win::UniqueBitmap;
using win::UniqueDc;
using win::UniqueFont;

// The program's BITMAP resource `name`, decoded as every bitmap resource of the program is
// (skin::win::LoadBitmapResource: opaque pixels); empty when there is none. The button draws
// red, green and blue only, so the fourth byte never shows.
Bitmap LoadBitmapResource(std::string_view name);

}  // namespace setup::win::hsb

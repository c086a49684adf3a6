// gdi_win.h: GDI helpers of the button's window layer (owners come from win/handles.h).
//
//   LoadBitmapResource   a BITMAP resource by name as an Image
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

// The program's BITMAP resource `name` (skin::win::LoadBitmapResource); empty when there is none.
Image LoadBitmapResource(std::string_view name);

}  // namespace setup::win::hsb

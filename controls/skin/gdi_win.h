// gdi_win.h: what the skinned controls draw with: the window layer's GDI owners, back buffer,
// fonts and colours, and Image pixels in and out of that back buffer.
//
//   UniqueFont, UniquePen, SelectScope   win/handles.h owners (DeleteObject, SelectObject scope)
//   Dib, MakeFont, ColorOf               the back buffer, fonts and colours (win/ui/gdi.h)
//   PutImage, GetImage                   Image pixels into and out of a Dib
#pragma once

#include <windows.h>

#include "base/image.h"
#include "win/handles.h"
#include "win/ui/gdi.h"

namespace setup::skin::win {

using setup::win::SelectScope;
using setup::win::UniqueFont;
using setup::win::UniquePen;

using setup::win::ui::Dib;
using setup::win::ui::ColorOf;
using setup::win::ui::MakeFont;

// Where GDI drawing and Image pixels meet (GdiFlush first, as GDI may batch). PutImage copies
// the part of image the Dib covers; GetImage gives the Dib's pixels as an Image of its
// size (empty when the Dib is).
void PutImage(const Dib& dib, const Image& image);
Image GetImage(const Dib& dib);

}  // namespace setup::skin::win

// gdi_win.h: the GDI owners the skinned controls use: the shared ones of win/handles.h under
// short names, and Image pixels in and out of the window layer's back buffer.
//
//   Font, Bitmap, Pen, Selection   win/handles.h owners (DeleteObject, SelectObject scope)
//   Dib, MakeFont, ColorOf         the back buffer, fonts and colours (win/ui/gdi.h)
//   PutImage, GetImage             Image pixels into and out of a Dib
#pragma once

#include <windows.h>

#include "base/image.h"
#include "win/handles.h"
#include "win/ui/gdi.h"

namespace setup::skin::win {

// The shared owners, under the names this folder uses.
using Font = setup::win::UniqueFont;
using Bitmap = setup::win::UniqueBitmap;
using Pen = setup::win::UniquePen;
using Selection = setup::win::SelectScope;

using setup::win::ui::Dib;
using setup::win::ui::ColorOf;
using setup::win::ui::MakeFont;

// Where GDI drawing and Image pixels meet (GdiFlush first, as GDI may batch). PutImage copies
// the part of image the Dib covers; GetImage gives the Dib's pixels as an Image of its
// size (empty when the Dib is).
void PutImage(const Dib& dib, const Image& image);
Image GetImage(const Dib& dib);

}  // namespace setup::skin::win

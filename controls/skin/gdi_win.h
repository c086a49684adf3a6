// gdi_win.h: the GDI owners the skinned controls use: the shared ones of win/handles.h under
// short names, and the back buffer with Image pixels.
//
//   Font, Bitmap, Pen, Selection   win/handles.h owners (DeleteObject, SelectObject scope)
//   DibSurface     the window layer's back buffer with Image pixels in and out
#pragma once

#include <windows.h>

#include <utility>

#include "controls/skin/image.h"
#include "win/handles.h"
#include "win/ui/gdi.h"

namespace setup::skin::win {

// The shared owners, under the names this folder uses.
using Font = setup::win::UniqueFont;
using Bitmap = setup::win::UniqueBitmap;
using Pen = setup::win::UniquePen;
using Selection = setup::win::SelectScope;

// The window layer's back buffer (win/ui/gdi.h), where GDI drawing and Image pixels meet;
// never smaller than 1 x 1.
class DibSurface : public setup::win::ui::Dib {
public:
    DibSurface(int width, int height) : Dib(width < 1 ? 1 : width, height < 1 ? 1 : height) {}
    // Pixels to and from an Image of the same size (GdiFlush first, as GDI may batch).
    void Put(const Image& image);
    Image Get() const;
};

}  // namespace setup::skin::win

// gdi_win.h: the GDI owners the skinned controls use: the shared ones of win/handles.h under
// short names, and two of this folder's own.
//
//   Font, Bitmap, Pen, Selection   win/handles.h owners (DeleteObject, SelectObject scope)
//   SavedDC        SaveDC / RestoreDC for a scope
//   DibSurface     a top-down 32-bit DIB section selected into its own memory DC
#pragma once

#include <windows.h>

#include <utility>

#include "controls/skin/image.h"
#include "win/handles.h"

namespace setup::skin::win {

// The shared owners, under the names this folder uses.
using Font = setup::win::UniqueFont;
using Bitmap = setup::win::UniqueBitmap;
using Pen = setup::win::UniquePen;
using Selection = setup::win::SelectScope;

class SavedDC {
public:
    explicit SavedDC(HDC dc) : dc_(dc), id_(SaveDC(dc)) {}
    SavedDC(const SavedDC&) = delete;
    SavedDC& operator=(const SavedDC&) = delete;
    ~SavedDC() {
        if (id_) RestoreDC(dc_, id_);
    }

private:
    HDC dc_;
    int id_;
};

// A 32-bit top-down DIB section with a memory DC; GDI drawing and Image pixels meet here.
class DibSurface {
public:
    DibSurface(HDC compatible_with, int width, int height);
    DibSurface(const DibSurface&) = delete;
    DibSurface& operator=(const DibSurface&) = delete;
    bool ok() const { return bits_ != nullptr; }
    HDC dc() const { return dc_.get(); }
    int width() const { return width_; }
    int height() const { return height_; }
    // Pixels to and from an Image of the same size (GdiFlush first, as GDI may batch).
    void Put(const Image& image);
    Image Get() const;

private:
    setup::win::UniqueDc dc_;
    Bitmap bitmap_;
    uint32_t* bits_ = nullptr;
    int width_, height_;
    HGDIOBJ old_ = nullptr;

public:
    ~DibSurface() {
        if (old_) SelectObject(dc_.get(), old_);
    }
};

}  // namespace setup::skin::win

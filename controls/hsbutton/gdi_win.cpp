#include "controls/hsbutton/gdi_win.h"

#include <cstdlib>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace setup::win::hsb {

namespace {

BITMAPINFO TopDown32(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // negative: rows top to bottom
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

}  // namespace

Bitmap LoadBitmapResource(HINSTANCE module, const wchar_t* name) {
    UniqueBitmap handle(static_cast<HBITMAP>(::LoadImageW(module, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!handle) return {};
    BITMAP shape{};
    if (::GetObjectW(handle.get(), sizeof(shape), &shape) == 0) return {};
    const int width = shape.bmWidth, height = std::abs(shape.bmHeight);
    Bitmap image(width, height);
    BITMAPINFO info = TopDown32(width, height);
    WindowDc screen(nullptr);
    const int rows = ::GetDIBits(screen.get(), handle.get(), 0, static_cast<UINT>(height), image.view().bits, &info,
                                 DIB_RGB_COLORS);
    return rows == height ? image : Bitmap();
}

HINSTANCE ThisModule() { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

}  // namespace setup::win::hsb

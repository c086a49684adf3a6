// gdi.h: fonts, colours and pictures of the window layer.
//
//   MakeFont              a FontSpec (base/font.h) as a GDI font: every font of the controls
//                         is made here
//   ColorOf               a Color (base/image.h) as GDI takes it: system colours and kClNone
//                         (the window's colour) resolved
//   ResourceData          the bytes of a resource of the program
//   LoadBitmapResource    a BITMAP resource as an Image (base/image.h)
//   Picture               an owned bitmap or icon, drawn unscaled from its top-left corner;
//                         its bitmaps are Images (JPEG, packed DIB) made into a DIB section
//   DecodeJpeg            baseline or progressive JPEG bytes to an Image
//   Dib                   a top-down 32-bit DIB section in its own memory DC: the back buffer
//                         every self-drawn control paints into
//   PaintParentBackground what the parent shows behind a child window, into a DC
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "base/font.h"
#include "base/image.h"
#include "win/handles.h"

namespace setup::win::ui {

// The height is the character height, as a negative lfHeight: no scaling with the dpi.
// Smooth fonts have the system's quality (antialiased where it antialiases); the others are
// drawn without antialiasing. The colour is the caller's to apply. Null when GDI refuses.
UniqueFont MakeFont(const FontSpec& font, bool smooth = true);

COLORREF ColorOf(Color color);

inline constexpr COLORREF kOrange = RGB(255, 153, 0);
inline constexpr COLORREF kGray = RGB(128, 128, 128);
inline constexpr COLORREF kWhite = RGB(255, 255, 255);
inline constexpr COLORREF kBlack = RGB(0, 0, 0);
inline constexpr COLORREF kBlue = RGB(0, 0, 255);

// The bytes of a resource of `module` (null: the executable) by name and type; empty when
// there is none. Resource memory lives as long as the module.
std::span<const uint8_t> ResourceData(HMODULE module, const wchar_t* name, const wchar_t* type);

// The program's BITMAP resource `name` (GBK) as an Image; empty when missing or damaged. Every
// bitmap the self-drawn controls compose is loaded here.
setup::Image LoadBitmapResource(std::string_view name);

class Picture {
public:
    Picture() = default;
    // Resources of the running executable, by name; an empty picture when missing or broken.
    static Picture FromJpegResource(const wchar_t* name);
    // An RCDATA resource holding a BITMAP resource's bytes (header, pixels) packed like the
    // package's resources: the product picture, a third of its size as a plain bitmap.
    static Picture FromPackedBitmapResource(const wchar_t* name);
    static Picture FromIconResource(const wchar_t* name, int size);
    static Picture FromJpeg(std::span<const uint8_t> bytes);
    // Packed (Unpack) bytes of a BITMAP resource; empty when they do not unpack or decode.
    static Picture FromPackedBitmap(std::span<const uint8_t> packed);
    static Picture FromImage(const setup::Image& image);

    bool Empty() const { return !bitmap_ && !icon_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    HBITMAP Bitmap() const { return bitmap_.get(); }
    // Draws at (x, y) at its own size; the caller's clipping cuts it to the control.
    void Draw(HDC dc, int x, int y) const;

private:
    UniqueBitmap bitmap_;
    UniqueIcon icon_;
    int width_ = 0, height_ = 0;
};

// The decoded picture, or nullopt for data libjpeg refuses.
std::optional<setup::Image> DecodeJpeg(std::span<const uint8_t> bytes);

// A W x H top-down 32-bit DIB section (row 0 is the top row, pixels B, G, R, X) selected
// into a memory DC; empty (!ok) when either cannot be made or a side is not positive.
class Dib {
public:
    Dib(int width, int height);
    Dib(const Dib&) = delete;
    Dib& operator=(const Dib&) = delete;
    ~Dib();

    bool ok() const { return bits_ != nullptr; }
    HDC dc() const { return dc_.get(); }
    HBITMAP bitmap() const { return bitmap_.get(); }
    // The pixels, for drawing with base/image.h (after GdiFlush when GDI drew into them).
    ImageView view() const { return {bits_, width_, height_, width_}; }
    int width() const { return width_; }
    int height() const { return height_; }

private:
    UniqueDc dc_;
    UniqueBitmap bitmap_;
    HGDIOBJ old_ = nullptr;
    Pixel* bits_ = nullptr;
    int width_ = 0, height_ = 0;
};

// Paints into dc, at the control's place, what the parent of `control` shows there: its
// background (WM_ERASEBKGND; its class brush when it erases nothing) and its client
// (WM_PRINTCLIENT), clipped to the parent's client area.
void PaintParentBackground(HDC dc, HWND control);

}  // namespace setup::win::ui

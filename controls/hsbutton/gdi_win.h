// gdi_win.h: the few GDI owners and helpers the button's window layer needs.
//
//   UniqueFont, UniqueBitmap, UniqueDc   move-only owners (DeleteObject / DeleteDC)
//   SelectScope                          SelectObject, the previous object restored at scope end
//   DibSection                           a top-down 32-bit DIB section and its pixels
//   LoadBitmapResource                   a BITMAP resource by name as a 32-bit Bitmap
//
// These stay private to the button until the shared owners of win/handles.h are in main.
#pragma once

#include <windows.h>

#include <utility>

#include "controls/hsbutton/image.h"

namespace setup::win::hsb {

template <typename T, auto Close>
class Unique {
public:
    Unique() noexcept = default;
    explicit Unique(T value) noexcept : value_(value) {}
    ~Unique() { reset(); }
    Unique(Unique&& other) noexcept : value_(std::exchange(other.value_, nullptr)) {}
    Unique& operator=(Unique&& other) noexcept {
        if (this != &other) reset(std::exchange(other.value_, nullptr));
        return *this;
    }
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;

    T get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != nullptr; }
    void reset(T value = nullptr) noexcept {
        if (T old = std::exchange(value_, value)) Close(old);
    }

private:
    T value_ = nullptr;
};

namespace detail {
inline void DeleteGdi(HGDIOBJ h) noexcept { ::DeleteObject(h); }
inline void DeleteDc(HDC h) noexcept { ::DeleteDC(h); }
inline void DeleteFont(HFONT h) noexcept { ::DeleteObject(h); }
inline void DeleteBitmap(HBITMAP h) noexcept { ::DeleteObject(h); }
}  // namespace detail

using UniqueFont = Unique<HFONT, detail::DeleteFont>;
using UniqueBitmap = Unique<HBITMAP, detail::DeleteBitmap>;
using UniqueDc = Unique<HDC, detail::DeleteDc>;

class SelectScope {
public:
    SelectScope(HDC dc, HGDIOBJ object) noexcept : dc_(dc), old_(object ? ::SelectObject(dc, object) : nullptr) {}
    ~SelectScope() {
        if (old_ && old_ != HGDI_ERROR) ::SelectObject(dc_, old_);
    }
    SelectScope(const SelectScope&) = delete;
    SelectScope& operator=(const SelectScope&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

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

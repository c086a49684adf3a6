// gdi_win.h: move-only owners of the GDI objects, device contexts and timers the skinned
// controls use. Private to controls/skin until the shared Windows handle wrappers exist.
//
//   GdiObject<T>   HBITMAP, HFONT, HBRUSH, HPEN ... (DeleteObject)
//   MemoryDC       CreateCompatibleDC (DeleteDC)
//   Selection      SelectObject for a scope, restoring the previous object
//   SavedDC        SaveDC / RestoreDC for a scope
//   WindowTimer    SetTimer on a window (KillTimer)
//   DibSurface     a top-down 32-bit DIB section selected into its own memory DC
#pragma once

#include <windows.h>

#include <utility>

#include "controls/skin/image.h"

namespace setup::skin::win {

template <typename T>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(T h) : h_(h) {}
    GdiObject(GdiObject&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
    GdiObject& operator=(GdiObject&& o) noexcept {
        if (this != &o) reset(std::exchange(o.h_, nullptr));
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    ~GdiObject() { reset(); }
    void reset(T h = nullptr) {
        if (h_) DeleteObject(h_);
        h_ = h;
    }
    T get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }

private:
    T h_ = nullptr;
};
using Bitmap = GdiObject<HBITMAP>;
using Font = GdiObject<HFONT>;
using Brush = GdiObject<HBRUSH>;
using Pen = GdiObject<HPEN>;

class MemoryDC {
public:
    explicit MemoryDC(HDC compatible_with) : dc_(CreateCompatibleDC(compatible_with)) {}
    MemoryDC(MemoryDC&& o) noexcept : dc_(std::exchange(o.dc_, nullptr)) {}
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    MemoryDC& operator=(MemoryDC&&) = delete;
    ~MemoryDC() {
        if (dc_) DeleteDC(dc_);
    }
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

class Selection {
public:
    Selection(HDC dc, HGDIOBJ obj) : dc_(dc), old_(obj ? SelectObject(dc, obj) : nullptr) {}
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;
    ~Selection() {
        if (old_) SelectObject(dc_, old_);
    }

private:
    HDC dc_;
    HGDIOBJ old_;
};

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

class WindowTimer {
public:
    WindowTimer() = default;
    WindowTimer(HWND hwnd, UINT_PTR id, UINT ms) : hwnd_(hwnd), id_(SetTimer(hwnd, id, ms, nullptr)) {}
    WindowTimer(WindowTimer&& o) noexcept : hwnd_(o.hwnd_), id_(std::exchange(o.id_, 0)) {}
    WindowTimer& operator=(WindowTimer&& o) noexcept {
        if (this != &o) {
            Stop();
            hwnd_ = o.hwnd_;
            id_ = std::exchange(o.id_, 0);
        }
        return *this;
    }
    WindowTimer(const WindowTimer&) = delete;
    WindowTimer& operator=(const WindowTimer&) = delete;
    ~WindowTimer() { Stop(); }
    void Stop() {
        if (id_) KillTimer(hwnd_, id_);
        id_ = 0;
    }
    bool running() const { return id_ != 0; }

private:
    HWND hwnd_ = nullptr;
    UINT_PTR id_ = 0;
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
    MemoryDC dc_;
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

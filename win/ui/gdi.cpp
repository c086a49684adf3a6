#include "win/ui/gdi.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/error.h"
#include "package/packed_resource.h"
#include "win/text.h"

namespace setup::win::ui {

UniqueFont MakeFont(const FontSpec& font, bool smooth) {
    LOGFONTW lf{};
    lf.lfHeight = -font.height;
    lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = font.italic;
    lf.lfUnderline = font.underline;
    lf.lfStrikeOut = font.strikeout;
    lf.lfCharSet = font.charset;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = smooth ? DEFAULT_QUALITY : NONANTIALIASED_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    const std::wstring face = Wide(font.name);
    face.copy(lf.lfFaceName, LF_FACESIZE - 1);
    return UniqueFont(::CreateFontIndirectW(&lf));
}

COLORREF ColorOf(Color color) {
    if (color == kClNone) return ::GetSysColor(COLOR_WINDOW);
    if (IsSystemColor(color)) return ::GetSysColor(static_cast<int>(color & 0xFF));
    return static_cast<COLORREF>(color & 0x00FFFFFFu);
}

std::span<const uint8_t> ResourceData(HMODULE module, const wchar_t* name, const wchar_t* type) {
    if (!module) module = ::GetModuleHandleW(nullptr);
    HRSRC info = ::FindResourceW(module, name, type);
    if (!info) return {};
    HGLOBAL data = ::LoadResource(module, info);
    const void* bytes = data ? ::LockResource(data) : nullptr;
    if (!bytes) return {};
    return {static_cast<const uint8_t*>(bytes), ::SizeofResource(module, info)};
}

setup::Image LoadBitmapResource(std::string_view name) {
    auto image = DecodeDib(ResourceData(nullptr, Wide(name).c_str(), RT_BITMAP));
    return image ? std::move(*image) : setup::Image{};
}

namespace {

std::span<const uint8_t> RcData(const wchar_t* name) { return ResourceData(nullptr, name, RT_RCDATA); }

// A top-down 32-bit DIB section of width x height; null when GDI refuses.
UniqueBitmap MakeDibSection(int width, int height, Pixel** bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // negative: rows top to bottom
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* memory = nullptr;
    UniqueBitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &memory, nullptr, 0));
    *bits = static_cast<Pixel*>(memory);
    return memory ? std::move(bitmap) : UniqueBitmap();
}

}  // namespace

Picture Picture::FromImage(const setup::Image& image) {
    Picture p;
    if (image.empty()) return p;
    Pixel* bits = nullptr;
    p.bitmap_ = MakeDibSection(image.width, image.height, &bits);
    if (!p.bitmap_) return p;
    std::copy(image.pixels.begin(), image.pixels.end(), bits);
    p.width_ = image.width;
    p.height_ = image.height;
    return p;
}

Picture Picture::FromJpeg(std::span<const uint8_t> bytes) {
    const auto image = DecodeJpeg(bytes);
    return image ? FromImage(*image) : Picture();
}

Picture Picture::FromJpegResource(const wchar_t* name) { return FromJpeg(RcData(name)); }

Picture Picture::FromPackedBitmap(std::span<const uint8_t> packed) {
    try {
        const auto image = DecodeDib(Unpack(packed));
        return image ? FromImage(*image) : Picture();
    } catch (const Error&) {
        return Picture();
    }
}

Picture Picture::FromPackedBitmapResource(const wchar_t* name) { return FromPackedBitmap(RcData(name)); }

Picture Picture::FromIconResource(const wchar_t* name, int size) {
    Picture p;
    p.icon_.reset(static_cast<HICON>(
        ::LoadImageW(::GetModuleHandleW(nullptr), name, IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
    if (p.icon_) p.width_ = p.height_ = size;
    return p;
}

void Picture::Draw(HDC dc, int x, int y) const {
    if (icon_) {
        ::DrawIconEx(dc, x, y, icon_.get(), width_, height_, 0, nullptr, DI_NORMAL);
        return;
    }
    if (!bitmap_) return;
    UniqueDc mem(::CreateCompatibleDC(dc));
    if (!mem) return;
    SelectScope keep(mem.get(), bitmap_.get());
    ::BitBlt(dc, x, y, width_, height_, mem.get(), 0, 0, SRCCOPY);
}

Dib::Dib(int width, int height) {
    if (width <= 0 || height <= 0) return;
    dc_.reset(::CreateCompatibleDC(nullptr));
    Pixel* bits = nullptr;
    bitmap_ = MakeDibSection(width, height, &bits);
    if (!dc_ || !bitmap_) return;
    old_ = ::SelectObject(dc_.get(), bitmap_.get());
    bits_ = bits;
    width_ = width;
    height_ = height;
}

Dib::~Dib() {
    // The bitmap leaves the DC before either is deleted.
    if (old_ && dc_) ::SelectObject(dc_.get(), old_);
    old_ = nullptr;
}

void PaintParentBackground(HDC dc, HWND control) {
    HWND parent = control ? ::GetParent(control) : nullptr;
    if (!parent) return;
    RECT r{};
    ::GetWindowRect(control, &r);
    ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    RECT client{};
    ::GetClientRect(parent, &client);
    const int saved = ::SaveDC(dc);
    ::OffsetViewportOrgEx(dc, -r.left, -r.top, nullptr);
    ::IntersectClipRect(dc, 0, 0, client.right, client.bottom);
    if (!::SendMessageW(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0)) {
        if (auto brush = reinterpret_cast<HBRUSH>(::GetClassLongPtrW(parent, GCLP_HBRBACKGROUND)))
            ::FillRect(dc, &client, brush);
    }
    ::SendMessageW(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    if (saved) ::RestoreDC(dc, saved);
}

}  // namespace setup::win::ui

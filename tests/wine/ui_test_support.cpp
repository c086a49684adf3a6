#include "tests/wine/ui_test_support.h"

#include "win/handles.h"

namespace setup::testing {

Snapshot::Snapshot(HWND window, int width, int height) : width_(width), height_(height) {
    pixels_.assign(static_cast<size_t>(width) * height, 0);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    win::UniqueBitmap dib(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    win::UniqueDc dc(::CreateCompatibleDC(nullptr));
    if (!dib || !dc || !bits) return;
    win::SelectScope keep(dc.get(), dib.get());
    ::SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT | PRF_ERASEBKGND);
    ::GdiFlush();
    const auto* p = static_cast<const uint32_t*>(bits);
    for (size_t i = 0; i < pixels_.size(); ++i) pixels_[i] = p[i] & 0x00FFFFFF;
}

int Snapshot::CountOther(const RECT& r, uint32_t background) const {
    int n = 0;
    for (int y = r.top; y < r.bottom && y < height_; ++y)
        for (int x = r.left; x < r.right && x < width_; ++x)
            if (Pixel(x, y) != background) ++n;
    return n;
}

void Pump() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

}  // namespace setup::testing

// The component layer: pictures from the program's resources, labels painted by their
// parent, the page control and the progress bar's colour.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "package/packed_resource.h"
#include "tests/wine/ui_test_support.h"
#include "tests/wine/win_test_util.h"
#include "win/ui/label.h"
#include "win/ui/page_control.h"
#include "win/ui/std_controls.h"

namespace setup::testing {
namespace {

using namespace win::ui;
using win::UniqueBitmap;
using win::WindowDc;

constexpr uint32_t kWhiteRgb = 0xFFFFFF;

// A hidden form with a white client area to put controls on.
struct Host {
    Form form{nullptr, 400, 300, kWhite, nullptr};
};

TEST(UiPicture, JpegResourcesDecodeBaselineAndProgressive) {
    struct {
        const wchar_t* name;
        int w, h;
    } const pictures[] = {
        {L"JPG_WELCOME", 180, 45},       {L"JPG_LOGO", 130, 30},         {L"JPG_HEADER1", 631, 20},
        {L"JPG_LICENCE_SIDE", 96, 25},   {L"JPG_LICENCE", 202, 114},     {L"JPG_FOLDER_SIDE", 96, 25},
        {L"JPG_READY_SIDE", 139, 92},
    };
    for (const auto& p : pictures) {
        Picture picture = Picture::FromJpegResource(p.name);
        ASSERT_FALSE(picture.Empty()) << Utf8(p.name);
        EXPECT_EQ(picture.Width(), p.w) << Utf8(p.name);
        EXPECT_EQ(picture.Height(), p.h) << Utf8(p.name);
    }
}

TEST(UiPicture, DecodedPixelsAreThePicture) {
    // The licence picture (progressive) is mostly white paper with an orange mark.
    Picture picture = Picture::FromJpegResource(L"JPG_LICENCE");
    ASSERT_FALSE(picture.Empty());
    win::UniqueDc dc(::CreateCompatibleDC(nullptr));
    win::SelectScope keep(dc.get(), picture.Bitmap());
    int colourful = 0, light = 0;
    for (int y = 0; y < picture.Height(); y += 3) {
        for (int x = 0; x < picture.Width(); x += 3) {
            const COLORREF c = ::GetPixel(dc.get(), x, y);
            if (GetRValue(c) > 200 && GetGValue(c) > 200 && GetBValue(c) > 200) ++light;
            if (GetRValue(c) > 200 && GetBValue(c) < 100) ++colourful;
        }
    }
    EXPECT_GT(light, 100);
    EXPECT_GT(colourful, 0);
}

TEST(UiPicture, BrokenOrMissingPicturesStayEmpty) {
    const uint8_t broken[] = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0, 1, 2};
    EXPECT_TRUE(Picture::FromJpeg(broken).Empty());
    EXPECT_TRUE(Picture::FromJpeg({}).Empty());
    EXPECT_TRUE(Picture::FromJpegResource(L"NO_SUCH_PICTURE").Empty());
}

// A 24-bit bottom-up DIB of 3 x 2 pixels as a BITMAP resource stores it: header, then rows
// padded to four bytes.
std::vector<uint8_t> SmallDib(WORD bits = 24, DWORD compression = BI_RGB) {
    BITMAPINFOHEADER h{};
    h.biSize = sizeof(h);
    h.biWidth = 3;
    h.biHeight = 2;
    h.biPlanes = 1;
    h.biBitCount = bits;
    h.biCompression = compression;
    std::vector<uint8_t> dib(sizeof(h));
    std::memcpy(dib.data(), &h, sizeof(h));
    const uint8_t rows[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0, 10, 11, 12, 13, 14, 15, 16, 17, 18, 0, 0, 0};
    dib.insert(dib.end(), rows, rows + sizeof(rows));
    return dib;
}

TEST(UiPicture, PackedBitmapsUnpackToTheirPixels) {
    const std::vector<uint8_t> dib = SmallDib();
    const Picture picture = Picture::FromPackedBitmap(Pack(dib));
    ASSERT_FALSE(picture.Empty());
    EXPECT_EQ(picture.Width(), 3);
    EXPECT_EQ(picture.Height(), 2);
    BITMAPINFO info{};
    std::memcpy(&info.bmiHeader, dib.data(), sizeof(info.bmiHeader));
    uint8_t back[24] = {};
    WindowDc screen(nullptr);
    ASSERT_EQ(::GetDIBits(screen.get(), picture.Bitmap(), 0, 2, back, &info, DIB_RGB_COLORS), 2);
    EXPECT_EQ(std::memcmp(back, dib.data() + 40, 9), 0);       // bottom row
    EXPECT_EQ(std::memcmp(back + 12, dib.data() + 52, 9), 0);  // top row
}

TEST(UiPicture, PackedBitmapsRefuseWhatTheyCannotShow) {
    std::vector<uint8_t> cut = SmallDib();
    cut.resize(cut.size() - 1);  // the last row is one byte short
    const Picture none = Picture::FromPackedBitmap(Pack(cut));
    EXPECT_TRUE(none.Empty());
    EXPECT_EQ(none.Width(), 0);
    EXPECT_TRUE(Picture::FromPackedBitmap(Pack(SmallDib(8))).Empty());            // needs a colour table
    EXPECT_TRUE(Picture::FromPackedBitmap(Pack(SmallDib(24, BI_RLE8))).Empty());  // 8-bit rows only
    std::vector<uint8_t> damaged = Pack(SmallDib());
    damaged[damaged.size() / 2] ^= 0x55;
    EXPECT_TRUE(Picture::FromPackedBitmap(damaged).Empty());
    EXPECT_TRUE(Picture::FromPackedBitmap({}).Empty());
    EXPECT_TRUE(Picture::FromPackedBitmapResource(L"NO_SUCH_PICTURE").Empty());
}

TEST(UiPicture, BitmapAndIconResources) {
    Picture product = Picture::FromPackedBitmapResource(L"PRODUCT");
    EXPECT_EQ(product.Width(), 100);
    EXPECT_EQ(product.Height(), 100);
    BITMAP shape{};
    ASSERT_NE(::GetObjectW(product.Bitmap(), sizeof(shape), &shape), 0);
    EXPECT_EQ(shape.bmBitsPixel, 32);
    Picture finish = Picture::FromIconResource(L"FINISH", 64);
    EXPECT_FALSE(finish.Empty());
    EXPECT_EQ(finish.Width(), 64);
}

TEST(UiLabel, AutoSizeFollowsTheCaption) {
    Host host;
    Label one(&host.form, Rect::FromSize(10, 10, 50, 20),
              Label::Style{{.name = "宋体", .height = 12}, kGray, false, true}, "ab");
    const int short_width = one.Bounds().width();
    EXPECT_GT(short_width, 0);
    one.SetCaption("a much longer caption than before");
    EXPECT_GT(one.Bounds().width(), short_width);
    EXPECT_EQ(one.Bounds().left, 10);

    Label wrap(&host.form, Rect::FromSize(10, 40, 80, 20),
               Label::Style{{.name = "宋体", .height = 12}, kGray, true, true}, "word");
    const int one_line = wrap.Bounds().height();
    wrap.SetCaption("several words that cannot fit on one line of eighty pixels");
    EXPECT_EQ(wrap.Bounds().width(), 80);
    EXPECT_GT(wrap.Bounds().height(), 2 * one_line);

    Label right(&host.form, Rect::FromSize(300, 80, 60, 16),
                Label::Style{{.name = "Arial", .height = 14}, kBlue, false, true, true}, "x");
    right.SetCaption("a wider caption");
    EXPECT_EQ(right.Bounds().right, 360);  // the right edge stays
}

TEST(UiLabel, ParentPaintsVisibleLabelsOnly) {
    Host host;
    Label shown(&host.form, Rect::FromSize(10, 10, 50, 20),
                Label::Style{{.name = "宋体", .height = 16}, kBlack, false, true}, "SHOWN");
    Label hidden(&host.form, Rect::FromSize(10, 50, 50, 20),
                 Label::Style{{.name = "宋体", .height = 16}, kBlack, false, true}, "HIDDEN");
    hidden.SetVisible(false);
    Snapshot s(host.form.hwnd(), 400, 300);
    EXPECT_GT(s.CountOther(ToRect(shown.Bounds()), kWhiteRgb), 10);
    EXPECT_EQ(s.CountOther(ToRect(hidden.Bounds()), kWhiteRgb), 0);
    EXPECT_EQ(s.Pixel(300, 200), kWhiteRgb);
}

TEST(UiPageControl, OnlyTheActivePageIsVisible) {
    Host host;
    PageControl pages(&host.form, Rect::FromSize(0, 0, 300, 200), kWhite, 3);
    EXPECT_EQ(pages.Page(0).Bounds().left, PageControl::kMargin);
    EXPECT_EQ(pages.Page(0).Bounds().width(), 300 - 2 * PageControl::kMargin);
    auto visible = [&](int i) { return (::GetWindowLongW(pages.Page(i).hwnd(), GWL_STYLE) & WS_VISIBLE) != 0; };
    EXPECT_TRUE(visible(0));
    EXPECT_FALSE(visible(1));
    pages.SetActivePage(2);
    EXPECT_EQ(pages.ActivePage(), 2);
    EXPECT_FALSE(visible(0));
    EXPECT_TRUE(visible(2));
    pages.SetActivePage(7);  // no such page: nothing changes
    EXPECT_EQ(pages.ActivePage(), 2);
}

TEST(UiProgressBar, BarTakesTheColourGivenIt) {
    Host host;
    ProgressBar bar(&host.form, Rect::FromSize(0, 0, 200, 18));
    bar.SetBarColor(kOrange);
    bar.SetPosition(50);
    EXPECT_EQ(::SendMessageW(bar.hwnd(), PBM_GETPOS, 0, 0), 50);
    Snapshot s(bar.hwnd(), 200, 18);
    EXPECT_EQ(s.Pixel(40, 9), Rgb(kOrange));
    EXPECT_NE(s.Pixel(180, 9), Rgb(kOrange));  // beyond the position
}

}  // namespace
}  // namespace setup::testing

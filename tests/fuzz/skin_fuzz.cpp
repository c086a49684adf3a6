// Fuzzes the skin-file reader: the archive directory, the password check, the inflating of
// "SKINDATA.SK2", its keyed records and the bitmaps inside them (.bmp and DIB decoding).
//
// Input: one mode byte, then
//   mode % 3 == 0: a skin file as it is, opened with the password "zenta";
//   mode % 3 == 1: the records of "SKINDATA.SK2", put into a well-formed archive first so
//                  the fuzzer reaches the record and bitmap decoding past the checksums;
//   mode % 3 == 2: a .bmp file and, the same bytes, a DIB.
// Whatever decodes is written back and must read back the same.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "base/image.h"
#include "controls/skin/skin_file.h"
#include "fuzz_support.h"

using namespace setup;
using namespace setup::skin;

namespace {

constexpr std::string_view kPassword = "zenta";

bool Same(const SkinData& a, const SkinData& b) {
    return a.colors == b.colors && a.bitmaps == b.bitmaps && a.integers == b.integers && a.flags == b.flags;
}

void CheckImage(const Image& img) {
    ZS_FUZZ_CHECK(img.width > 0 && img.height > 0 && img.width <= kMaxBitmapSide && img.height <= kMaxBitmapSide);
    ZS_FUZZ_CHECK(img.pixels.size() == static_cast<size_t>(img.width) * img.height);
    for (Pixel px : img.pixels) ZS_FUZZ_CHECK(px >> 24 == 0);  // the fourth byte is 0, as GDI leaves it
    const auto again = DecodeBmpFile(EncodeBmpFile(img));
    ZS_FUZZ_CHECK(again && *again == img);
    for (int count : {1, 3, 7}) {
        Image frame;
        ExtractStripFrame(img, &frame, count, count);
        if (!frame.empty()) ZS_FUZZ_CHECK(frame.width == img.width / count && frame.height == img.height);
    }
}

void ReadSkin(std::span<const uint8_t> file) {
    SkinData data;
    try {
        data = ReadSkinFile(file, kPassword);
    } catch (const Error& e) {
        ZS_FUZZ_CHECK(e.text() == kSkinReadError);
        return;
    }
    if (std::getenv("ZS_FUZZ_VERBOSE")) std::fprintf(stderr, "skin read\n");
    for (const Image& img : data.bitmaps)
        if (!img.empty()) CheckImage(img);
    for (Color c : data.colors) ZS_FUZZ_CHECK(c <= 0x00FFFFFFu);
    ZS_FUZZ_CHECK(Same(ReadSkinFile(WriteSkinFile(data, kPassword), kPassword), data));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::span<const uint8_t> in(data + 1, size - 1);
    switch (data[0] % 3) {
        case 0:
            ReadSkin(in);
            break;
        case 1: {
            const ArchiveEntry entry{std::string(kSkinDataEntry), {in.begin(), in.end()}, true};
            ReadSkin(WriteArchive({&entry, 1}, kPassword));
            break;
        }
        default:
            if (auto img = DecodeBmpFile(in)) CheckImage(*img);
            if (auto img = DecodeDib(in)) CheckImage(*img);
            break;
    }
    return 0;
}

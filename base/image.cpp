#include "base/image.h"

#include <algorithm>
#include <cstring>

namespace setup {

Image::Image(int w, int h, Pixel fill)
    : width(std::max(w, 0)), height(std::max(h, 0)),
      pixels(static_cast<size_t>(width) * static_cast<size_t>(height), fill) {}

namespace {

uint32_t U32(std::span<const uint8_t> b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
uint16_t U16(std::span<const uint8_t> b, size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); }

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiRle8 = 1;
constexpr uint32_t kBiBitfields = 3;

// BI_RLE8 rows, bottom-up: pairs (n, index) paint n pixels; (0, 0) ends a row, (0, 1) the
// bitmap, (0, 2, dx, dy) moves right and up, (0, n >= 3) is followed by n indices (padded to
// an even count). Pixels the stream skips keep colour 0 of the palette, as GDI leaves them;
// pixels past the right or top edge are dropped. A stream cut before its end is damaged, and
// so is a header that claims more pixels than its stream could reach.
std::optional<Image> DecodeRle8(std::span<const uint8_t> data, int width, int height,
                                const std::vector<uint32_t>& palette) {
    // Two bytes paint at most 255 pixels, or end a row: a header claiming more pixels than the
    // stream can paint is damaged, and is refused before its pixels are allocated.
    const uint64_t reach = static_cast<uint64_t>(data.size() / 2) * static_cast<uint64_t>(std::max(width, 255));
    if (static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > reach) return std::nullopt;
    const auto colour = [&](unsigned index) { return index < palette.size() ? palette[index] : 0u; };
    Image img(width, height, colour(0));
    int64_t x = 0, row = 0;  // row 0 is the bottom one
    const auto put = [&](unsigned index) {
        if (x < width && row < height) img.at(static_cast<int>(x), static_cast<int>(height - 1 - row)) = colour(index);
        ++x;
    };
    size_t i = 0;
    while (true) {
        if (data.size() - i < 2) return std::nullopt;
        const unsigned n = data[i], v = data[i + 1];
        i += 2;
        if (n > 0) {
            for (unsigned k = 0; k < n; ++k) put(v);
        } else if (v == 0) {
            x = 0;
            ++row;
        } else if (v == 1) {
            return img;
        } else if (v == 2) {
            if (data.size() - i < 2) return std::nullopt;
            x += data[i];
            row += data[i + 1];
            i += 2;
        } else {
            const size_t padded = v + (v & 1);
            if (data.size() - i < padded) return std::nullopt;
            for (unsigned k = 0; k < v; ++k) put(data[i + k]);
            i += padded;
        }
    }
}

// bits_at: where the pixels start, counted from the DIB's first byte; by default right after
// the header, masks and palette.
std::optional<Image> DecodeDibAt(std::span<const uint8_t> dib, std::optional<size_t> bits_at) {
    if (dib.size() < 4) return std::nullopt;
    const uint32_t header = U32(dib, 0);
    int64_t width = 0, height = 0;
    unsigned bpp = 0;
    uint32_t compression = kBiRgb, colors_used = 0;
    size_t palette_entry = 4;
    if (header == 12) {  // BITMAPCOREHEADER: 16-bit sizes, 3-byte palette entries
        if (dib.size() < 12) return std::nullopt;
        width = U16(dib, 4);
        height = U16(dib, 6);
        bpp = U16(dib, 10);
        palette_entry = 3;
    } else if (header >= 40 && header <= 124) {
        if (dib.size() < header) return std::nullopt;
        width = static_cast<int32_t>(U32(dib, 4));
        height = static_cast<int32_t>(U32(dib, 8));
        bpp = U16(dib, 14);
        compression = U32(dib, 16);
        colors_used = U32(dib, 32);
    } else {
        return std::nullopt;
    }
    const bool top_down = height < 0;
    if (top_down) height = -height;
    if (width <= 0 || height <= 0 || width > kMaxBitmapSide || height > kMaxBitmapSide) return std::nullopt;

    size_t offset = header;
    if (compression == kBiBitfields) {
        // The masks follow a 40-byte header; later headers carry them inside.
        if (bpp != 32) return std::nullopt;
        if (header == 40) {
            if (dib.size() < 52) return std::nullopt;
            offset += 12;
        } else if (header < 52) {
            return std::nullopt;  // too short to hold the masks, which then do not follow it either
        }
        if (U32(dib, 40) != 0x00FF0000u || U32(dib, 44) != 0x0000FF00u || U32(dib, 48) != 0x000000FFu)
            return std::nullopt;
    } else if (compression == kBiRle8) {
        // Run-length rows are bottom-up 8-bit ones only.
        if (bpp != 8 || top_down || header == 12) return std::nullopt;
    } else if (compression != kBiRgb) {
        return std::nullopt;
    }
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) return std::nullopt;

    std::vector<uint32_t> palette;
    if (bpp <= 8) {
        const uint32_t max_colors = 1u << bpp;
        const uint32_t n = colors_used == 0 ? max_colors : colors_used;
        if (n > max_colors) return std::nullopt;
        if (dib.size() < offset + n * palette_entry) return std::nullopt;
        for (uint32_t i = 0; i < n; ++i) {
            const size_t at = offset + i * palette_entry;
            palette.push_back(static_cast<uint32_t>(dib[at + 2]) << 16 | dib[at + 1] << 8 | dib[at]);
        }
        offset += n * palette_entry;
    }
    if (bits_at) {
        if (*bits_at < offset || *bits_at > dib.size()) return std::nullopt;
        offset = *bits_at;
    }

    if (compression == kBiRle8) {
        // The header's image size bounds the stream when given; the stream's end marker ends it.
        const uint32_t size_image = U32(dib, 20);
        std::span<const uint8_t> data = dib.subspan(offset);
        if (size_image != 0 && size_image < data.size()) data = data.first(size_image);
        return DecodeRle8(data, static_cast<int>(width), static_cast<int>(height), palette);
    }

    const size_t stride = ((static_cast<size_t>(width) * bpp + 31) / 32) * 4;
    if (dib.size() - offset < stride * static_cast<size_t>(height)) return std::nullopt;

    Image img(static_cast<int>(width), static_cast<int>(height));
    for (int y = 0; y < img.height; ++y) {
        const int src_row = top_down ? y : img.height - 1 - y;
        const uint8_t* row = dib.data() + offset + stride * static_cast<size_t>(src_row);
        for (int x = 0; x < img.width; ++x) {
            uint32_t px;
            switch (bpp) {
            case 32:
            case 24: {
                const uint8_t* p = row + static_cast<size_t>(x) * (bpp / 8);
                px = static_cast<uint32_t>(p[2]) << 16 | p[1] << 8 | p[0];
                break;
            }
            default: {
                const size_t bit = static_cast<size_t>(x) * bpp;
                const unsigned shift = 8 - bpp - static_cast<unsigned>(bit % 8);
                const unsigned index = (row[bit / 8] >> shift) & ((1u << bpp) - 1);
                // An index past a short palette is a damaged file; show it black as GDI does.
                px = index < palette.size() ? palette[index] : 0u;
            }
            }
            img.at(x, y) = px;
        }
    }
    return img;
}

}  // namespace

std::optional<Image> DecodeDib(std::span<const uint8_t> dib) { return DecodeDibAt(dib, std::nullopt); }

std::optional<Image> DecodeBmpFile(std::span<const uint8_t> file) {
    if (file.size() < 14 + 12 || file[0] != 'B' || file[1] != 'M') return std::nullopt;
    // The file header says where the pixels start; writers may leave a gap before them.
    const uint32_t bits_at = U32(file, 10);
    if (bits_at < 14) return std::nullopt;
    return DecodeDibAt(file.subspan(14), bits_at - 14);
}

void ExtractStripFrame(const Image& strip, Image* dest, int count, int index) {
    if (!dest) return;
    if (count < 1) count = 1;
    const int frame_width = strip.width / count;
    if (index < 1 || index > count || frame_width <= 0 || strip.height <= 0) {
        *dest = Image();
        return;
    }
    const int left = index == count ? strip.width - frame_width : frame_width * (index - 1);
    Image out(frame_width, strip.height);
    for (int y = 0; y < strip.height; ++y)
        std::memcpy(&out.at(0, y), strip.pixels.data() + static_cast<size_t>(y) * strip.width + left,
                    static_cast<size_t>(frame_width) * 4);
    *dest = std::move(out);
}

void FillRect(const ImageView& dest, Rect r, Pixel color) {
    const int left = std::max(r.left, 0), right = std::min(r.right, dest.width);
    const int top = std::max(r.top, 0), bottom = std::min(r.bottom, dest.height);
    for (int y = top; y < bottom && left < right; ++y)
        std::fill(dest.row(y) + left, dest.row(y) + right, color & kRgbMask);
}

void DrawImage(const ImageView& dest, ConstImageView src, int x, int y, std::optional<Color> key) {
    DrawImage(dest, src, Rect::FromSize(0, 0, src.width, src.height), x, y, key);
}

void DrawImage(const ImageView& dest, ConstImageView src, Rect from, int x, int y, std::optional<Color> key) {
    const Pixel key_px = key ? ToPixel(*key) : 0;
    const int left = std::max(from.left, 0), right = std::min(from.right, src.width);
    const int top = std::max(from.top, 0), bottom = std::min(from.bottom, src.height);
    for (int sy = top; sy < bottom; ++sy) {
        const int dy = y + sy - from.top;
        if (dy < 0 || dy >= dest.height) continue;
        for (int sx = left; sx < right; ++sx) {
            const int dx = x + sx - from.left;
            if (dx < 0 || dx >= dest.width) continue;
            const Pixel px = src.at(sx, sy);
            if (key && SameRgb(px, key_px)) continue;
            dest.at(dx, dy) = px & kRgbMask;
        }
    }
}

void StretchImage(const ImageView& dest, ConstImageView src, int x, int y, int w, int h, std::optional<Color> key) {
    if (src.width <= 0 || src.height <= 0 || w <= 0 || h <= 0) return;
    const Pixel key_px = key ? ToPixel(*key) : 0;
    for (int ty = 0; ty < h; ++ty) {
        const int dy = y + ty;
        if (dy < 0 || dy >= dest.height) continue;
        const int sy = static_cast<int>(static_cast<int64_t>(ty) * src.height / h);
        for (int tx = 0; tx < w; ++tx) {
            const int dx = x + tx;
            if (dx < 0 || dx >= dest.width) continue;
            const int sx = static_cast<int>(static_cast<int64_t>(tx) * src.width / w);
            const Pixel px = src.at(sx, sy);
            if (key && SameRgb(px, key_px)) continue;
            dest.at(dx, dy) = px & kRgbMask;
        }
    }
}

}  // namespace setup

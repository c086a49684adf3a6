// text_renderer.h: how the button face measures and draws its caption.
//
//   FontSpec       (base/font.h)
//   TextFormat     alignment and word-break; "&" always marks the access character
//   TextRenderer   the three operations the face needs. Windows draws with GDI into the
//                  face's own DIB (gdi_text_win.h); native tests use BoxTextRenderer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/font.h"
#include "controls/hsbutton/color.h"
#include "controls/hsbutton/shapes.h"

namespace setup {

enum class TextAlign : uint8_t { kLeft, kRight, kCenter };

struct TextFormat {
    TextAlign align = TextAlign::kCenter;
    bool word_break = true;
};

struct TextSize {
    int width = 0;
    int height = 0;
};

class TextRenderer {
public:
    virtual ~TextRenderer() = default;
    // Width of text set on one line ("&" prefixes processed).
    virtual int LineWidth(const FontSpec& font, std::string_view text) = 0;
    // Size of text laid out in a box `width` wide (DT_CALCRECT): with word-break, lines break
    // between words; a word wider than the box makes the result wider than the box.
    virtual TextSize Measure(const FontSpec& font, std::string_view text, int width, TextFormat format) = 0;
    // Draws text into box on image in colour `rgb`, clipped to the box.
    virtual void Draw(const ImageView& image, const FontSpec& font, std::string_view text, Rect box,
                      TextFormat format, Color rgb) = 0;
};

}  // namespace setup

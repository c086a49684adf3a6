// box_text.h: a text renderer with fixed metrics that draws each character as a filled box.
// It stands in for GDI where there is no font engine (native tests, headless rendering) and
// follows the same rules: "&" marks the access character (underlined, "&&" is a literal "&"),
// word-break breaks between words and between two-byte characters, "\n" starts a new line.
//
// Metrics for a font of height h: a one-byte character is h / 2 wide, a two-byte character
// h wide, one more pixel each when bold; a line is h high. A character's box covers
// (x + 1, y + 2) - (x + w - 1, y + h - 2); the access character's underline is row y + h - 1.
#pragma once

#include "controls/hsbutton/text_renderer.h"

namespace setup {

class BoxTextRenderer : public TextRenderer {
public:
    int LineWidth(const FontSpec& font, std::string_view text) override;
    TextSize Measure(const FontSpec& font, std::string_view text, int width, TextFormat format) override;
    void Draw(const ImageView& image, const FontSpec& font, std::string_view text, Rect box, TextFormat format,
              Color rgb) override;
};

}  // namespace setup

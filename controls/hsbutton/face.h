// face.h: DrawButtonFace, the complete face of a hot-track button rendered into a 32-bit
// image: background, border, blur, caption, glyph cell and drop-down arrow.
//
//   THSButtonStyle, THSButtonLayout, TAlignment   the stored enumerations (one byte each)
//   FaceInputs    everything the face depends on, gathered by the button for one repaint
//   FaceTools     what the face borrows: the text renderer, system colours, the arrow bitmap
//   DrawButtonFace
#pragma once

#include <cstdint>
#include <string>

#include "controls/hsbutton/color.h"
#include "controls/hsbutton/shapes.h"
#include "controls/hsbutton/text_renderer.h"

namespace setup {

enum class THSButtonStyle : uint8_t { bsNormal, bsEncarta, bsModern, bsOld, bsShape, bsQuicken, bsGlass };
enum class THSButtonLayout : uint8_t { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum class TAlignment : uint8_t { taLeftJustify, taRightJustify, taCenter };

// Styles whose face leaves parts of the image at the key colour 0xFF00FF.
bool IsTransparentStyle(THSButtonStyle style);

struct FaceInputs {
    int border = 1;         // bevel lines, or corner radius for bsModern, bsQuicken, bsGlass
    int fade_step = 0;      // 0 shows Color, 8 shows HotTrackColor
    int smooth = 0;         // blur radius
    int num_glyphs = 0;
    const Image* glyph = nullptr;
    bool pressed = false;
    bool hot = false;       // mouse inside, or focused
    bool enabled = true;
    bool flat = false;
    bool word_wrap = false;
    bool has_popup = false;
    THSButtonStyle style = THSButtonStyle::bsNormal;
    Color color = kClBlack;
    Color color_when_down = kClNone;
    Color hot_track_color = kClNone;
    Color light_color = kClWhite;
    Color shadow_color = kClGray;
    FontSpec font;
    THSButtonLayout layout = THSButtonLayout::blGlyphLeft;
    std::string caption;    // GBK
    TAlignment alignment = TAlignment::taCenter;
};

struct FaceTools {
    TextRenderer& text;
    const SystemPalette& palette = SystemPalette::Classic();
    const Image* arrow = nullptr;  // "HSARROW"; drawn when has_popup
};

// Draws the face at size w x h into image (which may be larger: the focused bsOld face is
// drawn 2 pixels smaller and then moved). For the transparent styles the caller has filled
// the image with 0xFF00FF first.
void DrawButtonFace(const ImageView& image, int w, int h, const FaceInputs& in, FaceTools& tools);

// The caption cut from its end, whole characters at a time, until its one-line width is at
// most width (the caption unchanged when it already fits).
std::string FitCaption(TextRenderer& text, const FontSpec& font, std::string_view caption, int width);

}  // namespace setup

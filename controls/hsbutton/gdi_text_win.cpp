#include "controls/hsbutton/gdi_text_win.h"

#include <algorithm>
#include <string>

#include "win/text.h"
#include "win/ui/gdi.h"
#include "win/ui/window.h"

namespace setup::win::hsb {

namespace {

UINT AlignFlags(TextFormat format) {
    UINT flags = format.word_break ? DT_WORDBREAK : 0;
    switch (format.align) {
        case TextAlign::kLeft: return flags | DT_LEFT;
        case TextAlign::kRight: return flags | DT_RIGHT;
        case TextAlign::kCenter: break;
    }
    return flags | DT_CENTER;
}

}  // namespace

HFONT GdiFontCache::Get(const FontSpec& font, bool smooth) {
    auto same = [&](const Entry& entry) { return entry.smooth == smooth && entry.wanted == font; };
    auto it = std::find_if(fonts_.begin(), fonts_.end(), same);
    if (it != fonts_.end()) {
        std::rotate(it, it + 1, fonts_.end());
        return fonts_.back().font.get();
    }
    if (fonts_.size() >= kMaxFonts) fonts_.erase(fonts_.begin());
    fonts_.push_back(Entry{font, smooth, ui::MakeFont(font, smooth)});
    return fonts_.back().font.get();
}

int GdiTextRenderer::LineWidth(const FontSpec& font, std::string_view text) {
    if (text.empty()) return 0;
    const std::wstring wide = Wide(text);
    SelectScope select(dc_, fonts_.Get(font, smooth_));
    RECT r{0, 0, 0, 0};
    ::DrawTextW(dc_, wide.c_str(), static_cast<int>(wide.size()), &r, DT_CALCRECT | DT_SINGLELINE);
    return r.right - r.left;
}

TextSize GdiTextRenderer::Measure(const FontSpec& font, std::string_view text, int width, TextFormat format) {
    if (text.empty()) return {};
    const std::wstring wide = Wide(text);
    SelectScope select(dc_, fonts_.Get(font, smooth_));
    RECT r{0, 0, width, 0};
    ::DrawTextW(dc_, wide.c_str(), static_cast<int>(wide.size()), &r, DT_CALCRECT | AlignFlags(format));
    return {r.right - r.left, r.bottom - r.top};
}

void GdiTextRenderer::Draw(const ImageView&, const FontSpec& font, std::string_view text, Rect box,
                           TextFormat format, Color rgb) {
    if (text.empty()) return;
    const std::wstring wide = Wide(text);
    ::GdiFlush();  // the face's own pixel writes go first
    SelectScope select(dc_, fonts_.Get(font, smooth_));
    const COLORREF old_color = ::SetTextColor(dc_, rgb & 0x00FFFFFF);
    const int old_mode = ::SetBkMode(dc_, TRANSPARENT);
    RECT r = ui::ToRect(box);
    ::DrawTextW(dc_, wide.c_str(), static_cast<int>(wide.size()), &r, AlignFlags(format));
    ::SetBkMode(dc_, old_mode);
    ::SetTextColor(dc_, old_color);
    ::GdiFlush();  // and are visible to the pixel writes that follow
}

}  // namespace setup::win::hsb

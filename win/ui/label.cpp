#include "win/ui/label.h"

#include "win/handles.h"
#include "win/text.h"
#include "win/ui/container.h"

namespace setup::win::ui {

// ---- Label -------------------------------------------------------------------------------

Label::Label(Container* parent, const Rect& bounds, const Style& style, const std::string& caption)
    : GraphicControl(parent, bounds),
      caption_(caption),
      wide_(Wide(caption)),
      font_(MakeFont(style.font)),
      color_(style.color),
      word_wrap_(style.word_wrap),
      auto_size_(style.auto_size),
      align_right_(style.align_right) {
    AdjustBounds();
}

void Label::SetCaption(const std::string& gbk) {
    if (gbk == caption_) return;
    caption_ = gbk;
    wide_ = Wide(gbk);
    Invalidate();
    AdjustBounds();
}

void Label::SetTextColor(COLORREF color) {
    if (color == color_) return;
    color_ = color;
    Invalidate();
}

// Captions come from the package: "&" is text, not an accelerator mark.
UINT Label::DrawFlags() const {
    return (align_right_ ? DT_RIGHT : DT_LEFT) | DT_NOPREFIX | DT_EXPANDTABS | (word_wrap_ ? DT_WORDBREAK : 0);
}

// Auto size: a one-line label takes the width and height of its text; a wrapping one keeps
// its width and takes the height of the wrapped text.
void Label::AdjustBounds() {
    if (!auto_size_) return;
    WindowDc screen(nullptr);
    if (!screen) return;
    SelectScope keep(screen.get(), font_.get());
    RECT r{0, 0, word_wrap_ ? bounds_.width() : 0, 0};
    // An empty caption still has the height of one line.
    const std::wstring text = wide_.empty() ? std::wstring(L" ") : wide_;
    ::DrawTextW(screen.get(), text.c_str(), static_cast<int>(text.size()), &r, DrawFlags() | DT_CALCRECT);
    Rect b = bounds_;
    if (!word_wrap_) {
        const int width = wide_.empty() ? 0 : r.right;
        if (align_right_) b.left = b.right - width;
        b.right = b.left + width;
    }
    b.bottom = b.top + r.bottom;
    SetBounds(b);
}

void Label::Paint(HDC dc) {
    if (wide_.empty()) return;
    SelectScope keep(dc, font_.get());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, enabled_ ? color_ : ::GetSysColor(COLOR_GRAYTEXT));
    RECT r = ToRect(bounds_);
    ::DrawTextW(dc, wide_.c_str(), static_cast<int>(wide_.size()), &r, DrawFlags());
}

// ---- PictureBox --------------------------------------------------------------------------

PictureBox::PictureBox(Container* parent, const Rect& bounds, Picture picture)
    : GraphicControl(parent, bounds), picture_(std::move(picture)) {}

void PictureBox::SetPicture(Picture picture) {
    picture_ = std::move(picture);
    Invalidate();
}

void PictureBox::Paint(HDC dc) { picture_.Draw(dc, bounds_.left, bounds_.top); }

}  // namespace setup::win::ui

// label.h: graphic controls painted by their parent.
//
//   Label       one caption in its own font and colour, on the parent's background; sizes
//               itself to the text (auto size), or wraps at its width and takes the height
//   PictureBox  a picture drawn unscaled from the control's top-left corner, clipped to it
#pragma once

#include <functional>
#include <string>

#include "win/ui/control.h"
#include "win/ui/gdi.h"

namespace setup::win::ui {

class Label : public GraphicControl {
public:
    struct Style {
        FontSpec font;
        COLORREF color = kGray;
        bool word_wrap = false;
        bool auto_size = true;
        bool align_right = false;  // text at the right edge; auto size keeps that edge
    };
    Label(Container* parent, const Rect& bounds, const Style& style, const std::string& caption);

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& gbk);
    COLORREF TextColor() const { return color_; }
    void SetTextColor(COLORREF color);

    void Paint(HDC dc) override;

    std::function<void()> on_click;
    bool WantsMouse() const override { return static_cast<bool>(on_click); }
    HCURSOR Cursor() const override { return cursor_; }
    void SetCursor(HCURSOR cursor) { cursor_ = cursor; }
    void Click() override {
        if (on_click) on_click();
    }

protected:
    UINT DrawFlags() const;
    void AdjustBounds();

    std::string caption_;
    std::wstring wide_;
    UniqueFont font_;
    COLORREF color_;
    bool word_wrap_;
    bool auto_size_;
    bool align_right_;
    HCURSOR cursor_ = nullptr;
};

class PictureBox : public GraphicControl {
public:
    PictureBox(Container* parent, const Rect& bounds, Picture picture);
    void SetPicture(Picture picture);
    const Picture& GetPicture() const { return picture_; }
    void Paint(HDC dc) override;

private:
    Picture picture_;
};

}  // namespace setup::win::ui

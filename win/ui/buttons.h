// buttons.h: self-drawn push buttons.
//
//   PushButton     a flat face with a one-pixel edge that takes a hot colour while the mouse
//                  is over it or it has the focus; Enter, Space and the mouse click it
//   PictureButton  a button drawn from a normal and a mouse-over picture, unscaled from its
//                  top-left corner on a background colour; hand pointer, no focus rectangle
//
// Click() does what a mouse click does: nothing unless the button is visible and enabled.
#pragma once

#include <functional>
#include <string>

#include "win/ui/control.h"
#include "win/ui/gdi.h"

namespace setup::win::ui {

class ButtonBase : public WindowedControl {
public:
    std::function<void()> on_click;
    void Click();

protected:
    ButtonBase(Container* parent, const Rect& bounds);
    LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
    virtual void Draw(HDC dc, const RECT& rc) = 0;
    // Whether a release outside the button still clicks (the push button captures the mouse
    // and clicks wherever it is released; the picture button clicks only inside).
    virtual bool ClickOutside() const = 0;

    bool hot() const { return mouse_inside_ || (hwnd() && ::GetFocus() == hwnd()); }
    bool pressed_ = false;
    bool mouse_inside_ = false;

private:
    void PaintNow();
    bool tracking_ = false;
};

class PushButton : public ButtonBase {
public:
    struct Style {
        FontSpec font{L"微软雅黑", 12};
        COLORREF color = kWhite;
        COLORREF hot_color = kCream;
        COLORREF shadow_color = kDarkGray;
        COLORREF text_color = kBlack;
    };
    PushButton(Container* parent, const Rect& bounds, const Style& style, const std::string& caption);
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& gbk);

protected:
    void Draw(HDC dc, const RECT& rc) override;
    bool ClickOutside() const override { return true; }

private:
    Style style_;
    UniqueFont font_;
    std::string caption_;
    std::wstring wide_;
};

class PictureButton : public ButtonBase {
public:
    PictureButton(Container* parent, const Rect& bounds, COLORREF back_color, Picture normal, Picture mouse_on);

protected:
    void Draw(HDC dc, const RECT& rc) override;
    bool ClickOutside() const override { return false; }

private:
    COLORREF back_color_;
    Picture normal_, mouse_on_;
};

}  // namespace setup::win::ui

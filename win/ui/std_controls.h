// std_controls.h: standard Windows controls wrapped as components.
//
//   Edit         single-line edit box with a flat one-pixel border and its own colours
//   CheckBox     check box with its own text colour on the parent's background
//   ProgressBar  smooth progress bar whose bar colour is set with PBM_SETBARCOLOR
//
// Visual styles are switched off for the check box and the progress bar: a themed control
// ignores the text and bar colours the layout gives them.
#pragma once

#include <string>

#include "win/ui/control.h"
#include "win/ui/gdi.h"

namespace setup::win::ui {

class Edit : public WindowedControl {
public:
    Edit(Container* parent, const Rect& bounds, const FontSpec& font, COLORREF text_color, COLORREF back_color);
    std::string Text() const;
    void SetText(const std::string& gbk);
    bool Reflect(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override;

private:
    UniqueFont font_;
    UniqueBrush back_brush_;
    COLORREF text_color_, back_color_;
};

class CheckBox : public WindowedControl {
public:
    CheckBox(Container* parent, const Rect& bounds, const FontSpec& font, COLORREF text_color, COLORREF back_color,
             const std::string& caption, bool checked);
    bool Checked() const;
    void SetChecked(bool checked);
    void SetCaption(const std::string& gbk);
    std::string Caption() const;
    bool Reflect(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override;

private:
    UniqueFont font_;
    UniqueBrush back_brush_;
    COLORREF text_color_, back_color_;
};

class ProgressBar : public WindowedControl {
public:
    ProgressBar(Container* parent, const Rect& bounds);
    int Position() const { return position_; }
    void SetPosition(int position);
    void SetBarColor(COLORREF color);

private:
    int position_ = 0;
};

// Turns visual styles off for one window (uxtheme bound at run time; no-op without it).
void DisableVisualStyles(HWND window);

}  // namespace setup::win::ui

// image_button_win.h: TsuiImageButton, a push button drawn from pictures (normal, mouse over,
// pressed, disabled; empty ones fall back to the normal picture).
//
// Use (the wizard's browse button beside the folder box):
//
//   auto browse = setup::skin::win::ImageButton::Create(page, 562, 205, 39, 25);
//   browse->SetPicNormal(setup::win::ui::LoadBitmapResource("BROWSE"));
//   browse->SetPicMouseOn(setup::win::ui::LoadBitmapResource("BROWSE_HOT"));
//   browse->SetHandCursor();
//   browse->on_click = [this] { suiImageButton1Click(); };
//
// The object owns its window (destroying the object destroys the window; a window destroyed
// with its parent leaves the object harmlessly empty). Pictures are drawn at (0, 0) at their
// own size unless Stretch; what they do not cover shows Color, or the parent's background when
// no Color is set or the button is Transparent (the parent then must paint on WM_PRINTCLIENT
// or WM_ERASEBKGND). No focus rectangle unless DrawFocused. Callbacks run on the GUI thread;
// an exception thrown by one is reported at the window procedure (win/ui/window.h).
// For Default, Cancel and accelerator keys the message loop calls RouteFormKeys
// (skin_win.h). Every click hands ModalResult to on_modal_result (when set) before on_click.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "controls/skin/button_model.h"
#include "controls/skin/skin_win.h"

namespace setup::skin::win {

class ImageButton final : public SkinWindow, private ButtonHost {
public:
    // A visible child of parent; id is the control id (WM_COMMAND is not sent; use on_click).
    // Throws setup::Error when the window cannot be made.
    static std::unique_ptr<ImageButton> Create(HWND parent, int x, int y, int width, int height, int id = 0);

    void SetPicNormal(Image picture);
    void SetPicMouseOn(Image picture);
    void SetPicMouseDown(Image picture);
    void SetPicDisabled(Image picture);
    const ImageButtonPictures& Pictures() const { return pics_; }

    void SetStretch(bool stretch);
    void SetDrawFocused(bool draw_focused);
    void SetFocusedRectMargin(int margin);
    void SetTransparent(bool transparent);
    void SetAutoSize(bool auto_size);
    void SetColor(std::optional<Color> color);  // nullopt: the parent's colour (ParentColor)
    void SetCaption(const std::string& caption);  // GBK; "&x" marks the accelerator
    const std::string& Caption() const { return caption_; }
    void SetFont(const FontSpec& font);
    void SetEnabled(bool enabled);
    bool Enabled() const { return model_.enabled; }
    void SetDefault(bool value) { model_.SetDefault(value); }
    void SetCancel(bool value) { model_.cancel = value; }
    void SetModalResult(int32_t result) { model_.modal_result = result; }
    void SetRepeatInterval(int ms) { model_.repeat_interval_ms = ms; }  // MouseContinuouslyDownInterval
    void SetTabStop(bool tab_stop);
    void SetCursor(HCURSOR cursor) { cursor_ = cursor; }
    void SetHandCursor() { cursor_ = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND)); }
    // Stored for the base class; the pictures do not change. Reads back as FromThemeFile.
    void SetUIStyle(TsuiUIStyle style);
    TsuiUIStyle UIStyle() const { return TsuiUIStyle::FromThemeFile; }

    // Programmatic click (as a keyboard or accelerator click).
    void Click() { model_.Click(); }

    bool MouseOver() const { return model_.MouseOver(); }
    bool Pressed() const { return model_.Pressed(); }
    ButtonPicture ShownPicture() const { return ChooseButtonPicture(model_.enabled, model_.Pressed(), model_.MouseOver()); }

    std::function<void()> on_click;
    std::function<void(int32_t)> on_modal_result;
    std::function<void()> on_mouse_enter;
    std::function<void()> on_mouse_exit;
    std::function<void()> on_mouse_continuously_down;

private:
    ImageButton() : model_(*this) {}
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnPaint(Dib& canvas) override;
    void UpdateAutoSize();

    // ButtonHost
    void Repaint() override { Invalidate(); }
    void StartRepeatTimer(int ms) override;
    void StopRepeatTimer() override { timer_.Kill(); }
    bool CanFocus() override;
    bool Focused() override { return hwnd() && GetFocus() == hwnd(); }
    void TakeFocus() override { SetFocus(hwnd()); }
    bool Visible() override { return hwnd() && IsWindowVisible(hwnd()); }
    bool ParentEnabled() override;
    void SetFormModalResult(int32_t result) override { if (on_modal_result) on_modal_result(result); }
    void FireClick() override { if (on_click) on_click(); }
    void FireMouseEnter() override { if (on_mouse_enter) on_mouse_enter(); }
    void FireMouseExit() override { if (on_mouse_exit) on_mouse_exit(); }
    void FireContinuouslyDown() override { if (on_mouse_continuously_down) on_mouse_continuously_down(); }

    ButtonModel model_;
    ImageButtonPictures pics_;
    bool stretch_ = false, draw_focused_ = false, transparent_ = false, auto_size_ = false;
    int focus_margin_ = 2;
    std::optional<Color> color_;
    std::string caption_;
    FontSpec font_spec_{.charset = kDefaultCharset};
    UniqueFont font_;
    HCURSOR cursor_ = nullptr;
    TsuiUIStyle ui_style_ = kDefaultUIStyle;
    setup::win::TimerScope timer_;
};

}  // namespace setup::skin::win

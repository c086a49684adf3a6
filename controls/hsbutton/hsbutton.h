// hsbutton.h: THSButton, the hot-track push button without its window: properties, presets,
// the rules for mouse, keyboard, focus, click and fade, and the repaint into an image.
//
//   THSButtonKind, THSColorStyle     stored enumerations (one byte each)
//   THSButton                        the button; a window layer derives from it and
//                                    implements the Platform* hooks (hsbutton_win.h)
//   AccessChar, ClassifyFocusedClass helpers of the keyboard rules
//   StoredButtonProps, ApplyStoredProps, ApplyWizardButtonProps   layouts in published order
//
// Setters store, then repaint now, repaint later or not at all, as each one says. Events run
// the caller's code, which may destroy the button: nothing touches the button after an
// event that destroyed it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "controls/hsbutton/face.h"
#include "controls/hsbutton/fade.h"

namespace setup {

enum class THSButtonKind : uint8_t { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };

enum class THSColorStyle : uint8_t {
    lcsCustom, lcsGold, lcsChrome, lcsBlue, lcsRed, lcsAqua, lcsGlassGold, lcsGlassChrome, lcsGlassBlue,
    lcsGlassRed, lcsGlassAqua, lcsUltraFlat1, lcsUltraFlat2, lcsUltraFlatXP, lcsDefault, lcsQuicken
};

enum class MouseButton : uint8_t { kLeft, kRight, kMiddle };

inline constexpr int kKeyEnter = 13;
inline constexpr int kKeyEscape = 27;
inline constexpr int kKeySpace = 32;

struct KeyModifiers {
    bool shift = false, ctrl = false, alt = false;
    bool any() const { return shift || ctrl || alt; }
};

// What has the keyboard focus on the form when Enter or Escape arrives there.
enum class FocusKind : uint8_t {
    kNone,        // nothing focused, or the button has no form
    kPushButton,  // a push button: it handles Enter and Escape itself
    kOther        // an edit box, a radio button, anything else
};

// The rule on the focused control's class name: a push button when it contains "BUTTON" and
// not "RADIOBUTTON" (ASCII case ignored).
FocusKind ClassifyFocusedClass(std::string_view class_name);

// The access character of a caption: the character after the first single "&", upper-cased
// (ASCII); none when there is none or it is not a one-byte character. "&&" is a literal "&".
std::optional<char> AccessChar(std::string_view caption);

class THSButton {
public:
    THSButton();
    virtual ~THSButton();
    THSButton(const THSButton&) = delete;
    THSButton& operator=(const THSButton&) = delete;

    // Properties. Initial values are those of a new button.
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment v);  // repaint now
    uint8_t Border() const { return border_; }
    void SetBorder(uint8_t v);  // repaint later
    bool Cancel() const { return cancel_; }
    void SetCancel(bool v) { cancel_ = v; }
    const std::string& Caption() const { return caption_; }  // GBK
    void SetCaption(std::string_view v);  // repaint later
    setup::Color Color() const { return color_; }
    // Derives LightColor (c + 128), HotTrackColor (c + 32), ShadowColor (c - 128), a black or
    // white font and ColorWhenDown none. No repaint.
    void SetColor(setup::Color c);
    THSColorStyle ColorStyle() const { return THSColorStyle::lcsCustom; }  // never kept
    void SetColorStyle(THSColorStyle s);  // applies the preset; repaint now
    setup::Color ColorWhenDown() const { return color_when_down_; }
    void SetColorWhenDown(setup::Color v) { color_when_down_ = v; }
    bool Default() const { return default_; }
    void SetDefault(bool v) { default_ = v; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v);  // clears the pressed flag; repaint now
    bool Flat() const { return flat_; }
    void SetFlat(bool v);  // repaint later
    const FontSpec& Font() const { return font_; }
    void SetFont(const FontSpec& v);  // repaint later
    const Image& Glyph() const { return glyph_; }
    void SetGlyph(const Image& strip);  // NumGlyphs := width div height; Kind := bkCustom
    void ClearGlyph();                   // NumGlyphs := 0; Kind := bkCustom
    setup::Color HotTrackColor() const { return hot_track_color_; }
    void SetHotTrackColor(setup::Color v) { hot_track_color_ = v; }
    const FontSpec& HotTrackFont() const { return hot_track_font_; }
    void SetHotTrackFont(const FontSpec& v) { hot_track_font_ = v; }
    THSButtonKind Kind() const { return kind_; }
    void SetKind(THSButtonKind k);  // standard-button preset; repaint later
    THSButtonLayout Layout() const { return layout_; }
    void SetLayout(THSButtonLayout v);  // repaint now
    setup::Color LightColor() const { return light_color_; }
    void SetLightColor(setup::Color v);  // repaint now
    int32_t ModalResult() const { return modal_result_; }
    void SetModalResult(int32_t v);  // Kind := bkCustom
    int32_t NumGlyphs() const { return num_glyphs_; }
    void SetNumGlyphs(int32_t v);  // repaint later
    setup::Color ShadowColor() const { return shadow_color_; }
    void SetShadowColor(setup::Color v);  // repaint now
    THSSlowDecease SlowDecease() const { return fade_.mode(); }
    void SetSlowDecease(THSSlowDecease v);  // repaint later
    THSButtonStyle Style() const { return style_; }
    void SetStyle(THSButtonStyle v);  // window transparent for the keyed styles; repaint later
    int16_t Smooth() const { return smooth_; }
    void SetSmooth(int16_t v);  // repaint later
    bool UseHotTrackFont() const { return use_hot_track_font_; }
    void SetUseHotTrackFont(bool v) { use_hot_track_font_ = v; }
    bool WordWrap() const { return word_wrap_; }
    void SetWordWrap(bool v);  // repaint now
    bool Visible() const { return visible_; }
    void SetVisible(bool v);
    bool HasPopupMenu() const { return has_popup_; }
    Rect Bounds() const { return bounds_; }  // in the parent's client area
    void SetBounds(int left, int top, int width, int height);
    int Width() const { return bounds_.width(); }
    int Height() const { return bounds_.height(); }

    // The face shows HotTrackColor while the button has the keyboard focus, as it does while
    // the mouse is over it (on by default).
    bool HotWhileFocused() const { return hot_while_focused_; }
    void SetHotWhileFocused(bool v);

    std::function<void()> OnClick;
    std::function<void()> OnMouseEnter;
    std::function<void()> OnMouseExit;

    // State.
    bool Pressed() const { return pressed_; }
    bool MouseInside() const { return mouse_inside_; }
    bool Focused() const { return focused_; }
    bool Hot() const { return mouse_inside_ || focused_; }
    int FadeStep() const { return fade_.step(); }
    bool FadeTimerRunning() const { return fade_.running(); }
    bool HasFadeTimer() const { return fade_.has_timer(); }

    // Input, fed by the window layer.
    void MouseDown(MouseButton b);
    void MouseUp(MouseButton b);  // clicks when pressed, wherever the pointer is
    void MouseEnter();
    void MouseLeave();
    void KeyDown(int key);  // while focused
    void KeyUp(int key);
    // An access key (Alt+letter); true when this button took it.
    bool AccessKey(char ch);
    // Enter or Escape on the form; true when this button took it.
    bool DialogKey(int key, KeyModifiers mods, FocusKind focused);
    // Whether DialogKey would take the key (without clicking).
    bool WantsDialogKey(int key, KeyModifiers mods, FocusKind focused) const;
    // The press ends without a click (the window lost the mouse capture).
    void CancelPress();
    void FocusChanged(bool focused);
    void EnabledChanged(bool enabled);  // the window was enabled or disabled from outside
    void FadeTick();
    // A click exactly as the mouse makes one: OnClick, the form's modal result, the popup.
    void Click();

    // The repaint into an image of the button's size (steps before the copy to the window).
    FaceInputs Inputs() const;
    void Render(const ImageView& image, FaceTools& tools) const;
    // The dotted focus rectangle (4, 4) - (W - 4, H - 4) belongs on the window.
    bool ShowsFocusRect() const { return focused_ && enabled_ && style_ != THSButtonStyle::bsShape; }

protected:
    // Window operations. The window layer implements them; none is called from the
    // constructor or after BeginDestroy().
    virtual void PlatformRepaint(bool now) = 0;  // now: draw at once; else mark for redrawing
    virtual void PlatformFadeTimer(bool run) = 0;
    virtual void PlatformTransparent(bool transparent) = 0;  // WS_EX_TRANSPARENT or nothing
    virtual void PlatformTakeFocus() = 0;
    virtual Image PlatformLoadBitmap(std::string_view resource_name) = 0;  // empty if missing
    virtual void PlatformModalResult(int32_t result) = 0;
    virtual void PlatformPopupMenu() = 0;
    virtual void PlatformShow(bool visible) = 0;
    virtual void PlatformEnable(bool enabled) = 0;
    virtual void PlatformCaptionChanged() = 0;
    virtual void PlatformBoundsChanged() = 0;
    virtual bool PlatformParentShowing() const = 0;

    void SetHasPopupMenu(bool v);
    // Called first by the window layer's destructor: the fade stops for good, no more
    // repaints or platform calls.
    void BeginDestroy();
    bool Destroying() const { return destroying_; }

private:
    TAlignment alignment_ = TAlignment::taCenter;
    setup::Color shadow_color_ = kClGray;
    setup::Color color_when_down_ = kClNone;
    bool flat_ = false;
    bool word_wrap_ = false;
    Image glyph_;
    setup::Color hot_track_color_ = kClNone;
    FontSpec hot_track_font_;
    THSButtonKind kind_ = THSButtonKind::bkCustom;
    THSButtonLayout layout_ = THSButtonLayout::blGlyphLeft;
    setup::Color light_color_ = kClWhite;
    int32_t modal_result_ = 0;
    int32_t num_glyphs_ = 0;
    bool use_hot_track_font_ = false;
    THSButtonStyle style_ = THSButtonStyle::bsNormal;
    bool default_ = false;
    bool cancel_ = false;
    bool pressed_ = false;
    bool mouse_inside_ = false;
    FadeAnimator fade_;
    setup::Color color_ = kClBlack;
    uint8_t border_ = 1;
    int16_t smooth_ = 0;

    FontSpec font_;
    std::string caption_;
    bool enabled_ = true;
    bool visible_ = true;
    bool focused_ = false;
    bool has_popup_ = false;
    bool hot_while_focused_ = true;
    bool timer_on_ = false;
    bool destroying_ = false;
    Rect bounds_{0, 0, 100, 23};
    std::shared_ptr<char> alive_ = std::make_shared<char>();

    void Repaint(bool now);
    void SyncTimer();
    void ClickAction();
};

// Property values as a stored layout gives them; unset ones keep the button's value.
struct StoredButtonProps {
    std::optional<Image> glyph;
    std::optional<int32_t> num_glyphs;
    std::optional<int32_t> modal_result;
    std::optional<THSButtonKind> kind;
    std::optional<THSButtonStyle> style;
    std::optional<Color> color;
    std::optional<TAlignment> alignment;
    std::optional<uint8_t> border;
    std::optional<bool> cancel;
    std::optional<std::string> caption;
    std::optional<Color> color_when_down;
    std::optional<bool> is_default;
    std::optional<bool> flat;
    std::optional<FontSpec> font;
    std::optional<Color> hot_track_color;
    std::optional<FontSpec> hot_track_font;
    std::optional<THSButtonLayout> layout;
    std::optional<Color> light_color;
    std::optional<Color> shadow_color;
    std::optional<THSSlowDecease> slow_decease;
    std::optional<int16_t> smooth;
    std::optional<bool> use_hot_track_font;
    std::optional<bool> word_wrap;
};

// Applies a stored layout in published order: the presets first (Glyph, NumGlyphs,
// ModalResult, Kind, Style), then Color, then everything setup::Color derives (Font, HotTrackColor,
// HotTrackFont, LightColor, ShadowColor) and the rest, so stored values win over derived ones.
void ApplyStoredProps(THSButton& button, const StoredButtonProps& props);

// The wizard's Back, Next, Cancel and Agree: Border 1, setup::Color white, caption font "微软雅黑"
// 12 px black, HotTrackColor cream 12905212, HotTrackFont "宋体" 12 px gray, ShadowColor dark
// gray 8355711, Smooth 0, UseHotTrackFont false.
StoredButtonProps WizardButtonProps();
void ApplyWizardButtonProps(THSButton& button);

}  // namespace setup

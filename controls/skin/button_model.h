// button_model.h: the behaviour of the skinned push buttons (TsuiCustomButton and the image
// button built on it), free of any window system: the visual state, the repeat timer, keyboard
// and mouse input, Default/Cancel/accelerator keys, which picture to show, and how the
// off-screen picture is composed. The Windows control (image_button.h) feeds it input and
// carries out what it asks through ButtonHost.
//
//   ButtonHost        what the model asks of its window
//   ButtonModel       state machine: MouseOver, Pressed, RepeatTimer, DefaultActive
//   ChoosePicture     which picture a state shows; image-button holders fall back to PicNormal
//   ComposeButton     background + picture (keyed on its top-left pixel when transparent)
//   CaptionPasses     where and in which colour the caption is drawn per state
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/image.h"
#include "controls/skin/theme.h"

namespace setup::skin {

class ButtonHost {
public:
    virtual void Repaint() = 0;
    // Starts the repeat timer (ms > 0); an interval of 0 creates a timer that never ticks.
    virtual void StartRepeatTimer(int ms) = 0;
    virtual void StopRepeatTimer() = 0;
    virtual bool CanFocus() = 0;     // enabled, visible, in an enabled and visible parent
    virtual bool Focused() = 0;
    virtual void TakeFocus() = 0;    // failures are ignored
    virtual bool Visible() = 0;
    virtual bool ParentEnabled() = 0;
    virtual void SetFormModalResult(int32_t result) = 0;  // no form: nothing
    virtual void FireClick() = 0;                         // OnClick
    virtual void FireMouseEnter() = 0;
    virtual void FireMouseExit() = 0;
    virtual void FireContinuouslyDown() = 0;

protected:
    ~ButtonHost() = default;
};

enum class ButtonKey { kSpace, kEnter, kEscape, kOther };

class ButtonModel {
public:
    explicit ButtonModel(ButtonHost& host) : host_(host) {}

    // Properties.
    bool enabled = true;
    bool tab_stop = true;
    bool cancel = false;
    int32_t modal_result = 0;
    int repeat_interval_ms = 100;  // MouseContinuouslyDownInterval
    bool Default() const { return default_; }
    void SetDefault(bool value);
    bool DefaultActive() const { return default_active_; }

    bool MouseOver() const { return mouse_over_; }
    bool Pressed() const { return pressed_; }
    bool RepeatTimerRunning() const { return timer_; }

    // Notifications from the window.
    void Created();
    void MouseEnter();
    void MouseLeave();
    void CancelMode();
    void LeftButtonDown();
    // The left button released; inside tells whether over the control (a click follows).
    void LeftButtonUp(bool inside);
    void MouseMove(int x, int y, int width, int height);
    void Click();
    void KeyDown(ButtonKey key);
    void KeyUp(ButtonKey key);
    // Enter or Escape that the focused control does not take; true when handled.
    bool DialogKey(ButtonKey key, bool shift, bool ctrl, bool alt);
    // An accelerator character; focused_is_skin_button: the focused window answers the
    // button query message with 1. True when handled.
    bool DialogChar(std::string_view caption, char ch, bool alt, bool focused_is_skin_button);
    void FocusChanged();
    void TimerTick();

private:
    void StopTimer();

    ButtonHost& host_;
    bool default_ = false;
    bool default_active_ = false;
    bool mouse_over_ = false;
    bool pressed_ = false;
    bool timer_ = false;
};

// The accelerator of a caption: the character after a single "&" (lower case); none for
// "&&" or a trailing "&".
std::optional<char> AcceleratorOf(std::string_view caption);

enum class ButtonPicture { kNormal, kMouseOn, kMouseDown, kDisabled };
// Disabled over pressed over mouse-over.
ButtonPicture ChooseButtonPicture(bool enabled, bool pressed, bool mouse_over);

// The image button's four holders; empty ones fall back to PicNormal (which may be empty).
struct ImageButtonPictures {
    Image normal, mouse_on, mouse_down, disabled;
};
const Image& ImageButtonPicture(const ImageButtonPictures& pics, ButtonPicture which);

// The base button's themed pictures: frames of the button strip (file bitmap 15 or the
// built-in strip of the effective style): normal 1, mouse over 2, pressed 3, disabled 1.
bool LoadThemedButtonPicture(BitmapSource& source, const TsuiFileTheme* file_theme, TsuiUIStyle style,
                             ButtonPicture which, Image* dest);

// The off-screen picture of an image button before caption and focus rectangle.
struct ButtonComposition {
    int width = 0, height = 0;
    bool transparent = false;
    Color color = 0;                    // fill where no background is given
    const Image* background = nullptr;  // the parent's background, when the button shows it
    // transparent: the picture's pixels of its top-left colour are not drawn
    const Image* picture = nullptr;
    bool stretch = false;
};
Image ComposeButton(const ButtonComposition& c);

// A focus rectangle is drawn when the control has the focus and TabStop; the image button
// also needs DrawFocused. Its rectangle is (m, m, width - m, height - m).
bool ShouldDrawFocusRect(bool focused, bool tab_stop, bool draw_focused);

struct CaptionPass {
    int dx = 0, dy = 0;
    Color color = 0;
    bool operator==(const CaptionPass&) const = default;
};
// Disabled: white at (+1, +1), then grey 128 at (0, 0); pressed: the font colour at (+1, +1);
// otherwise the font colour at (0, 0). No pass when the trimmed caption is empty.
std::vector<CaptionPass> CaptionPasses(std::string_view caption, bool enabled, bool pressed, Color font_color);
// Offset that centres a measured text extent in a rectangle, halved towards zero.
int CenterOffset(int outer, int measured);

}  // namespace setup::skin

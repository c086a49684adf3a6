#include "controls/skin/button_model.h"

#include <cctype>

#include "base/text.h"
#include "controls/skin/file_theme.h"

namespace setup::skin {

void ButtonModel::SetDefault(bool value) {
    default_ = value;
    // The form re-announces its focused control: every button recomputes DefaultActive.
    FocusChanged();
}

void ButtonModel::Created() { default_active_ = default_; }

void ButtonModel::StopTimer() {
    if (!timer_) return;
    timer_ = false;
    host_.StopRepeatTimer();
}

void ButtonModel::MouseEnter() {
    mouse_over_ = true;
    host_.Repaint();
    host_.FireMouseEnter();
}

void ButtonModel::MouseLeave() {
    mouse_over_ = false;
    pressed_ = false;
    StopTimer();
    host_.Repaint();
    host_.FireMouseExit();
}

void ButtonModel::CancelMode() {
    mouse_over_ = false;
    pressed_ = false;
    StopTimer();
    host_.Repaint();
}

void ButtonModel::LeftButtonDown() {
    pressed_ = true;
    if (!timer_) {
        timer_ = true;
        host_.StartRepeatTimer(repeat_interval_ms > 0 ? repeat_interval_ms : 0);
    }
    if (tab_stop && host_.CanFocus() && enabled && host_.Visible()) host_.TakeFocus();
    host_.Repaint();
}

void ButtonModel::LeftButtonUp(bool inside) {
    // The repeat event belongs to the held button: it ends with the release, also when the
    // pointer left the control and came back (no click then finds Pressed set).
    StopTimer();
    if (inside) Click();
}

void ButtonModel::MouseMove(int x, int y, int width, int height) {
    if (x >= 0 && x <= width && y >= 0 && y <= height) return;
    mouse_over_ = false;
    pressed_ = false;
    host_.Repaint();
}

void ButtonModel::Click() {
    if (pressed_) {
        StopTimer();
        pressed_ = false;
        host_.Repaint();
    }
    host_.SetFormModalResult(modal_result);
    host_.FireClick();
}

void ButtonModel::KeyDown(ButtonKey key) {
    if ((key != ButtonKey::kSpace && key != ButtonKey::kEnter) || !host_.Focused() || !enabled) return;
    pressed_ = true;
    host_.Repaint();
}

void ButtonModel::KeyUp(ButtonKey key) {
    if ((key != ButtonKey::kSpace && key != ButtonKey::kEnter) || !host_.Focused() || !pressed_ || !enabled) return;
    pressed_ = false;
    host_.Repaint();
    Click();
}

bool ButtonModel::DialogKey(ButtonKey key, bool shift, bool ctrl, bool alt) {
    const bool mine = (key == ButtonKey::kEnter && default_active_) || (key == ButtonKey::kEscape && cancel);
    if (!mine || shift || ctrl || alt || !host_.CanFocus()) return false;
    Click();
    return true;
}

bool ButtonModel::DialogChar(std::string_view caption, char ch, bool alt, bool focused_is_skin_button) {
    const auto accel = AcceleratorOf(caption);
    if (!accel || *accel != static_cast<char>(std::tolower(static_cast<unsigned char>(ch)))) return false;
    if (!(alt || focused_is_skin_button) || !host_.ParentEnabled() || !enabled || !host_.Visible()) return false;
    Click();
    return true;
}

void ButtonModel::FocusChanged() {
    default_active_ = default_;
    host_.Repaint();
}

void ButtonModel::TimerTick() {
    if (timer_) host_.FireContinuouslyDown();
}

std::optional<char> AcceleratorOf(std::string_view caption) {
    for (size_t i = 0; i < caption.size(); ++i) {
        const auto b = static_cast<uint8_t>(caption[i]);
        if (IsGbkLeadByte(b)) {
            ++i;  // a two-byte character never holds "&"
            continue;
        }
        if (b != '&') continue;
        if (i + 1 >= caption.size()) return std::nullopt;
        const auto next = static_cast<uint8_t>(caption[i + 1]);
        if (next == '&') {
            ++i;  // "&&" is a literal ampersand
            continue;
        }
        if (IsGbkLeadByte(next)) return std::nullopt;
        return static_cast<char>(std::tolower(next));
    }
    return std::nullopt;
}

ButtonPicture ChooseButtonPicture(bool enabled, bool pressed, bool mouse_over) {
    if (!enabled) return ButtonPicture::kDisabled;
    if (pressed) return ButtonPicture::kMouseDown;
    if (mouse_over) return ButtonPicture::kMouseOn;
    return ButtonPicture::kNormal;
}

const Image& ImageButtonPicture(const ImageButtonPictures& pics, ButtonPicture which) {
    const Image* chosen = &pics.normal;
    switch (which) {
    case ButtonPicture::kNormal: break;
    case ButtonPicture::kMouseOn: chosen = &pics.mouse_on; break;
    case ButtonPicture::kMouseDown: chosen = &pics.mouse_down; break;
    case ButtonPicture::kDisabled: chosen = &pics.disabled; break;
    }
    return chosen->empty() ? pics.normal : *chosen;
}

bool LoadThemedButtonPicture(BitmapSource& source, const TsuiFileTheme* file_theme, TsuiUIStyle style,
                             ButtonPicture which, Image* dest) {
    const int frame = which == ButtonPicture::kMouseOn ? 2 : which == ButtonPicture::kMouseDown ? 3 : 1;
    const ThemeSource from = ResolveThemeSource(file_theme, style);
    if (from.use_file) return file_theme->GetBitmapFrame(kSkinBitmapButton, dest, frame, 3);
    return LoadBuiltInThemeFrame(source, from.style, ThemeItemButtonStrip, dest, frame, 3);
}

Image ComposeButton(const ButtonComposition& c) {
    Image out(c.width, c.height, ToPixel(c.color));
    if (c.background) DrawImage(out, *c.background, 0, 0);
    const Image* p = c.picture;
    if (!p || p->empty()) return out;
    // The picture's transparent colour is that of its top-left pixel; it applies only when
    // the button is transparent.
    std::optional<Color> key;
    if (c.transparent) key = FromPixel(p->at(0, 0));
    if (c.stretch)
        StretchImage(out, *p, 0, 0, c.width, c.height, key);
    else
        DrawImage(out, *p, 0, 0, key);
    return out;
}

bool ShouldDrawFocusRect(bool focused, bool tab_stop, bool draw_focused) { return focused && tab_stop && draw_focused; }

std::vector<CaptionPass> CaptionPasses(std::string_view caption, bool enabled, bool pressed, Color font_color) {
    if (Trim(caption).empty()) return {};
    if (!enabled) return {{1, 1, Rgb(255, 255, 255)}, {0, 0, Rgb(128, 128, 128)}};
    if (pressed) return {{1, 1, font_color}};
    return {{0, 0, font_color}};
}

int CenterOffset(int outer, int measured) { return (outer - measured) / 2; }

}  // namespace setup::skin

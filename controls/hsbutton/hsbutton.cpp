#include "controls/hsbutton/hsbutton.h"

#include <array>

#include "base/text.h"

namespace setup {

namespace {

constexpr char ToUpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string UpperAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = ToUpperAscii(c);
    return out;
}

struct KindPreset {
    int32_t modal_result;
    const char* resource;
    const char* caption;
};

// Indexed by THSButtonKind, bkCustom first (unused).
constexpr std::array<KindPreset, 11> kKindPresets = {{
    {0, "", ""},
    {1, "BBOK", "OK"},
    {2, "BBCANCEL", "Cancel"},
    {0, "BBHELP", "Help"},
    {6, "BBYES", "Yes"},
    {7, "BBNO", "No"},
    {0, "BBCLOSE", "Close"},
    {3, "BBABORT", "Abort"},
    {4, "BBRETRY", "Retry"},
    {5, "BBIGNORE", "Ignore"},
    {8, "BBALL", "All"},
}};

struct ColorPreset {
    setup::Color color, light, shadow, hot, down;
    bool flat;
    setup::Color font;
    THSButtonStyle style;
};

using St = THSButtonStyle;
constexpr setup::Color kFace = kClBtnFace;
constexpr setup::Color kNone = kClNone;

// Colours as 0x00BBGGRR. Indexed by THSColorStyle, lcsCustom first (unused).
constexpr std::array<ColorPreset, 16> kColorPresets = {{
    {0, 0, 0, 0, 0, false, 0, St::bsNormal},
    {0x00C0C0, 0x00FFFF, 0x008080, 0x00DFDF, kNone, false, kClBlack, St::bsModern},      // lcsGold
    {0xC0C0C0, 0xFFFFFF, 0x808080, kNone, kNone, false, kClBlack, St::bsModern},         // lcsChrome
    {0xFF8000, 0xFFFF00, 0xFF0000, kNone, kNone, false, kClBlack, St::bsModern},         // lcsBlue
    {0x0000FF, 0xC0C0FF, 0x0000C0, kNone, kNone, false, kClBlack, St::bsModern},         // lcsRed
    {0xECCE94, 0xFCE6D4, 0x000000, kNone, kNone, false, kClBlack, St::bsModern},         // lcsAqua
    {0x00C0C0, 0x00FFFF, 0x008080, 0x00DFDF, kNone, false, kClBlack, St::bsGlass},       // lcsGlassGold
    {0xC0C0C0, 0xFFFFFF, 0x808080, kNone, kNone, false, kClBlack, St::bsGlass},          // lcsGlassChrome
    {0xFF8000, 0xFFFF00, 0xFF0000, kNone, kNone, false, kClBlack, St::bsGlass},          // lcsGlassBlue
    {0x0000FF, 0xC0C0FF, 0x0000C0, kNone, kNone, false, kClBlack, St::bsGlass},          // lcsGlassRed
    {0xECCE94, 0xFFFFFF, 0x000000, kNone, kNone, false, kClBlack, St::bsGlass},          // lcsGlassAqua
    {kFace, 0xB59284, 0xB59284, 0xDED3D6, 0xB59284, true, kClBlack, St::bsNormal},       // lcsUltraFlat1
    {kFace, 0x000000, 0x000000, 0x8CF6E4, 0x24DABC, true, kClBlack, St::bsNormal},       // lcsUltraFlat2
    {0xD1D8DB, 0xB59284, 0xB59285, 0xD2BDB6, 0xB59285, true, kClBlack, St::bsNormal},    // lcsUltraFlatXP
    {kFace, 0xFFFFFF, 0x808080, kNone, kNone, false, kClBlack, St::bsNormal},            // lcsDefault
    {0x603000, 0xC0C0C0, 0xC0C0C0, 0xCEAE9C, 0xAD6529, false, kClWhite, St::bsQuicken},  // lcsQuicken
}};

}  // namespace

FocusKind ClassifyFocusedClass(std::string_view class_name) {
    const std::string upper = UpperAscii(class_name);
    if (upper.find("BUTTON") != std::string::npos && upper.find("RADIOBUTTON") == std::string::npos)
        return FocusKind::kPushButton;
    return FocusKind::kOther;
}

std::optional<char> AccessChar(std::string_view caption) {
    for (size_t i = 0; i < caption.size();) {
        const auto b = static_cast<uint8_t>(caption[i]);
        if (b == '&' && i + 1 < caption.size()) {
            const char next = caption[i + 1];
            if (next == '&') {
                i += 2;
                continue;
            }
            if (static_cast<uint8_t>(next) < 0x80) return ToUpperAscii(next);
            return std::nullopt;
        }
        i += IsGbkLeadByte(b) && i + 1 < caption.size() ? 2 : 1;
    }
    return std::nullopt;
}

THSButton::THSButton() = default;

THSButton::~THSButton() = default;

void THSButton::Repaint(bool now) {
    if (!destroying_) PlatformRepaint(now);
}

void THSButton::SyncTimer() {
    if (destroying_ || fade_.running() == timer_on_) return;
    timer_on_ = fade_.running();
    PlatformFadeTimer(timer_on_);
}

void THSButton::BeginDestroy() {
    if (destroying_) return;
    fade_.Shutdown();
    if (timer_on_) PlatformFadeTimer(false);  // the timer goes first
    timer_on_ = false;
    destroying_ = true;
}

void THSButton::SetAlignment(TAlignment v) {
    alignment_ = v;
    Repaint(true);
}

void THSButton::SetBorder(uint8_t v) {
    border_ = v;
    Repaint(false);
}

void THSButton::SetCaption(std::string_view v) {
    caption_ = std::string(v);
    if (!destroying_) PlatformCaptionChanged();
    Repaint(false);
}

void THSButton::SetColor(setup::Color c) {
    color_ = c;
    light_color_ = AddToColor(c, 128);
    hot_track_color_ = AddToColor(c, 32);
    shadow_color_ = AddToColor(c, -128);
    font_.color = ChannelAverage(c) >= 96 ? kClBlack : kClWhite;
    color_when_down_ = kClNone;
}

void THSButton::SetColorStyle(THSColorStyle s) {
    if (s == THSColorStyle::lcsCustom) return;
    const ColorPreset& p = kColorPresets[static_cast<size_t>(s)];
    color_ = p.color;
    light_color_ = p.light;
    shadow_color_ = p.shadow;
    hot_track_color_ = p.hot;
    color_when_down_ = p.down;
    flat_ = p.flat;
    font_.color = p.font;
    style_ = p.style;  // stored only: the window's extended style is left as it is
    Repaint(true);
}

void THSButton::SetEnabled(bool v) {
    enabled_ = v;
    if (!destroying_) PlatformEnable(v);
    pressed_ = false;
    Repaint(true);
}

void THSButton::EnabledChanged(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    pressed_ = false;
    Repaint(true);
}

void THSButton::SetFlat(bool v) {
    flat_ = v;
    Repaint(false);
}

void THSButton::SetFont(const FontSpec& v) {
    font_ = v;
    Repaint(false);
}

void THSButton::SetGlyph(const Image& strip) {
    glyph_ = strip;
    num_glyphs_ = strip.height > 0 ? strip.width / strip.height : 0;
    kind_ = THSButtonKind::bkCustom;
    Repaint(false);
}

void THSButton::ClearGlyph() {
    glyph_ = Image();
    num_glyphs_ = 0;
    kind_ = THSButtonKind::bkCustom;
    Repaint(false);
}

void THSButton::SetKind(THSButtonKind k) {
    if (k != THSButtonKind::bkCustom) {
        const KindPreset& p = kKindPresets[static_cast<size_t>(k)];
        num_glyphs_ = 2;
        SetModalResult(p.modal_result);
        // Loaded into the owned strip directly: NumGlyphs stays 2 ("BBALL" is 36 x 19).
        glyph_ = destroying_ ? Image() : PlatformLoadBitmap(p.resource);
        SetCaption(p.caption);
    }
    kind_ = k;
    Repaint(false);
}

void THSButton::SetLayout(THSButtonLayout v) {
    layout_ = v;
    Repaint(true);
}

void THSButton::SetLightColor(setup::Color v) {
    light_color_ = v;
    Repaint(true);
}

void THSButton::SetModalResult(int32_t v) {
    modal_result_ = v;
    kind_ = THSButtonKind::bkCustom;
}

void THSButton::SetNumGlyphs(int32_t v) {
    num_glyphs_ = v;
    Repaint(false);
}

void THSButton::SetShadowColor(setup::Color v) {
    shadow_color_ = v;
    Repaint(true);
}

void THSButton::SetSlowDecease(THSSlowDecease v) {
    fade_.SetMode(v);
    SyncTimer();
    Repaint(false);
}

void THSButton::SetStyle(THSButtonStyle v) {
    style_ = v;
    if (!destroying_) PlatformTransparent(IsTransparentStyle(v));
    Repaint(false);
}

void THSButton::SetSmooth(int16_t v) {
    smooth_ = v;
    Repaint(false);
}

void THSButton::SetWordWrap(bool v) {
    word_wrap_ = v;
    Repaint(true);
}

void THSButton::SetVisible(bool v) {
    visible_ = v;
    if (!destroying_) PlatformShow(v);
}

void THSButton::SetBounds(int left, int top, int width, int height) {
    bounds_ = {left, top, left + width, top + height};
    if (!destroying_) PlatformBoundsChanged();
    Repaint(false);
}

void THSButton::SetHotWhileFocused(bool v) {
    hot_while_focused_ = v;
    Repaint(false);
}

void THSButton::SetHasPopupMenu(bool v) {
    has_popup_ = v;
    Repaint(false);
}

void THSButton::MouseDown(MouseButton b) {
    if (!enabled_ || b != MouseButton::kLeft) return;
    pressed_ = true;
    if (!destroying_) PlatformTakeFocus();
    Repaint(true);
}

void THSButton::MouseUp(MouseButton) {
    if (pressed_) {
        const std::weak_ptr<char> alive = alive_;
        Click();
        if (alive.expired()) return;
    }
    pressed_ = false;
    Repaint(true);
}

void THSButton::MouseEnter() {
    if (!enabled_ || !visible_ || destroying_ || !PlatformParentShowing()) return;
    mouse_inside_ = true;
    const auto repaint = fade_.Enter();
    SyncTimer();
    if (repaint == FadeAnimator::Repaint::kNow) Repaint(true);
    if (OnMouseEnter) OnMouseEnter();
}

void THSButton::MouseLeave() {
    mouse_inside_ = false;
    const auto repaint = fade_.Leave();
    SyncTimer();
    if (repaint == FadeAnimator::Repaint::kNow) Repaint(true);
    if (enabled_ && visible_ && !destroying_ && PlatformParentShowing() && OnMouseExit) OnMouseExit();
}

void THSButton::KeyDown(int key) {
    if (enabled_ && (key == kKeyEnter || key == kKeySpace)) {
        pressed_ = true;
        Repaint(true);
    }
}

void THSButton::KeyUp(int key) {
    // Only a key that went down on this button clicks it: the release of a key pressed
    // elsewhere (Enter on an edit box that moved the focus here) must not.
    if ((key == kKeyEnter || key == kKeySpace) && pressed_) {
        const std::weak_ptr<char> alive = alive_;
        Click();
        if (alive.expired()) return;
    }
    Repaint(true);
}

bool THSButton::AccessKey(char ch) {
    const auto access = AccessChar(caption_);
    if (!access || *access != ToUpperAscii(ch)) return false;
    if (!visible_ || !enabled_ || destroying_ || !PlatformParentShowing()) return false;
    pressed_ = true;
    Click();
    return true;
}

bool THSButton::WantsDialogKey(int key, KeyModifiers mods, FocusKind focused) const {
    const bool acts = (key == kKeyEnter && default_) ||
                      (key == kKeyEscape && cancel_ && !mods.any() && visible_ && enabled_);
    return acts && focused != FocusKind::kPushButton && !destroying_;
}

bool THSButton::DialogKey(int key, KeyModifiers mods, FocusKind focused) {
    if (!WantsDialogKey(key, mods, focused)) return false;
    pressed_ = true;
    Click();
    return true;
}

void THSButton::CancelPress() {
    if (!pressed_) return;
    pressed_ = false;
    Repaint(true);
}

void THSButton::FocusChanged(bool focused) {
    focused_ = focused;
    // A key held down when the focus left will be released elsewhere: do not stay pressed.
    if (!focused) pressed_ = false;
    Repaint(true);
}

void THSButton::FadeTick() {
    if (destroying_) return;
    const auto repaint = fade_.Tick(mouse_inside_);
    SyncTimer();
    if (repaint == FadeAnimator::Repaint::kNow) Repaint(true);
}

void THSButton::Click() {
    pressed_ = true;
    ClickAction();
}

void THSButton::ClickAction() {
    if (!visible_ || !enabled_ || !pressed_ || destroying_) {
        pressed_ = false;  // a hidden or disabled button must not come back pressed
        return;
    }
    pressed_ = false;
    const std::weak_ptr<char> alive = alive_;
    if (OnClick) {
        OnClick();
        if (alive.expired() || destroying_) return;
    }
    if (modal_result_ != 0) {
        PlatformModalResult(modal_result_);
        if (alive.expired() || destroying_) return;
    }
    if (has_popup_) PlatformPopupMenu();
}

FaceInputs THSButton::Inputs() const {
    FaceInputs in;
    in.border = border_;
    in.fade_step = hot_while_focused_ && focused_ ? FadeAnimator::kSteps : fade_.step();
    in.smooth = smooth_;
    in.num_glyphs = static_cast<int16_t>(num_glyphs_);
    in.glyph = glyph_.empty() ? nullptr : &glyph_;
    in.pressed = pressed_;
    in.hot = Hot();
    in.enabled = enabled_;
    in.flat = flat_;
    in.word_wrap = word_wrap_;
    in.has_popup = has_popup_;
    in.style = style_;
    in.color = color_;
    in.color_when_down = color_when_down_;
    in.hot_track_color = hot_track_color_;
    in.light_color = light_color_;
    in.shadow_color = shadow_color_;
    in.font = Hot() && use_hot_track_font_ ? hot_track_font_ : font_;
    in.layout = layout_;
    in.caption = caption_;
    in.alignment = alignment_;
    return in;
}

void THSButton::Render(const ImageView& image, FaceTools& tools) const {
    const int w = image.width, h = image.height;
    const FaceInputs in = Inputs();
    if (IsTransparentStyle(style_)) FillRect(image, {0, 0, w, h}, kKeyPixel);
    if (style_ == THSButtonStyle::bsOld && focused_) {
        DrawButtonFace(image, w - 2, h - 2, in, tools);
        ShiftImage(image, 1, 1);
        const Pixel black = ToPixel(kClBlack);
        FillRect(image, {0, 0, w, 1}, black);
        FillRect(image, {0, h - 1, w, h}, black);
        FillRect(image, {0, 0, 1, h}, black);
        FillRect(image, {w - 1, 0, w, h}, black);
    } else {
        DrawButtonFace(image, w, h, in, tools);
    }
}

void ApplyStoredProps(THSButton& b, const StoredButtonProps& p) {
    if (p.glyph) b.SetGlyph(*p.glyph);
    if (p.num_glyphs) b.SetNumGlyphs(*p.num_glyphs);
    if (p.modal_result) b.SetModalResult(*p.modal_result);
    if (p.kind) b.SetKind(*p.kind);
    if (p.style) b.SetStyle(*p.style);
    if (p.color) b.SetColor(*p.color);
    if (p.alignment) b.SetAlignment(*p.alignment);
    if (p.border) b.SetBorder(*p.border);
    if (p.cancel) b.SetCancel(*p.cancel);
    if (p.caption) b.SetCaption(*p.caption);
    if (p.color_when_down) b.SetColorWhenDown(*p.color_when_down);
    if (p.is_default) b.SetDefault(*p.is_default);
    if (p.flat) b.SetFlat(*p.flat);
    if (p.font) b.SetFont(*p.font);
    if (p.hot_track_color) b.SetHotTrackColor(*p.hot_track_color);
    if (p.hot_track_font) b.SetHotTrackFont(*p.hot_track_font);
    if (p.layout) b.SetLayout(*p.layout);
    if (p.light_color) b.SetLightColor(*p.light_color);
    if (p.shadow_color) b.SetShadowColor(*p.shadow_color);
    if (p.slow_decease) b.SetSlowDecease(*p.slow_decease);
    if (p.smooth) b.SetSmooth(*p.smooth);
    if (p.use_hot_track_font) b.SetUseHotTrackFont(*p.use_hot_track_font);
    if (p.word_wrap) b.SetWordWrap(*p.word_wrap);
}

StoredButtonProps WizardButtonProps() {
    StoredButtonProps p;
    p.border = 1;
    p.color = kClWhite;
    p.font = FontSpec{.name = "微软雅黑", .height = 12, .charset = kGb2312Charset, .color = kClBlack};
    p.hot_track_color = 12905212;  // cream, RGB 252, 234, 196
    p.hot_track_font = FontSpec{.name = "宋体", .height = 12, .charset = kGb2312Charset, .color = kClGray};
    p.shadow_color = 8355711;  // dark gray, RGB 127, 127, 127
    p.smooth = 0;
    p.use_hot_track_font = false;
    return p;
}

void ApplyWizardButtonProps(THSButton& button) { ApplyStoredProps(button, WizardButtonProps()); }

}  // namespace setup

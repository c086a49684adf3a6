#include "controls/hsbutton/hsbutton_control_win.h"

namespace setup::win {

HSButtonControl::HSButtonControl(ui::Container* parent, const Rect& bounds, int id, const StoredButtonProps& props,
                                 const std::string& caption)
    : ui::HostedControl(parent, bounds) {
    ApplyStoredProps(button_, props);
    button_.SetCaption(caption);
    button_.Create(parent->hwnd(), id, bounds.left, bounds.top, bounds.width(), bounds.height());
}

void HSButtonControl::BoundsChanged(const Rect&) {
    button_.SetBounds(bounds_.left, bounds_.top, bounds_.width(), bounds_.height());
}

void HSButtonControl::VisibleChanged() {
    if (!visible_) ui::MoveFocusFrom(button_.hwnd());
    button_.SetVisible(visible_);
}

void HSButtonControl::EnabledChanged() {
    if (!enabled_) ui::MoveFocusFrom(button_.hwnd());
    button_.SetEnabled(enabled_);
}

}  // namespace setup::win

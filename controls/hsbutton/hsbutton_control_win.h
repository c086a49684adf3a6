// hsbutton_control_win.h: the hot-track button as a component of the window layer
// (win/ui/control.h), so a container's view drives it like any other control: visible,
// enabled, bounds. The button model keeps its own visible, enabled and pressed state, so every
// change goes through it.
#pragma once

#include "win/platform_win.h"  // first: <windows.h> without its A/W renaming macros

#include <string>

#include "controls/hsbutton/hsbutton_win.h"
#include "win/ui/container.h"

namespace setup::win {

class HSButtonControl final : public ui::HostedControl {
public:
    // Child `id` of `parent` at `bounds` with `props` applied before the window is made.
    HSButtonControl(ui::Container* parent, const Rect& bounds, int id, const StoredButtonProps& props,
                    const std::string& caption);
    HSButton& Button() { return button_; }

private:
    HWND HostedWindow() const override { return button_.hwnd(); }
    void BoundsChanged(const Rect& old) override;
    void VisibleChanged() override;
    void EnabledChanged() override;

    HSButton button_;
};

}  // namespace setup::win

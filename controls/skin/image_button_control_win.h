// image_button_control_win.h: the skinned image button as a component of the window layer
// (win/ui/control.h): the container's view drives its visibility, bounds and enabled state.
#pragma once

#include "win/platform_win.h"  // first: <windows.h> without its A/W renaming macros

#include <memory>

#include "controls/skin/image_button_win.h"
#include "win/ui/container.h"

namespace setup::skin::win {

class ImageButtonControl final : public setup::win::ui::HostedControl {
public:
    ImageButtonControl(setup::win::ui::Container* parent, const Rect& bounds);
    ImageButton& Button() { return *button_; }

private:
    HWND HostedWindow() const override { return button_->hwnd(); }
    void EnabledChanged() override { button_->SetEnabled(enabled_); }

    std::unique_ptr<ImageButton> button_;
};

}  // namespace setup::skin::win

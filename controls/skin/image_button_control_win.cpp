#include "controls/skin/image_button_control_win.h"

namespace setup::skin::win {

ImageButtonControl::ImageButtonControl(setup::win::ui::Container* parent, const Rect& bounds)
    : setup::win::ui::HostedControl(parent, bounds),
      button_(ImageButton::Create(parent->hwnd(), bounds.left, bounds.top, bounds.width(), bounds.height())) {}

}  // namespace setup::skin::win

// buttons.h: the rule for the wizard's four bottom buttons, run after every change to a
// button or the page: which button takes Enter, Escape and the keyboard focus, and which
// buttons are in the tab order.
//
// Enter goes to the button that moves the wizard on, as the user sees it: Agree while it lies
// over Next, Next, and on the finished page "完成" (Cancel); Escape to Cancel.
//
// While Agree lies over Next (any overlap), the keyboard must not reach the Next beneath it: a
// focused Next would take Enter, skip the agreement and leave "同意" standing over the folder
// page. Next then leaves the tab order, and takes its place back once Agree is hidden or moved
// away.
//
// Once agreed, Agree waits above the panel's top edge, "shown" but out of view: a button that
// lies wholly outside the panel is out of the tab order, like a hidden one.
//
// A button that is hidden, out of view, disabled or covered keeps no keyboard focus: the
// button that moves the wizard on takes it over. Hiding a focused button would pass its focus
// on to the next control in the tab order, so a button about to be hidden is settled before
// it goes, counting as hidden already.
#pragma once

#include <array>
#include <cstddef>

#include "wizard/view.h"

namespace setup {

// The four buttons, in the order of every array below: Back, Next, Cancel, Agree.
inline constexpr std::array<Ctl, 4> kWizardButtons = {Ctl::suiButton1, Ctl::suiButton2, Ctl::suiButton3,
                                                      Ctl::suiButton4};
inline constexpr size_t kBackButton = 0, kNextButton = 1, kCancelButton = 2, kAgreeButton = 3;

// One button as it stands: shown (not hidden, and not about to be), enabled, and where it
// lies in the bottom panel.
struct ButtonFacts {
    bool shown = false;
    bool enabled = false;
    Box box;
};

struct ButtonRoles {
    std::array<bool, 4> takes_enter{};
    std::array<bool, 4> tab_stop{};
    // A focused button that may not keep the focus hands it to focus_target.
    std::array<bool, 4> may_keep_focus{};
    // The button that moves the wizard on, when it can take the focus (shown, in view and
    // enabled); -1 when it cannot, and the focus then stays where it is.
    int focus_target = -1;
    // Escape always goes to Cancel.
};

ButtonRoles DecideButtons(const std::array<ButtonFacts, 4>& buttons, bool finished_page);

}  // namespace setup

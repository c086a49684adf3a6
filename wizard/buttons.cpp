#include "wizard/buttons.h"

namespace setup {

ButtonRoles DecideButtons(const std::array<ButtonFacts, 4>& b, bool finished_page) {
    const auto in_view = [](const ButtonFacts& f) {
        return f.shown && f.box.top + f.box.height > 0 && f.box.left + f.box.width > 0;
    };
    const Box& a = b[kAgreeButton].box;
    const Box& n = b[kNextButton].box;
    const bool agree_over_next = b[kAgreeButton].shown && a.left < n.left + n.width && n.left < a.left + a.width &&
                                 a.top < n.top + n.height && n.top < a.top + a.height;
    const bool next_covered = agree_over_next && b[kNextButton].shown;

    ButtonRoles roles;
    roles.takes_enter[kAgreeButton] = agree_over_next;
    roles.takes_enter[kNextButton] = !agree_over_next && !finished_page;
    roles.takes_enter[kCancelButton] = finished_page;
    const size_t target = finished_page ? kCancelButton : agree_over_next ? kAgreeButton : kNextButton;
    for (size_t i = 0; i < b.size(); ++i) {
        const bool covered = i == kNextButton && next_covered;
        roles.tab_stop[i] = in_view(b[i]) && !covered;
        roles.may_keep_focus[i] = i == target || (in_view(b[i]) && b[i].enabled && !covered);
    }
    if (in_view(b[target]) && b[target].enabled) roles.focus_target = static_cast<int>(target);
    return roles;
}

}  // namespace setup

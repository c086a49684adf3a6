#include "controls/skin/url_label_control_win.h"

namespace setup::skin::win {

UrlLabelControl::UrlLabelControl(setup::win::ui::Container* parent, std::unique_ptr<UrlLabel> label)
    : setup::win::ui::HostedControl(parent, Rect()), label_(std::move(label)) {
    TakeBounds();
}

void UrlLabelControl::TakeBounds() {
    RECT r{};
    ::GetWindowRect(label_->hwnd(), &r);
    ::MapWindowPoints(nullptr, ::GetParent(label_->hwnd()), reinterpret_cast<POINT*>(&r), 2);
    bounds_ = Rect{r.left, r.top, r.right, r.bottom};
}

}  // namespace setup::skin::win

// url_label_control_win.h: the skinned URL label as a component of the window layer
// (win/ui/control.h). The label sizes itself to its caption, so the component reads its
// bounds back from the window (TakeBounds) after anything that may resize it.
#pragma once

#include "win/platform_win.h"  // first: <windows.h> without its A/W renaming macros

#include <memory>

#include "controls/skin/url_label_win.h"
#include "win/ui/container.h"

namespace setup::skin::win {

class UrlLabelControl final : public setup::win::ui::HostedControl {
public:
    // Hosts `label`, a child window of `parent`.
    UrlLabelControl(setup::win::ui::Container* parent, std::unique_ptr<UrlLabel> label);
    UrlLabel& Label() { return *label_; }
    void TakeBounds();

private:
    HWND HostedWindow() const override { return label_->hwnd(); }

    std::unique_ptr<UrlLabel> label_;
};

}  // namespace setup::skin::win

// controls_win.h: the wizard's self-drawn controls from controls/ as components of the window
// layer, so the view drives every control the same way (visible, enabled, bounds, repaint).
//
//   WizardButton   THSButton (Back, Next, Cancel, Agree) with the wizard's colours
//   BrowseButton   TsuiImageButton beside the folder box: BROWSE / BROWSE_HOT, hand pointer
//   SiteLinkLabel  TsuiURLLabel (the licence link and the web-site link)
#pragma once

#include "win/platform_win.h"  // first: <windows.h> without its A/W renaming macros

#include <memory>
#include <string>

#include "base/platform.h"
#include "controls/hsbutton/hsbutton_win.h"
#include "controls/skin/image_button_win.h"
#include "controls/skin/url_label_win.h"
#include "win/ui/container.h"

namespace setup {

// The button model keeps its own visible, enabled and pressed state: changes go through it.
class WizardButton final : public win::ui::HostedControl {
public:
    WizardButton(win::ui::Container* parent, const win::ui::Rect& bounds, int id, const std::string& caption);
    win::HSButton& Button() { return button_; }

private:
    HWND HostedWindow() const override { return button_.hwnd(); }
    void BoundsChanged(const win::ui::Rect& old) override;
    void VisibleChanged() override;
    void EnabledChanged() override;

    win::HSButton button_;
};

class BrowseButton final : public win::ui::HostedControl {
public:
    BrowseButton(win::ui::Container* parent, const win::ui::Rect& bounds);
    skin::win::ImageButton& Button() { return *button_; }

private:
    HWND HostedWindow() const override { return button_->hwnd(); }
    void EnabledChanged() override;

    std::unique_ptr<skin::win::ImageButton> button_;
};

class SiteLinkLabel final : public win::ui::HostedControl {
public:
    enum class Kind { Licence, Site };
    // Clicks open the address through `shell`.
    SiteLinkLabel(win::ui::Container* parent, Kind kind, Shell& shell);
    skin::win::UrlLabel& Label() { return *label_; }
    // The address it opens and its tooltip; the site link shows the address's host name.
    void SetAddress(const std::string& url, const std::string& hint);

private:
    HWND HostedWindow() const override { return label_->hwnd(); }
    void TakeBounds();

    Kind kind_;

    std::unique_ptr<skin::win::UrlLabel> label_;
};

}  // namespace setup

// controls_win.h: the wizard's self-drawn controls from controls/ as components of the window
// layer, so the view drives every control the same way (visible, enabled, bounds, repaint).
//
//   HostedControl  what the three share: a window of their own in the parent container
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

// A control of controls/ whose own window sits in the parent container, as a component of the
// window layer: the component keeps the state the view reads (Visible, Enabled, Bounds) and
// hands every change to the window. A window that is hidden first hands on a focus it holds.
class HostedControl : public win::ui::Control {
public:
    void Invalidate() override;
    void Repaint() override;

protected:
    using win::ui::Control::Control;
    virtual HWND Window() const = 0;
    void BoundsChanged(const win::ui::Rect& old) override;
    void VisibleChanged() override;
    void EnabledChanged() override;
};

// The button model keeps its own visible, enabled and pressed state: changes go through it.
class WizardButton final : public HostedControl {
public:
    WizardButton(win::ui::Container* parent, const win::ui::Rect& bounds, int id, const std::string& caption);
    win::HSButton& Button() { return button_; }

private:
    HWND Window() const override { return button_.hwnd(); }
    void BoundsChanged(const win::ui::Rect& old) override;
    void VisibleChanged() override;
    void EnabledChanged() override;

    win::HSButton button_;
};

class BrowseButton final : public HostedControl {
public:
    BrowseButton(win::ui::Container* parent, const win::ui::Rect& bounds);
    skin::win::ImageButton& Button() { return *button_; }

private:
    HWND Window() const override { return button_->hwnd(); }
    void EnabledChanged() override;

    std::unique_ptr<skin::win::ImageButton> button_;
};

class SiteLinkLabel final : public HostedControl {
public:
    enum class Kind { Licence, Site };
    // Clicks open the address through `shell`.
    SiteLinkLabel(win::ui::Container* parent, Kind kind, Shell& shell);
    skin::win::UrlLabel& Label() { return *label_; }
    // The address it opens and its tooltip; the site link shows the address's host name.
    void SetAddress(const std::string& url, const std::string& hint);

private:
    HWND Window() const override { return label_->hwnd(); }
    void TakeBounds();

    Kind kind_;

    std::unique_ptr<skin::win::UrlLabel> label_;
};

}  // namespace setup

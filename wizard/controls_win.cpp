#include "wizard/controls_win.h"

#include "wizard/links_win.h"

namespace setup {

namespace ui = win::ui;

// ---- WizardButton ------------------------------------------------------------------------

WizardButton::WizardButton(win::ui::Container* parent, const ui::Rect& bounds, int id, const std::string& caption)
    : ui::HostedControl(parent, bounds) {
    ApplyWizardButtonProps(button_);
    button_.SetCaption(caption);
    button_.Create(parent->hwnd(), id, bounds.left, bounds.top, bounds.width, bounds.height);
}

void WizardButton::BoundsChanged(const ui::Rect&) {
    button_.SetBounds(bounds_.left, bounds_.top, bounds_.width, bounds_.height);
}

void WizardButton::VisibleChanged() {
    if (!visible_) ui::MoveFocusFrom(button_.hwnd());
    button_.SetVisible(visible_);
}

void WizardButton::EnabledChanged() {
    if (!enabled_) ui::MoveFocusFrom(button_.hwnd());
    button_.SetEnabled(enabled_);
}

// ---- BrowseButton ------------------------------------------------------------------------

BrowseButton::BrowseButton(win::ui::Container* parent, const ui::Rect& bounds)
    : ui::HostedControl(parent, bounds),
      button_(skin::win::ImageButton::Create(parent->hwnd(), bounds.left, bounds.top, bounds.width, bounds.height)) {
    button_->SetPicNormal(skin::win::LoadBitmapResource("BROWSE"));
    button_->SetPicMouseOn(skin::win::LoadBitmapResource("BROWSE_HOT"));
    button_->SetHandCursor();
}

void BrowseButton::EnabledChanged() { button_->SetEnabled(enabled_); }

// ---- SiteLinkLabel -----------------------------------------------------------------------

SiteLinkLabel::SiteLinkLabel(win::ui::Container* parent, Kind kind, Shell& shell)
    : ui::HostedControl(parent, ui::Rect{}), kind_(kind) {
    label_ = kind == Kind::Licence ? CreateLicenseLink(parent->hwnd())
                                   : CreateSiteLink(parent->hwnd());
    label_->SetShell(&shell);
    TakeBounds();
}

void SiteLinkLabel::SetAddress(const std::string& url, const std::string& hint) {
    if (kind_ == Kind::Site) {
        SetSiteLinkAddress(*label_, url, hint);
        TakeBounds();
        return;
    }
    label_->SetURL(url);
    if (!hint.empty()) label_->SetHint(hint);
}

void SiteLinkLabel::TakeBounds() {
    RECT r{};
    ::GetWindowRect(label_->hwnd(), &r);
    ::MapWindowPoints(nullptr, ::GetParent(label_->hwnd()), reinterpret_cast<POINT*>(&r), 2);
    bounds_ = ui::Rect{r.left, r.top, r.right - r.left, r.bottom - r.top};
}

}  // namespace setup

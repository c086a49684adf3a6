#include "wizard/controls_win.h"

#include "base/error.h"

namespace setup {

namespace ui = win::ui;

namespace {

ui::Rect WindowBounds(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    ::MapWindowPoints(nullptr, ::GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    return ui::Rect{r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void MoveWindowTo(HWND window, const ui::Rect& r) {
    if (window)
        ::SetWindowPos(window, nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void RedrawNow(HWND window) {
    if (window) ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

}  // namespace

// ---- WizardButton ------------------------------------------------------------------------

WizardButton::WizardButton(win::ui::Container* parent, const ui::Rect& bounds, int id, const std::string& caption)
    : Control(parent, bounds) {
    ApplyWizardButtonProps(button_);
    button_.SetCaption(caption);
    button_.Create(parent->hwnd(), id, bounds.left, bounds.top, bounds.width, bounds.height);
}

void WizardButton::Invalidate() {
    if (button_.hwnd()) ::InvalidateRect(button_.hwnd(), nullptr, FALSE);
}

void WizardButton::Repaint() { RedrawNow(button_.hwnd()); }

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
    : Control(parent, bounds),
      button_(skin::win::ImageButton::Create(parent->hwnd(), bounds.left, bounds.top, bounds.width, bounds.height)) {
    if (!button_) throw Error("Error creating window");
    button_->SetPicNormal(skin::win::LoadBitmapResource("BROWSE"));
    button_->SetPicMouseOn(skin::win::LoadBitmapResource("BROWSE_HOT"));
    button_->SetHandCursor();
}

void BrowseButton::Invalidate() {
    if (button_->hwnd()) ::InvalidateRect(button_->hwnd(), nullptr, FALSE);
}
void BrowseButton::Repaint() { RedrawNow(button_->hwnd()); }
void BrowseButton::BoundsChanged(const ui::Rect&) { MoveWindowTo(button_->hwnd(), bounds_); }
void BrowseButton::VisibleChanged() {
    if (!visible_) ui::MoveFocusFrom(button_->hwnd());
    if (button_->hwnd()) ::ShowWindow(button_->hwnd(), visible_ ? SW_SHOWNA : SW_HIDE);
}
void BrowseButton::EnabledChanged() { button_->SetEnabled(enabled_); }

// ---- SiteLinkLabel -----------------------------------------------------------------------

SiteLinkLabel::SiteLinkLabel(win::ui::Container* parent, Kind kind, Shell& shell) : Control(parent, ui::Rect{}) {
    label_ = kind == Kind::Licence ? skin::win::CreateLicenseLink(parent->hwnd())
                                   : skin::win::CreateSiteLink(parent->hwnd());
    if (!label_) throw Error("Error creating window");
    label_->SetShell(&shell);
    bounds_ = WindowBounds(label_->hwnd());
}

void SiteLinkLabel::Invalidate() {
    if (label_->hwnd()) ::InvalidateRect(label_->hwnd(), nullptr, FALSE);
}
void SiteLinkLabel::Repaint() { RedrawNow(label_->hwnd()); }
void SiteLinkLabel::BoundsChanged(const ui::Rect&) { MoveWindowTo(label_->hwnd(), bounds_); }
void SiteLinkLabel::VisibleChanged() {
    if (label_->hwnd()) ::ShowWindow(label_->hwnd(), visible_ ? SW_SHOWNA : SW_HIDE);
}
void SiteLinkLabel::EnabledChanged() {
    if (label_->hwnd()) ::EnableWindow(label_->hwnd(), enabled_ ? TRUE : FALSE);
}

}  // namespace setup

#include "wizard/main_form_win.h"

#include "controls/skin/skin_win.h"
#include "win/text.h"

namespace setup {

using namespace win::ui;

MainForm::MainForm(win::Application& app, const Platform& platform, std::unique_ptr<WizardEngine> engine)
    : app_(app), shell_(platform.shell) {
    BuildLayout();
    wizard_ = std::make_unique<Wizard>(platform, *this, std::move(engine));
    WireEvents();
}

MainForm::~MainForm() {
    // The controller goes first: it refers to the controls through this view.
    wizard_.reset();
    controls_.clear();
}

void MainForm::Create() { wizard_->FormCreate(); }

bool MainForm::PreTranslate(MSG& msg) {
    HWND form = hwnd();
    if (!form) return false;
    return win::RouteButtonKeys(form, msg) || skin::win::TranslateSkinKeys(form, msg) ||
           ::IsDialogMessageW(form, &msg) != FALSE;
}

MainForm::Entry& MainForm::At(Ctl ctl) { return entries_.at(static_cast<size_t>(ctl)); }

HWND MainForm::OwnWindow(Ctl ctl) {
    const Entry& e = At(ctl);
    if (e.button) return e.button->hwnd();
    if (e.image_button) return e.image_button->hwnd();
    if (e.link) return e.link->hwnd();
    return nullptr;
}

// Enter goes to the button that moves the wizard on, as the user sees it: Agree while it lies
// over Next, Next, and on the finished page "完成" (Cancel). A button that is hidden, disabled
// or covered keeps no keyboard focus: the default button takes it over.
void MainForm::UpdateDefaultButton() {
    win::HSButton& next = buttons_[1];
    win::HSButton& cancel = buttons_[2];
    win::HSButton& agree = buttons_[3];
    const bool agree_on_top = agree.Visible() && agree.Bounds() == next.Bounds();
    const bool finished = active_page_ == kPageFinished;
    agree.SetDefault(agree_on_top);
    next.SetDefault(!agree_on_top && !finished);
    cancel.SetDefault(finished);

    win::HSButton* target = finished ? &cancel : agree_on_top ? &agree : &next;
    if (!target->Visible() || !target->Enabled() || !target->hwnd()) return;
    HWND focus = ::GetFocus();
    for (win::HSButton& b : buttons_) {
        if (&b == target || !focus || focus != b.hwnd()) continue;
        const bool covered = &b == &next && agree_on_top;
        if (!b.Visible() || !b.Enabled() || covered) target->Focus();
    }
}

void MainForm::WireEvents() {
    Wizard& w = *wizard_;
    auto on = [&w](void (Wizard::*handler)()) {
        return [&w, handler] { w.Dispatch([&] { (w.*handler)(); }); };
    };
    At(Ctl::suiButton1).button->OnClick = on(&Wizard::PrevBtClick);
    At(Ctl::suiButton2).button->OnClick = on(&Wizard::NextBtClick);
    At(Ctl::suiButton3).button->OnClick = on(&Wizard::CancelBtClick);
    At(Ctl::suiButton4).button->OnClick = on(&Wizard::suiButton4Click);
    browse_->on_click = on(&Wizard::suiImageButton1Click);
    At(Ctl::WebSiteLb).label->on_click = on(&Wizard::WebSiteLbClick);
    At(Ctl::WebSiteLb).label->SetCursor(::LoadCursorW(nullptr, IDC_HAND));

    form_->on_first_show = on(&Wizard::FormShow);
    form_->on_destroy = on(&Wizard::FormDestroy);
    form_->on_close_query = [&w] {
        bool can_close = false;
        w.Dispatch([&] { can_close = w.FormCloseQuery(); });
        return can_close;
    };
    form_->on_close = [this] { app_.Terminate(); };
}

// ---- WizardView --------------------------------------------------------------------------

void MainForm::SetActivePage(int page) {
    active_page_ = page;
    pages_->SetActivePage(page);
    UpdateDefaultButton();
}

void MainForm::SetVisible(Ctl ctl, bool visible) {
    Entry& e = At(ctl);
    if (e.control) {
        e.control->SetVisible(visible);
    } else if (e.button) {
        e.button->SetVisible(visible);
        UpdateDefaultButton();
    } else if (HWND w = OwnWindow(ctl)) {
        ::ShowWindow(w, visible ? SW_SHOWNA : SW_HIDE);
    }
}

// The control's own flag, as for the component layer: a control on a hidden page is visible.
bool MainForm::Visible(Ctl ctl) {
    Entry& e = At(ctl);
    if (e.control) return e.control->Visible();
    if (e.button) return e.button->Visible();
    HWND w = OwnWindow(ctl);
    return w && (::GetWindowLongPtrW(w, GWL_STYLE) & WS_VISIBLE) != 0;
}

void MainForm::SetEnabled(Ctl ctl, bool enabled) {
    Entry& e = At(ctl);
    if (e.control) e.control->SetEnabled(enabled);
    else if (e.button) {
        e.button->SetEnabled(enabled);
        UpdateDefaultButton();
    } else if (e.image_button) e.image_button->SetEnabled(enabled);
    else if (HWND w = OwnWindow(ctl)) ::EnableWindow(w, enabled);
}

bool MainForm::Enabled(Ctl ctl) {
    Entry& e = At(ctl);
    if (e.control) return e.control->Enabled();
    if (e.button) return e.button->Enabled();
    if (e.image_button) return e.image_button->Enabled();
    HWND w = OwnWindow(ctl);
    return w && ::IsWindowEnabled(w);
}

void MainForm::SetCaption(Ctl ctl, const std::string& gbk) {
    Entry& e = At(ctl);
    if (e.label) e.label->SetCaption(gbk);
    else if (e.button) e.button->SetCaption(gbk);
    else if (e.link) e.link->SetCaption(gbk);
    else if (e.image_button) e.image_button->SetCaption(gbk);
    else if (e.check) e.check->SetCaption(gbk);
    else if (e.edit) e.edit->SetText(gbk);
}

std::string MainForm::Caption(Ctl ctl) {
    Entry& e = At(ctl);
    if (e.label) return e.label->Caption();
    if (e.button) return e.button->Caption();
    if (e.link) return e.link->Caption();
    if (e.image_button) return e.image_button->Caption();
    if (e.check) return e.check->Caption();
    if (e.edit) return e.edit->Text();
    return {};
}

// Moves or sizes a button or skinned control; an empty value is kept (a top may be negative).
void MainForm::SetOwnBounds(Ctl ctl, std::optional<int> top, std::optional<int> width, std::optional<int> height) {
    Entry& e = At(ctl);
    if (e.button) {
        const auto b = e.button->Bounds();
        e.button->SetBounds(b.left, top.value_or(b.top), width.value_or(b.width()), height.value_or(b.height()));
        UpdateDefaultButton();
        return;
    }
    HWND w = OwnWindow(ctl);
    if (!w) return;
    RECT r{};
    ::GetWindowRect(w, &r);
    ::MapWindowPoints(nullptr, ::GetParent(w), reinterpret_cast<POINT*>(&r), 2);
    ::SetWindowPos(w, nullptr, r.left, top.value_or(r.top), width.value_or(r.right - r.left),
                   height.value_or(r.bottom - r.top), SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainForm::SetTop(Ctl ctl, int top) {
    if (Control* c = At(ctl).control) c->SetTop(top);
    else SetOwnBounds(ctl, top, {}, {});
}

void MainForm::SetSize(Ctl ctl, int width, int height) {
    if (Control* c = At(ctl).control) c->SetSize(width, height);
    else SetOwnBounds(ctl, {}, width, height);
}

void MainForm::SetWidth(Ctl ctl, int width) {
    if (Control* c = At(ctl).control) c->SetWidth(width);
    else SetOwnBounds(ctl, {}, width, {});
}

bool MainForm::Checked(Ctl ctl) {
    CheckBox* c = At(ctl).check;
    return c && c->Checked();
}

void MainForm::SetLinkColor(Ctl ctl, uint32_t color) {
    if (skin::win::UrlLabel* l = At(ctl).link) l->SetFontLinkColor(color);
}

void MainForm::SetProgress(Ctl ctl, int position) {
    if (ProgressBar* p = At(ctl).progress) p->SetPosition(position);
}

void MainForm::SetBarColor(Ctl ctl, uint32_t color) {
    if (ProgressBar* p = At(ctl).progress) p->SetBarColor(ColorOf(color));
}

void MainForm::Repaint(Ctl ctl) {
    if (Control* c = At(ctl).control) c->Repaint();
    else if (HWND w = OwnWindow(ctl)) ::RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void MainForm::SetWindowCaption(const std::string& gbk) { form_->SetCaption(gbk); }

void MainForm::SetApplicationTitle(const std::string& gbk) { app_.SetTitle(gbk); }

void MainForm::Terminate() { app_.Terminate(); }

}  // namespace setup

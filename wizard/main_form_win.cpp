#include "wizard/main_form_win.h"

#include "win/text.h"

namespace setup {

namespace ui = win::ui;

MainForm::MainForm(win::Application& app, const Platform& platform, std::unique_ptr<WizardEngine> engine)
    : app_(app) {
    BuildLayout(platform.shell);
    wizard_ = std::make_unique<Wizard>(platform, *this, std::move(engine));
    WireEvents();
}

MainForm::~MainForm() {
    // The controller goes first: it refers to the controls through this view.
    wizard_.reset();
    controls_.clear();
}

void MainForm::Create() { wizard_->FormCreate(); }

MainForm::Entry& MainForm::At(Ctl ctl) { return entries_.at(static_cast<size_t>(ctl)); }

void MainForm::WireEvents() {
    Wizard& w = *wizard_;
    auto on = [&w](void (Wizard::*handler)()) {
        return [&w, handler] { w.Dispatch([&] { (w.*handler)(); }); };
    };
    At(Ctl::suiButton1).button->Button().OnClick = on(&Wizard::PrevBtClick);
    At(Ctl::suiButton2).button->Button().OnClick = on(&Wizard::NextBtClick);
    At(Ctl::suiButton3).button->Button().OnClick = on(&Wizard::CancelBtClick);
    At(Ctl::suiButton4).button->Button().OnClick = on(&Wizard::suiButton4Click);
    At(Ctl::suiImageButton1).browse->Button().on_click = on(&Wizard::suiImageButton1Click);
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

// Enter goes to the button that moves the wizard on, as the user sees it: Agree while it lies
// over Next, Next, and on the finished page "完成" (Cancel); Escape to Cancel. A button that
// is hidden, disabled or covered keeps no keyboard focus: the default button takes it over.
void MainForm::UpdateDefaultButton() {
    WizardButton* next = At(Ctl::suiButton2).button;
    WizardButton* cancel = At(Ctl::suiButton3).button;
    WizardButton* agree = At(Ctl::suiButton4).button;
    if (!next || !cancel || !agree) return;
    const bool agree_on_top = agree->Visible() && agree->Bounds().left == next->Bounds().left &&
                              agree->Bounds().top == next->Bounds().top;
    const bool finished = active_page_ == kPageFinished;
    agree->Button().SetDefault(agree_on_top);
    next->Button().SetDefault(!agree_on_top && !finished);
    cancel->Button().SetDefault(finished);
    cancel->Button().SetCancel(true);

    WizardButton* target = finished ? cancel : agree_on_top ? agree : next;
    if (!target->Visible() || !target->Enabled() || !target->Button().hwnd()) return;
    HWND focus = ::GetFocus();
    for (Ctl ctl : {Ctl::suiButton1, Ctl::suiButton2, Ctl::suiButton3, Ctl::suiButton4}) {
        WizardButton* b = At(ctl).button;
        if (b == target || !focus || focus != b->Button().hwnd()) continue;
        const bool covered = b == next && agree_on_top;
        if (!b->Visible() || !b->Enabled() || covered) target->Button().Focus();
    }
}

void MainForm::SetActivePage(int page) {
    active_page_ = page;
    pages_->SetActivePage(page);
    UpdateDefaultButton();
}

void MainForm::SetVisible(Ctl ctl, bool visible) {
    // A focused Agree that goes away hands the focus to the Next it covered.
    if (ctl == Ctl::suiButton4 && !visible) {
        CoverNext(false);
        WizardButton* agree = At(Ctl::suiButton4).button;
        WizardButton* next = At(Ctl::suiButton2).button;
        if (::GetFocus() == agree->Button().hwnd() && next->Visible() && next->Enabled()) next->Button().Focus();
    }
    if (ui::Control* c = At(ctl).control) c->SetVisible(visible);
    if (At(ctl).button) UpdateDefaultButton();
    if (ctl == Ctl::suiButton4 || ctl == Ctl::suiButton2) CoverNext();
}

// While Agree lies over Next, the keyboard must not reach the Next beneath it: a focused
// Next would take Enter, skip the agreement and leave "同意" standing over the folder page.
// Next then leaves the tab order and hands its focus to Agree, and takes both back once
// Agree is hidden or moved away.
void MainForm::CoverNext(bool agree_may_cover) {
    WizardButton* next = At(Ctl::suiButton2).button;
    WizardButton* agree = At(Ctl::suiButton4).button;
    if (!next || !agree || !next->Button().hwnd()) return;
    const ui::Rect a = agree->Bounds(), n = next->Bounds();
    const bool covered = agree_may_cover && agree->Visible() && next->Visible() && a.left < n.left + n.width &&
                         n.left < a.left + a.width && a.top < n.top + n.height && n.top < a.top + a.height;
    HWND next_window = next->Button().hwnd();
    LONG style = ::GetWindowLongW(next_window, GWL_STYLE);
    style = covered ? (style & ~WS_TABSTOP) : (style | WS_TABSTOP);
    ::SetWindowLongW(next_window, GWL_STYLE, style);
    if (covered && ::GetFocus() == next_window) agree->Button().Focus();
}

bool MainForm::Visible(Ctl ctl) {
    ui::Control* c = At(ctl).control;
    return c && c->Visible();
}

void MainForm::SetEnabled(Ctl ctl, bool enabled) {
    if (ui::Control* c = At(ctl).control) c->SetEnabled(enabled);
    if (At(ctl).button) UpdateDefaultButton();
}

bool MainForm::Enabled(Ctl ctl) {
    ui::Control* c = At(ctl).control;
    return c && c->Enabled();
}

void MainForm::SetCaption(Ctl ctl, const std::string& gbk) {
    Entry& e = At(ctl);
    if (e.label) e.label->SetCaption(gbk);
    else if (e.link) e.link->Label().SetCaption(gbk);
    else if (e.button) e.button->Button().SetCaption(gbk);
    else if (e.check) e.check->SetCaption(gbk);
    else if (e.edit) e.edit->SetText(gbk);
}

std::string MainForm::Caption(Ctl ctl) {
    Entry& e = At(ctl);
    if (e.label) return e.label->Caption();
    if (e.link) return e.link->Label().Caption();
    if (e.button) return e.button->Button().Caption();
    if (e.check) return e.check->Caption();
    if (e.edit) return e.edit->Text();
    return {};
}

void MainForm::SetTop(Ctl ctl, int top) {
    if (ui::Control* c = At(ctl).control) c->SetTop(top);
    if (At(ctl).button) UpdateDefaultButton();
    if (ctl == Ctl::suiButton4) CoverNext();
}

void MainForm::SetSize(Ctl ctl, int width, int height) {
    if (ui::Control* c = At(ctl).control) c->SetSize(width, height);
}

void MainForm::SetWidth(Ctl ctl, int width) {
    if (ui::Control* c = At(ctl).control) c->SetWidth(width);
}

bool MainForm::Checked(Ctl ctl) {
    ui::CheckBox* c = At(ctl).check;
    return c && c->Checked();
}

void MainForm::SetLinkColor(Ctl ctl, uint32_t color) {
    if (SiteLinkLabel* l = At(ctl).link) l->Label().SetFontLinkColor(color);
}

void MainForm::SetProgress(Ctl ctl, int position) {
    if (ui::ProgressBar* p = At(ctl).progress) p->SetPosition(position);
}

void MainForm::SetBarColor(Ctl ctl, uint32_t color) {
    if (ui::ProgressBar* p = At(ctl).progress) p->SetBarColor(ui::ColorOf(color));
}

void MainForm::Repaint(Ctl ctl) {
    if (ui::Control* c = At(ctl).control) c->Repaint();
}

void MainForm::SetWindowCaption(const std::string& gbk) { form_->SetCaption(gbk); }

void MainForm::SetApplicationTitle(const std::string& gbk) { app_.SetTitle(gbk); }

void MainForm::Terminate() { app_.Terminate(); }

}  // namespace setup

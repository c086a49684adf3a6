#include "wizard/main_form_win.h"

#include "base/error.h"
#include "install/run.h"
#include "wizard/buttons.h"
#include "wizard/links_win.h"
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
    At(Ctl::FailuresLb).label->on_click = on(&Wizard::FailuresLbClick);

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

// Gives the buttons the roles the controller's button rule decided (wizard/buttons.h).
void MainForm::ApplyButtonRoles(const ButtonRoles& roles) {
    std::array<win::HSButtonControl*, 4> b{};
    for (size_t i = 0; i < b.size(); ++i)
        if (!(b[i] = At(kWizardButtons[i]).button)) return;
    if (!b[kNextButton]->Button().hwnd()) return;
    for (size_t i : {kAgreeButton, kNextButton, kCancelButton}) b[i]->Button().SetDefault(roles.takes_enter[i]);
    b[kCancelButton]->Button().SetCancel(true);

    for (size_t i = 0; i < b.size(); ++i) {
        const HWND window = b[i]->Button().hwnd();
        if (!window) continue;
        const LONG style = ::GetWindowLongW(window, GWL_STYLE);
        const LONG tab_style = roles.tab_stop[i] ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP);
        if (tab_style != style) ::SetWindowLongW(window, GWL_STYLE, tab_style);
    }

    if (roles.focus_target < 0) return;
    win::HSButtonControl* target = b[static_cast<size_t>(roles.focus_target)];
    const HWND focus = ::GetFocus();
    if (!target->Button().hwnd() || !focus) return;
    for (size_t i = 0; i < b.size(); ++i)
        if (b[i] != target && focus == b[i]->Button().hwnd() && !roles.may_keep_focus[i]) target->Button().Focus();
}

void MainForm::SetActivePage(int page) {
    pages_->SetActivePage(page);
}

void MainForm::SetVisible(Ctl ctl, bool visible) {
    if (ui::Control* c = At(ctl).control) c->SetVisible(visible);
}

bool MainForm::Visible(Ctl ctl) {
    ui::Control* c = At(ctl).control;
    return c && c->Visible();
}

void MainForm::SetEnabled(Ctl ctl, bool enabled) {
    if (ui::Control* c = At(ctl).control) c->SetEnabled(enabled);
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
}

Box MainForm::Bounds(Ctl ctl) {
    ui::Control* c = At(ctl).control;
    if (!c) return {};
    const Rect& r = c->Bounds();
    return {r.left, r.top, r.width(), r.height()};
}

void MainForm::SetSize(Ctl ctl, int width, int height) {
    if (ui::Control* c = At(ctl).control) c->SetSize(width, height);
}

void MainForm::SetWidth(Ctl ctl, int width) {
    if (ui::Control* c = At(ctl).control) c->SetWidth(width);
}

void MainForm::SetChecked(Ctl ctl, bool checked) {
    if (ui::CheckBox* c = At(ctl).check) c->SetChecked(checked);
}

void MainForm::KeepResponsive() { app_.HandleMessagesDroppingInput(); }

void MainForm::DropQueuedInput() {
    // What is queued now goes at once; what the system has yet to turn into messages is
    // thrown away by its time stamp when it comes out of the queue.
    app_.DropInputBefore(::GetTickCount());
    app_.HandleMessagesDroppingInput();
}

bool MainForm::Checked(Ctl ctl) {
    ui::CheckBox* c = At(ctl).check;
    return c && c->Checked();
}

void MainForm::SetLinkColor(Ctl ctl, uint32_t color) {
    if (skin::win::UrlLabelControl* l = At(ctl).link) l->Label().SetFontLinkColor(color);
}

void MainForm::SetLinkAddress(Ctl ctl, const std::string& url, const std::string& hint) {
    skin::win::UrlLabelControl* l = At(ctl).link;
    if (!l) return;
    // The site link shows the address's host name and sizes itself to it.
    if (ctl == Ctl::suiURLLabelG) {
        SetSiteLinkAddress(l->Label(), url, hint);
        l->TakeBounds();
        return;
    }
    l->Label().SetURL(url);
    if (!hint.empty()) l->Label().SetHint(hint);
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

void MainForm::ShowCheckProgress(const std::string& title, const std::string& text, int percent) {
    if (!check_.form) {
        constexpr int kWidth = 360, kHeight = 92;
        try {
            check_.form = std::make_unique<win::ui::Form>(app_.window(), kWidth, kHeight,
                                                          ::GetSysColor(COLOR_WINDOW), icon_.get());
        } catch (const Error&) {
            return;  // the check goes on without its window
        }
        check_.form->on_close_query = [] { return false; };  // the check cannot be cancelled
        check_.text = std::make_unique<win::ui::Label>(
            check_.form.get(), Rect::FromSize(20, 18, kWidth - 40, 20),
            win::ui::Label::Style{{.name = "微软雅黑", .height = 14}, win::ui::kGray, false, true}, text);
        check_.bar = std::make_unique<win::ui::ProgressBar>(check_.form.get(), Rect::FromSize(20, 50, kWidth - 40, 16));
        check_.bar->SetBarColor(kCopyBarColour);
        check_.form->SetCaption(title);
        ::ShowWindow(check_.form->hwnd(), SW_SHOWNORMAL);
    } else if (check_.text->Caption() != text) {
        check_.text->SetCaption(text);
    }
    check_.bar->SetPosition(percent);
    // No message loop runs yet: the window's own messages (its first paint, the display's
    // events that Wine handles while messages are read) are handled here.
    MSG msg;
    while (::PeekMessageW(&msg, check_.form->hwnd(), 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    check_.form->Update();
    ::UpdateWindow(check_.bar->hwnd());
}

void MainForm::HideCheckProgress() {
    check_.bar.reset();
    check_.text.reset();
    check_.form.reset();
}

void MainForm::Terminate() { app_.Terminate(); }

}  // namespace setup

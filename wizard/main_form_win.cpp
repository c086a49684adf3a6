#include "wizard/main_form_win.h"

#include "base/error.h"
#include "install/run.h"
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

// One rule for the four buttons at the bottom, run after every change to a button or the page.
//
// Enter goes to the button that moves the wizard on, as the user sees it: Agree while it lies
// over Next, Next, and on the finished page "完成" (Cancel); Escape to Cancel.
//
// While Agree lies over Next (any overlap), the keyboard must not reach the Next beneath it: a
// focused Next would take Enter, skip the agreement and leave "同意" standing over the folder
// page. Next then leaves the tab order, and takes its place back once Agree is hidden or moved
// away.
//
// Once agreed, Agree waits above the panel's top edge, "shown" but out of view: a button that
// lies wholly outside the panel is out of the tab order, like a hidden one.
//
// A button that is hidden, out of view, disabled or covered keeps no keyboard focus: the
// button that moves the wizard on takes it over. Hiding a focused button passes its focus on to the next control
// in the tab order (ui::MoveFocusFrom), so a button about to be hidden (`hiding`) is settled
// before it goes, counting as hidden already.
void MainForm::UpdateButtons(const WizardButton* hiding) {
    WizardButton* back = At(Ctl::suiButton1).button;
    WizardButton* next = At(Ctl::suiButton2).button;
    WizardButton* cancel = At(Ctl::suiButton3).button;
    WizardButton* agree = At(Ctl::suiButton4).button;
    if (!back || !next || !cancel || !agree || !next->Button().hwnd()) return;
    auto shown = [hiding](const WizardButton* b) { return b != hiding && b->Visible(); };
    auto in_view = [&](const WizardButton* b) {
        const ui::Rect r = b->Bounds();
        return shown(b) && r.top + r.height > 0 && r.left + r.width > 0;
    };
    const ui::Rect a = agree->Bounds(), n = next->Bounds();
    const bool agree_over_next = shown(agree) && a.left < n.left + n.width && n.left < a.left + a.width &&
                                 a.top < n.top + n.height && n.top < a.top + a.height;
    const bool next_covered = agree_over_next && shown(next);
    const bool finished = active_page_ == kPageFinished;

    agree->Button().SetDefault(agree_over_next);
    next->Button().SetDefault(!agree_over_next && !finished);
    cancel->Button().SetDefault(finished);
    cancel->Button().SetCancel(true);

    for (WizardButton* b : {back, next, cancel, agree}) {
        const HWND window = b->Button().hwnd();
        if (!window) continue;
        const bool tab_stop = in_view(b) && !(b == next && next_covered);
        const LONG style = ::GetWindowLongW(window, GWL_STYLE);
        const LONG tab_style = tab_stop ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP);
        if (tab_style != style) ::SetWindowLongW(window, GWL_STYLE, tab_style);
    }

    WizardButton* target = finished ? cancel : agree_over_next ? agree : next;
    if (!in_view(target) || !target->Enabled() || !target->Button().hwnd()) return;
    const HWND focus = ::GetFocus();
    if (!focus) return;
    for (WizardButton* b : {back, next, cancel, agree}) {
        if (b == target || focus != b->Button().hwnd()) continue;
        if (!in_view(b) || !b->Enabled() || (b == next && next_covered)) target->Button().Focus();
    }
}

void MainForm::SetActivePage(int page) {
    active_page_ = page;
    pages_->SetActivePage(page);
    UpdateButtons();
}

void MainForm::SetVisible(Ctl ctl, bool visible) {
    WizardButton* button = At(ctl).button;
    if (button && !visible) UpdateButtons(button);  // while it still holds a focus to hand on
    if (ui::Control* c = At(ctl).control) c->SetVisible(visible);
    if (button && visible) UpdateButtons();
}

bool MainForm::Visible(Ctl ctl) {
    ui::Control* c = At(ctl).control;
    return c && c->Visible();
}

void MainForm::SetEnabled(Ctl ctl, bool enabled) {
    if (ui::Control* c = At(ctl).control) c->SetEnabled(enabled);
    if (At(ctl).button) UpdateButtons();
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
    if (At(ctl).button) UpdateButtons();
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

void MainForm::DropQueuedInput() {
    // What is queued now goes at once; what the system has yet to turn into messages is
    // thrown away by its time stamp when it comes out of the queue.
    app_.DropInputBefore(::GetTickCount());
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
    }
    while (::PeekMessageW(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
    }
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
            check_.form.get(), win::ui::Rect{20, 18, kWidth - 40, 20},
            win::ui::Label::Style{{L"微软雅黑", 14}, win::ui::kGray, false, true}, text);
        check_.bar = std::make_unique<win::ui::ProgressBar>(check_.form.get(), win::ui::Rect{20, 50, kWidth - 40, 16});
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

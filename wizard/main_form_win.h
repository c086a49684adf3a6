// main_form_win.h: TMainForm, the wizard's one window. It builds the window layout from the
// component layer (win/ui), runs the controller's handlers from the controls' events and
// implements the controller's view over the controls.
#pragma once

// First: it includes <windows.h> and takes back the A/W macros that would otherwise rename
// the members of the platform interfaces (CreateDirectory, MessageBox, ...).
#include "win/platform_win.h"

#include <array>
#include <memory>
#include <vector>

#include "base/platform.h"
#include "controls/hsbutton/hsbutton_control_win.h"
#include "controls/skin/image_button_control_win.h"
#include "controls/skin/url_label_control_win.h"
#include "win/application.h"
#include "win/ui/container.h"
#include "win/ui/label.h"
#include "win/ui/page_control.h"
#include "win/ui/std_controls.h"
#include "wizard/controller.h"
#include "wizard/view.h"

namespace setup {

class MainForm final : public WizardView {
public:
    // Builds the window, hidden. engine: null for the shipped installation engine. The
    // platform's parts must outlive the form.
    MainForm(win::Application& app, const Platform& platform, std::unique_ptr<WizardEngine> engine = {});
    ~MainForm() override;

    HWND hwnd() const { return form_ ? form_->hwnd() : nullptr; }
    Wizard& Controller() { return *wizard_; }
    // Runs the start-up sequence (FormCreate); the window is shown by the application's Run.
    void Create();

    // WizardView.
    void SetActivePage(int page) override;
    void SetVisible(Ctl ctl, bool visible) override;
    bool Visible(Ctl ctl) override;
    void SetEnabled(Ctl ctl, bool enabled) override;
    bool Enabled(Ctl ctl) override;
    void SetCaption(Ctl ctl, const std::string& gbk) override;
    std::string Caption(Ctl ctl) override;
    void SetTop(Ctl ctl, int top) override;
    Box Bounds(Ctl ctl) override;
    void SetSize(Ctl ctl, int width, int height) override;
    void SetWidth(Ctl ctl, int width) override;
    bool Checked(Ctl ctl) override;
    void SetChecked(Ctl ctl, bool checked) override;
    void KeepResponsive() override;
    void DropQueuedInput() override;
    void SetLinkColor(Ctl ctl, uint32_t color) override;
    void SetLinkAddress(Ctl ctl, const std::string& url, const std::string& hint) override;
    void SetProgress(Ctl ctl, int position) override;
    void SetBarColor(Ctl ctl, uint32_t color) override;
    void Repaint(Ctl ctl) override;
    void ApplyButtonRoles(const ButtonRoles& roles) override;
    void SetWindowCaption(const std::string& gbk) override;
    void SetApplicationTitle(const std::string& gbk) override;
    void ShowCheckProgress(const std::string& title, const std::string& text, int percent) override;
    void HideCheckProgress() override;
    void Terminate() override;

private:
    // The start-up check's small window: the product's name as its title, a line of text
    // and a bar, shown before the wizard window is.
    struct CheckWindow {
        std::unique_ptr<win::ui::Form> form;
        std::unique_ptr<win::ui::Label> text;
        std::unique_ptr<win::ui::ProgressBar> bar;
    };

    // One control of the layout under its name, with the typed face the view needs.
    struct Entry {
        win::ui::Control* control = nullptr;
        win::ui::Label* label = nullptr;
        skin::win::UrlLabelControl* link = nullptr;
        win::HSButtonControl* button = nullptr;
        skin::win::ImageButtonControl* browse = nullptr;
        win::ui::CheckBox* check = nullptr;
        win::ui::Edit* edit = nullptr;
        win::ui::ProgressBar* progress = nullptr;
    };

    void BuildLayout(Shell& shell);  // main_form_layout_win.cpp
    void WireEvents();
    Entry& At(Ctl ctl);
    template <class T, class... Args>
    T* Make(Args&&... args);

    win::Application& app_;
    win::UniqueIcon icon_;
    std::unique_ptr<win::ui::Form> form_;
    std::unique_ptr<win::ui::Panel> panel_;
    std::unique_ptr<win::ui::PageControl> pages_;
    std::vector<std::unique_ptr<win::ui::Control>> controls_;  // destroyed before their parents
    std::array<Entry, static_cast<size_t>(Ctl::FailuresLb) + 1> entries_{};
    std::unique_ptr<Wizard> wizard_;
    CheckWindow check_;
};

}  // namespace setup

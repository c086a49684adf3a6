// controller.h: the wizard's controller, TMainForm's handlers without the window.
//
// It owns the wizard state, drives the view through the six pages and calls the
// installation engine at its fixed points. Every decision lives here, so the native tests
// cover the whole behaviour; the Win32 window only maps these calls onto its controls.
//
// The window calls, in its life: FormCreate (creation), FormShow (first shown), the click and
// close handlers (each through Dispatch), FormDestroy. Show handlers run when a page comes
// into view, through SetActivePage.
#pragma once

#include <exception>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>

#include "base/error.h"
#include "base/platform.h"
#include "wizard/engine.h"
#include "wizard/state.h"
#include "wizard/view.h"

namespace setup {

class Wizard {
public:
    // The engine defaults to the installation engine of the shipped program.
    Wizard(const Platform& platform, WizardView& view, std::unique_ptr<WizardEngine> engine = {});

    WizardState& State() { return state_; }
    const WizardState& State() const { return state_; }
    int ActivePage() const { return active_page_; }
    // True once the program was asked to end; the window then closes without a question.
    bool Terminated() const { return terminated_; }

    // Start-up. A failure is shown in the error box and ends the program.
    void FormCreate();
    // The window is on screen for the first time: the active page comes into view.
    void FormShow();
    void FormDestroy();
    // The close box, Alt+F4 and the system menu: true lets the window close.
    bool FormCloseQuery();

    void NextBtClick();           // suiButton2, "下一步"
    void PrevBtClick();           // suiButton1, "上一步"
    void CancelBtClick();         // suiButton3, "取消" / "完成"
    void suiButton4Click();       // "同意"
    void suiImageButton1Click();  // browse for the target folder
    void WebSiteLbClick();        // the welcome page's (hidden) web-site label
    void FailuresLbClick();       // the finished page's list of what was not written

    void Sheet0Show();
    void Sheet1Show();
    void Sheet2Show();
    void Sheet3Show();
    void Sheet4Show();
    void Sheet5Show();

    // Runs one handler so that no exception leaves it: an Error (or running out of memory)
    // aborts the handler and its text is shown in the error box, as the framework does.
    template <class F>
    void Dispatch(F&& handler) noexcept;

private:
    void SetActivePage(int page);
    // The bottom buttons change only through these, each followed by the button rule
    // (wizard/buttons.h); a button about to be hidden is settled as hidden first.
    void ApplyButtonRule(std::optional<Ctl> hiding = std::nullopt);
    void SetButtonVisible(Ctl button, bool visible);
    void SetButtonEnabled(Ctl button, bool enabled);
    void SetButtonTop(Ctl button, int top);
    void RunShowHandler(int page);
    void EndProgram();
    void LoadStartupState();
    void ShowBrand();
    std::string Branded(std::string_view text) const;
    const std::string& BoxTitle() const { return state_.Brand.box_title; }
    void ReadEarlierInstallation();
    uint32_t CheckPayload();
    void RunInstallation();
    bool ValidateFolder();
    void ShowNotice(const char* text);
    void ShowError(const std::string& text) noexcept;

    Platform platform_;
    WizardView& view_;
    WizardState state_;
    std::unique_ptr<WizardEngine> engine_;
    int active_page_ = kPageWelcome;
    bool shown_ = false;
    bool terminated_ = false;
};

template <class F>
void Wizard::Dispatch(F&& handler) noexcept {
    try {
        handler();
    } catch (const Error& e) {
        ShowError(e.text());
    } catch (const std::bad_alloc&) {
        ShowError("Out of memory");
    } catch (const std::exception& e) {
        ShowError(e.what());
    } catch (...) {
        ShowError("Error");
    }
}

}  // namespace setup

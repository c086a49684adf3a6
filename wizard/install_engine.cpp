// install_engine.cpp: the wizard's engine calls bound to the installation layer (install/),
// and the copying page as the installation run sees it.
#include "base/error.h"
#include "install/finish.h"
#include "install/process_kill.h"
#include "install/run.h"
#include "install/web.h"
#include "wizard/engine.h"
#include "wizard/state.h"
#include "wizard/view.h"

namespace setup {
namespace {

constexpr int kCopyLabelWidth = 300;

// The run's view of the copying page, over the wizard's view: every change is drawn at once,
// because the run keeps the message loop waiting (it handles only what KeepResponsive lets
// through, between pieces of the payload).
class CopyPage final : public CopyPageView {
public:
    explicit CopyPage(WizardView& view) : view_(view) {}

    void SetStatus(const std::string& text) override { SetLabel(Ctl::WorkLb, text); }
    void ShowFileName(const std::string& text) override { SetLabel(Ctl::FNameLb, text); }
    void HideFileName() override {
        view_.SetVisible(Ctl::FNameLb, false);
        view_.Repaint(Ctl::FNameLb);
    }
    void SetProgress(uint32_t colour, int position) override {
        view_.SetBarColor(Ctl::CopyProgress, colour);
        view_.SetProgress(Ctl::CopyProgress, position);
        view_.Repaint(Ctl::CopyProgress);
    }
    void HideHeadings() override {
        view_.SetVisible(Ctl::Label8, false);
        view_.SetVisible(Ctl::Label12, false);
    }
    void KeepResponsive() override { view_.KeepResponsive(); }

private:
    void SetLabel(Ctl ctl, const std::string& text) {
        view_.SetCaption(ctl, text);
        view_.SetWidth(ctl, kCopyLabelWidth);
        view_.Repaint(ctl);
    }
    WizardView& view_;
};

class InstallEngine final : public WizardEngine {
public:
    InstallEngine(const Platform& platform, WizardState& state, WizardView& view)
        : platform_(platform), state_(state), copy_page_(view) {}

    void EndHelperPrograms() override { setup::EndHelperPrograms(platform_.shell, state_.Brand.end_programs); }

    void RunInstallation() override {
        // Start-up opens the payload before the window opens; without it the wizard never
        // gets this far.
        if (!state_.PayloadStream) throw Error("Resource " + std::string(kPayloadResource) + " not found");
        InstallContext ctx{state_.Config,
                           *state_.PayloadStream,
                           state_.ProductKey,
                           state_.InstallKey,
                           state_.Installing,
                           state_.Report,
                           platform_,
                           copy_page_,
                           state_.Brand.box_title};
        setup::RunInstallation(ctx);
    }

    void Finish(const FinishChoices& choices) override {
        RunFinishActions(state_.Config, platform_, choices, state_.Brand.site);
    }
    void ShowAuthorWebSite() override { setup::ShowAuthorWebSite(platform_.shell, state_.Config.Site()); }

private:
    Platform platform_;
    WizardState& state_;
    CopyPage copy_page_;
};

}  // namespace

std::unique_ptr<WizardEngine> MakeInstallEngine(const Platform& platform, WizardState& state,
                                                WizardView& view) {
    return std::make_unique<InstallEngine>(platform, state, view);
}

}  // namespace setup

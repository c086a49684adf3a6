// install_engine.cpp: binds the wizard's engine calls to the installation layer (install/).
#include "wizard/engine.h"
#include "wizard/state.h"
#include "wizard/view.h"

namespace setup {
namespace {

// Until install/ provides the run, the process termination and the finish actions, each call
// below is where it plugs in; the run meanwhile does nothing but raise and drop Installing,
// so Next on the ready page passes through the copying page to the finished page.
class InstallEngine final : public WizardEngine {
public:
    InstallEngine(const Platform& platform, WizardState& state, WizardView& view)
        : platform_(platform), state_(state), view_(view) {}

    void Button1Click() override {}  // install/: KillProcessesByName(shell, "ZENTA-X.exe")
    void Button2Click() override {}  // install/: KillProcessesByName(shell, "KOV-H-Up.exe")
    void RunInstallation() override {
        // install/: RunInstallation(platform_, state_, copy page of view_)
        state_.Installing = true;
        state_.Installing = false;
        view_.SetVisible(Ctl::Label8, false);
        view_.SetVisible(Ctl::Label12, false);
    }
    void BPingClick() override {}             // install/: BPingClick
    void StartInstalledProgram() override {}  // install/: StartInstalledProgram
    void ShowAuthorWebSite() override {}      // install/: ShowAuthorWebSite

private:
    Platform platform_;
    WizardState& state_;
    WizardView& view_;
};

}  // namespace

std::unique_ptr<WizardEngine> MakeInstallEngine(const Platform& platform, WizardState& state,
                                                WizardView& view) {
    return std::make_unique<InstallEngine>(platform, state, view);
}

}  // namespace setup

// engine.h: the installation engine's entry points as the wizard calls them. They stand for
// the hidden command buttons Button1, Button2 and BPing and for the engine's own methods;
// the controller calls them in its fixed order and knows nothing of what they do.
#pragma once

#include <memory>

#include "base/platform.h"

namespace setup {

struct WizardState;
class WizardView;

class WizardEngine {
public:
    virtual ~WizardEngine() = default;
    virtual void Button1Click() = 0;           // ends the brand's first program ("ZENTA-X.exe")
    virtual void Button2Click() = 0;           // ends its others ("KOV-H-Up.exe")
    virtual void RunInstallation() = 0;        // synchronous; sets and clears Installing
    virtual void BPingClick() = 0;             // opens the tutorial page when online
    virtual void StartInstalledProgram() = 0;  // the deferred launcher
    virtual void ShowAuthorWebSite() = 0;      // the welcome page's web-site label
};

// The engine of the shipped program, working on the window's state and copying page.
std::unique_ptr<WizardEngine> MakeInstallEngine(const Platform& platform, WizardState& state,
                                                WizardView& view);

}  // namespace setup

// engine.h: the installation engine's entry points as the wizard calls them. The controller
// calls them at its fixed points and knows nothing of what they do.
#pragma once

#include <memory>

#include "base/platform.h"
#include "install/finish.h"

namespace setup {

struct WizardState;
class WizardView;

class WizardEngine {
public:
    virtual ~WizardEngine() = default;
    virtual void EndHelperPrograms() = 0;   // ends the brand's programs, in their order
    virtual void RunInstallation() = 0;     // synchronous; sets and clears Installing
    // "完成" with the finished page's choices: the tutorial page, then the installed program
    // or the target folder. An Error escapes to the caller.
    virtual void Finish(const FinishChoices& choices) = 0;
    virtual void ShowAuthorWebSite() = 0;   // the welcome page's web-site label
};

// The engine of the shipped program, working on the window's state and copying page.
std::unique_ptr<WizardEngine> MakeInstallEngine(const Platform& platform, WizardState& state,
                                                WizardView& view);

}  // namespace setup

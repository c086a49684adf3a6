// state.h: the wizard state that the window owns for its whole life.
#pragma once

#include <optional>
#include <string>

#include "install/run.h"
#include "package/brand.h"
#include "package/payload_stream.h"
#include "package/setup_config.h"

namespace setup {

struct WizardState {
    SetupConfig Config;                    // the decoded record; Folder is the chosen target
    setup::Brand Brand;                    // "SETUPBRAND", or the built-in brand
    // "SETUPPACK", once start-up has checked it; inflated again by the installation run.
    std::optional<setup::PayloadStream> PayloadStream;
    bool Installing = false;               // set by the installation run while it works
    InstallReport Report;                  // what the run could not write
    std::string ProductKey;                // "\Software\" + Company
    std::string InstallKey;                // ProductKey + "\" + FolderName
    bool AlreadyInstalled = false;         // "Setup" found under InstallKey at start-up
    std::string OldFolder;                 // "Folder" found under InstallKey at start-up
    std::string DefaultDrive;              // "D:\" or "C:\"
};

}  // namespace setup

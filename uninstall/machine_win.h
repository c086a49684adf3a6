// machine_win.h: the Win32 side of UninstallMachine (uninstall/plan.h): whole-file reads,
// shell link targets, folder listings and registry removals, through the W functions. Keys
// are opened without a 64-bit view flag, as the setup wrote them.
#pragma once

#include "uninstall/plan.h"

namespace setup::win {

class WinUninstallMachine : public UninstallMachine {
public:
    std::optional<std::vector<uint8_t>> ReadFile(const std::string& path, size_t limit) override;
    std::optional<std::string> LinkTarget(const std::string& link_path) override;
    std::vector<std::string> FolderEntries(const std::string& folder) override;
    bool DeleteValue(RegRoot root, const std::string& key, const std::string& name) override;
    bool DeleteEmptyKey(RegRoot root, const std::string& key) override;
    int SubkeyCount(RegRoot root, const std::string& key) override;
};

}  // namespace setup::win

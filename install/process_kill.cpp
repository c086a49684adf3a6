#include "install/process_kill.h"

namespace setup {

void KillProcessesByName(Shell& shell, std::string_view name) {
    for (const ProcessEntry& entry : shell.ListProcesses())
        if (entry.exe_name == name) shell.TerminateProcess(entry.pid);
}

void EndHelperPrograms(Shell& shell, const std::vector<std::string>& programs) {
    for (const std::string& name : programs) KillProcessesByName(shell, name);
}

}  // namespace setup

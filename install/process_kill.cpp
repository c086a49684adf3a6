#include "install/process_kill.h"

namespace setup {

void KillProcessesByName(Shell& shell, std::string_view name) {
    for (const ProcessEntry& entry : shell.ListProcesses())
        if (entry.exe_name == name) shell.TerminateProcess(entry.pid);
}

void EndHelperPrograms(Shell& shell) {
    KillProcessesByName(shell, kHelperProgramX);
    KillProcessesByName(shell, kHelperProgramUp);
}

}  // namespace setup

// process_kill.h: ends running copies of the product's helper programs before files are
// replaced. The wizard does this on every press of Next, before the page changes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/platform.h"
#include "package/brand.h"

namespace setup {

// The built-in brand's helper programs, by executable file name (a package's brand may name
// others: Brand::end_programs).
inline constexpr std::string_view kHelperProgramX = kDefaultEndProgram1;   // Button1Click
inline constexpr std::string_view kHelperProgramUp = kDefaultEndProgram2;  // Button2Click

// Terminates every running process whose executable file name equals name byte for byte
// (case-sensitive: zenta-x.exe is not ZENTA-X.exe). Nothing is reported; a process that
// cannot be ended is left running, and nothing waits for the ended ones to be gone.
void KillProcessesByName(Shell& shell, std::string_view name);

// Ends the brand's programs in their order (the built-in brand: ZENTA-X.exe, then
// KOV-H-Up.exe, as Button1Click and Button2Click did).
void EndHelperPrograms(Shell& shell, const std::vector<std::string>& programs);

}  // namespace setup

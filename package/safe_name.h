// safe_name.h: whether a stored file name stays inside the target folder, and whether a
// name is one plain file name.
#pragma once

#include <string_view>

namespace setup {

// A stored Name is safe when it begins with exactly one "\", has no empty, "." or ".."
// component, no ":" (drive letters, streams), no "/", no control characters or characters
// Windows forbids in file names (< > " | ? * are refused; "*." rows are skipped elsewhere),
// no component that is a device name (CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM0-9, LPT0-9,
// with or without an extension), and no component ending in a blank or a dot. GBK-aware: a
// trail byte that equals "\" (0x5C) inside a two-byte character is not a separator; a lead
// byte without a valid trail byte (0x40..0xFE except 0x7F) and the byte 0xFF are refused.
bool IsSafeStoredName(std::string_view gbk_name);

// A name that can stand alone as one file or folder name: a stored name of one component
// without its leading "\" (no "\", not empty, nothing that would lead out of the folder it is
// put in: "..", ":", "/", device names ...). Shortcut link names and the start-menu group.
bool IsPlainFileName(std::string_view gbk_name);

}  // namespace setup

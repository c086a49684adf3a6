// file_copy.h: the packed files written from one pass over the payload.
//
// The payload streams by once, in order (PayloadStream). The table's rows are planned in
// the order of their bytes in the payload (Offset, then table order), so rows may lie out of
// order, overlap or share bytes: each row is opened when the stream reaches its Offset and
// put in place when the stream passes its end; several may be open at once. Each file is
// written under a temporary name and replaces the old one only when complete
// (FileSystem::NewFile): a file that fails leaves the old one and no partial file behind.
//
// What the copying page shows, per row in that order: its name when it is opened, then after
// it is done (written or not) the bar at floor(i * 100 / FileCount) for its table index i,
// never moving back. A row that cannot be written gets the per-file message as soon as that
// is known, and is listed in the run's report; the other rows go on. A file whose old copy is
// in use asks Retry / Cancel first. Rows skipped without a word: names with "*.". Folders are
// made in table order before the pass; a row whose folder cannot be made, or lies through a
// link inside the target, is reported like a file that cannot be written.
#pragma once

#include "install/run.h"

namespace setup {

// Throws Error when the pass itself fails (the payload cannot be read or is damaged).
void CopyFiles(InstallContext& ctx);

}  // namespace setup

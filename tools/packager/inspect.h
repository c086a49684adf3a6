// inspect.h: reading a finished setup executable back, as the setup program reads it.
#pragma once

#include <filesystem>
#include <ostream>

namespace setup::packager {

// Prints the resource table, the decoded record (texts as UTF-8, the three tables, counts,
// PackSum) and verifies the payload: its byte sum against PackSum, every file row's range,
// every shortcut's file row, every stored name and link name the setup would refuse (and
// stored names extract cannot write) and the record check the setup makes at start-up.
// Returns true when every check passed. Throws PackError when the file is not a readable PE
// image.
bool Inspect(const std::filesystem::path& exe, std::ostream& out);

// Writes every file of the payload under `dir` (stored names become relative UTF-8 paths,
// stored_path.h); refuses unsafe names and ranges outside the payload before writing
// anything, and writes through no symbolic link below `dir`. Returns the number of files.
size_t Extract(const std::filesystem::path& exe, const std::filesystem::path& dir, std::ostream& out);

}  // namespace setup::packager

// stored_path.h: where `extract` writes a stored file name, and writing there without leaving
// the target folder.
#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace setup::packager {

// The stored name's components as UTF-8 file names ("\文档\说明.txt" gives "文档", "说明.txt").
// The name is split on "\" as a GBK character (never on a trail byte 0x5C) and each component
// converted on its own. Nullopt, with the reason in *why, when the name is not a safe stored
// name or a component does not convert from GBK exactly, or is empty, ".", "..", or holds
// "/" or NUL once converted.
std::optional<std::vector<std::string>> MapStoredName(std::string_view gbk, std::string* why = nullptr);

// Writes bytes to dir/components[0]/.../components[n-1], creating the folders on the way.
// Follows no symbolic link below dir (one in the way is refused) and replaces an existing
// file by a new one, so nothing outside dir is written through a link. Throws PackError.
void WriteBelow(const std::filesystem::path& dir, const std::vector<std::string>& components,
                std::span<const uint8_t> bytes);

}  // namespace setup::packager

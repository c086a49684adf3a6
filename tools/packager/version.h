// version.h: the packaging tool's version, shown by `pack-setup --version`.
#pragma once

namespace setup::packager {

inline constexpr const char kToolName[] = "pack-setup";
inline constexpr const char kToolVersion[] = "1.1.0";

}  // namespace setup::packager

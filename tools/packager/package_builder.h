// package_builder.h: turns a manifest into the resources of a package and writes the setup
// executable.
//
// The record's Folder slot is left empty: start-up always replaces it with the folder it
// chooses, and an empty slot in the copy stored as "Z_ta.cx" says plainly that the package
// itself names no folder (a drive letter chosen here would often be wrong).
// The resources are RCDATA with upper-case names and the neutral language (0), which
// FindResource's default language search tries first on every system locale.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "package/setup_config.h"
#include "tools/packager/brand_resources.h"
#include "tools/packager/manifest.h"
#include "tools/packager/pe_writer.h"

namespace setup::packager {

inline constexpr uint64_t kMaxFileSize = uint64_t{1} << 31;  // sizes and offsets stay below

struct Package {
    SetupConfig config;               // the record as written
    std::vector<uint8_t> setupini;    // packed record
    std::vector<uint8_t> setuppack;   // packed payload
    std::vector<uint8_t> setupindex;  // its block index; empty when it is one block
    std::vector<uint8_t> protocol;    // licence, GBK, CR LF
    std::optional<BrandPackage> brand;  // from [brand], when the manifest has one
    uint64_t payload_size = 0;
};

// How far a build is: bytes of the payload read and packed so far, of `total`.
struct BuildProgress {
    uint64_t total = 0, read = 0, packed = 0;
};
// Called now and then on the building thread.
using ProgressFn = std::function<void(const BuildProgress&)>;

// Checks every text, name and table of the manifest, then reads the files and the licence.
// `level` is the zlib level (0 to 9). Throws PackError naming the field or file at fault.
Package MakePackage(const Manifest& manifest, int level = 9, const ProgressFn& progress = {});

// The package's resources (three, the block index when there is one, and the brand's when
// the manifest has one) put into a copy of the stub's resources.
std::vector<Resource> PackageResources(const PeImage& stub, Package&& package);

struct BuildReport {
    int files = 0, shortcuts = 0, reg_values = 0;
    uint64_t payload_size = 0;
    size_t packed_size = 0;
    uint32_t pack_sum = 0;
    size_t setup_size = 0;
    ResourcePlacement placement;
    std::vector<std::string> warnings;  // the package builds, but would install or show badly
};

// The stored name of the built uninstaller: the uninstall entry and shortcut start it.
inline constexpr const char* kUninstallerStoredName = "\\uninstall.exe";

// With uninstaller = "builtin", appends the built `uninstaller` to the manifest's files as
// '\uninstall.exe'. Throws PackError when a [[file]] already has that name (in any letter
// case) or the built uninstaller is missing.
void AddBuiltinUninstaller(Manifest& manifest, const std::filesystem::path& uninstaller);

// The whole build: manifest, stub, package, resources, written atomically to `output`.
// Nothing is written unless every check passes: an output that is one of the inputs and a
// stub that is not the setup program are refused too. `uninstaller` is the built uninstaller,
// packed when the manifest asks for it. Throws PackError.
BuildReport BuildSetup(const std::filesystem::path& manifest, const Defines& defines,
                       const std::filesystem::path& stub, const std::filesystem::path& output, int level = 9,
                       const ProgressFn& progress = {}, const std::filesystem::path& uninstaller = {});

// Writes bytes to a temporary file beside `path` and renames it over `path`, so a failure
// leaves no partial file behind. Throws PackError.
void WriteFileAtomically(const std::filesystem::path& path, std::span<const uint8_t> bytes);

std::vector<uint8_t> ReadWholeFile(const std::filesystem::path& path, const std::string& what);

}  // namespace setup::packager

// build_checks.h: what `pack-setup build` refuses or warns about beyond the record's own
// limits: an output that would overwrite one of the build's inputs, a stub that is not the
// setup program, and packages that build but install or show badly.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "package/setup_config.h"
#include "tools/packager/manifest.h"
#include "tools/packager/resource_tree.h"

namespace setup::packager {

// Throws PackError when `output` is the manifest, the stub, the licence or a packed file,
// by path (the output need not exist yet) or by identity (links to the same file).
void RefuseOutputOverInput(const Manifest& manifest, const std::filesystem::path& stub,
                           const std::filesystem::path& output);

// The names of the resources the setup program loads by name that `resources` lacks; empty
// for a setup stub (or a setup built from one).
std::vector<std::string> MissingStubResources(const std::vector<Resource>& resources);

// Estimated width in pixels of GBK text in a font `font_px` pixels high.
int EstimatedTextWidth(std::string_view gbk, int font_px);

// Warnings for a package that builds but would install or show badly: no uninstaller, no
// files, texts too wide for their labels on the wizard. Each is one line, without a prefix.
std::vector<std::string> PackageWarnings(const Manifest& manifest, const SetupConfig& config);

}  // namespace setup::packager

// brand_resources.h: the resources a manifest's [brand] table puts into the stub: the brand
// texts ("SETUPBRAND", package/brand.h), the version resource written from [product], and the
// pictures and icons that replace the stub's own.
//
// Each picture is checked for its kind and its size, which are those of the stub's own
// picture it replaces (resources/wizard.rc) and of the place the window layout gives it:
//   logo          JPEG 130 x 30       JPG_LOGO, the heading area from the licence page on
//   welcome_logo  JPEG 180 x 45       JPG_WELCOME, the welcome page's brand line
//   banners       4 x JPEG 631 x 20   JPG_HEADER1..4, the strips atop pages 1 to 4
//   ready_picture JPEG 139 x 92       JPG_READY_SIDE, the ready page's picture
//   picture       BMP 100 x 100       PRODUCT, the welcome page's product picture (24 or
//                                     32 bits, uncompressed; stored packed)
//   finish_icon   .ico with a 64 x 64 image             icon group FINISH
//   icon          .ico with 16, 32 and 48 pixel images  icon groups APPICON and MAINICON
// JPEGs are baseline or progressive, grey or colour; icon images PNG or BMP, at most 256 px.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "package/brand.h"
#include "package/setup_config.h"
#include "tools/packager/manifest.h"
#include "tools/packager/resource_tree.h"

namespace setup::packager {

inline constexpr uint16_t kRtIcon = 3;
inline constexpr uint16_t kRtGroupIcon = 14;
inline constexpr uint16_t kRtVersion = 16;

// One icon image of an .ico file, with its directory entry.
struct IconImage {
    int width = 0, height = 0;
    uint8_t colors = 0;
    uint16_t planes = 0, bit_count = 0;
    std::vector<uint8_t> data;
};

// An icon group to put in place of the stub's groups of these names (all pointing at the
// same images).
struct IconReplacement {
    std::vector<std::string> groups;
    std::vector<IconImage> images;
};

// Everything [brand] asks for, read and checked, ready to go into a stub.
struct BrandPackage {
    Brand brand;                         // GBK
    std::vector<uint8_t> setupbrand;     // the encoded brand
    std::vector<uint8_t> version;        // VS_VERSIONINFO
    std::vector<Resource> pictures;      // RCDATA replacing the stub's pictures
    std::vector<IconReplacement> icons;
};

// The brand texts of the [brand] table, checked. Throws PackError naming the line and key.
Brand ManifestBrandTexts(const Manifest& manifest);

// Reads and checks the [brand] table; `config` gives the version resource's texts.
// Throws PackError naming the manifest line and the key at fault.
BrandPackage MakeBrandPackage(const Manifest& manifest, const SetupConfig& config);

// Puts the brand's resources into the stub's list, replacing the stub's pictures, icons and
// version resource (an icon image no remaining group uses goes with its group).
void PutBrandResources(std::vector<Resource>& list, BrandPackage&& brand);

// Checks made on the picture files, exposed for the tests. Each returns "" when the bytes
// are fit, otherwise what is wrong with them ("a PNG picture, not a JPEG", "640 x 480, not
// 130 x 30").
std::string JpegProblem(const std::vector<uint8_t>& bytes, int width, int height);
// The bitmap resource bytes (the BMP file without its file header), or a problem.
std::string BmpProblem(const std::vector<uint8_t>& bytes, int width, int height, std::vector<uint8_t>* dib);
// The images of an .ico file, or a problem.
std::string IcoProblem(const std::vector<uint8_t>& bytes, std::vector<IconImage>* images);

// The VS_VERSIONINFO resource: fixed part from the version text's numbers ("V29.5" gives
// 29.5.0.0), strings in UTF-16 under language 0804 (Simplified Chinese), code page 1200.
std::vector<uint8_t> VersionResource(const SetupConfig& config);

}  // namespace setup::packager

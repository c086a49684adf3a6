// brand.h: the vendor's brand: the word the wizard names the product family with, the
// message-box title, the web site, and the programs ended before files are replaced. A
// package may carry its own in the RCDATA resource "SETUPBRAND"; without one the program
// shows its built-in brand, the defaults below.
//
// Resource layout (little-endian):
//   0  4  "ZBRD"
//   4  1  format version, 1
//   5  1  number of fields
//   6     the fields, tags strictly ascending, each once:
//           tag (1 byte), length (2 bytes), that many bytes of GBK text
//         1 name, 2 box_title, 3 site, 4 licence_url,
//         5 end_programs (the names joined by one zero byte; zero bytes: none)
//         the last field ends where the resource ends.
// A field left out keeps its default. Every field is checked as BrandProblem checks it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/platform.h"

namespace setup {

inline constexpr const char kBrandResource[] = "SETUPBRAND";

// The built-in brand.
inline constexpr const char kDefaultBrandName[] = "青岚护卫";
inline constexpr const char kDefaultBoxTitle[] = " ZENTA";  // one leading blank
inline constexpr const char kDefaultSite[] = "https://www.zenta.example/";
inline constexpr const char kDefaultEndProgram1[] = "ZENTA-X.exe";
inline constexpr const char kDefaultEndProgram2[] = "KOV-H-Up.exe";

// Limits of the fields, in GBK bytes.
inline constexpr size_t kBrandNameMax = 64;
inline constexpr size_t kBoxTitleMax = 64;
inline constexpr size_t kSiteMax = 255;
inline constexpr size_t kEndProgramMax = 128;
inline constexpr size_t kEndProgramsMax = 16;  // names

struct Brand {
    std::string name = kDefaultBrandName;    // replaces the built-in brand word in the texts
    std::string box_title = kDefaultBoxTitle;
    std::string site = kDefaultSite;         // "http://" or "https://" ..., ends with "/"
    std::string licence_url;                 // empty: site + "license.html"
    // Executable file names, compared exactly (case-sensitive), ended in this order.
    std::vector<std::string> end_programs{kDefaultEndProgram1, kDefaultEndProgram2};

    bool operator==(const Brand&) const = default;
};

// The licence page's address: licence_url, or "license.html" under the site.
std::string LicenceAddress(const Brand& brand);

// A wizard text as the brand shows it: with the built-in name the text itself; with another,
// every "青岚护卫" becomes the name and "护卫提示" (the questions' opening) the name + "提示".
// Whole GBK characters are matched, never the halves of two.
std::string BrandText(const Brand& brand, std::string_view text);

// What makes a brand unfit, as "<field>: <reason>" (fields named as the manifest's keys);
// empty when it is fit. Texts must be GBK without control characters and within their
// limits; the name and the box title not empty; the site and the licence address http:// or
// https:// addresses (the site ending in "/"); end programs plain file names, no more than
// kEndProgramsMax of them.
std::string BrandProblem(const Brand& brand);

// The resource for a fit brand (every field but an empty licence_url).
std::vector<uint8_t> EncodeBrand(const Brand& brand);
// The brand a resource describes; nullopt when it does not follow the layout or a field is
// unfit.
std::optional<Brand> DecodeBrand(std::span<const uint8_t> bytes);

// The brand of a module: its "SETUPBRAND" resource, the built-in brand when it has none, and
// nullopt when the resource is damaged.
std::optional<Brand> LoadBrand(Resources& resources);

}  // namespace setup

// manifest.h: the TOML manifest that describes one package.
//
//   licence = "licence.txt"            # UTF-8 text; stored as "PROTOCOL" in GBK with CR LF
//   uninstaller = "builtin"            # optional: pack the uninstaller this project builds as
//                                      #   '\uninstall.exe' (pack-setup --uninstaller, default
//                                      #   uninstaller.exe beside pack-setup); no [[file]] may then
//                                      #   be stored under that name, in any letter case
//
//   [product]                          # texts of the record, UTF-8; stored as GBK
//   author = "ZENTA"                   # also: company, site, rights_notice, version,
//   product_name = "ZENTA-KOV"         #   release_date, folder_name, category, intro,
//   ...                                #   date, reserved_date
//
//   [[file]]                           # one row per file, payload in this order
//   source = "${BUILD}/ZENTA-KOV.exe"  # relative to the manifest's folder; ${NAME} from --define
//   name = '\ZENTA-KOV.exe'            # stored name: "\" then a path inside the target folder
//   text = true                        # optional: UTF-8 text stored as GBK with CR LF
//
//   [[shortcut]]
//   link = "ZENTA-KOV"                 # file name of the .lnk, without ".lnk"
//   file = '\ZENTA-KOV.exe'            # a stored name, or a row number from 0
//   place = "desktop"                  # "desktop", "group" (start-menu group) or "both"
//   arguments = ""                     # optional
//
//   [[registry]]
//   root = "HKLM"                      # or "HKCU" (also the HKEY_... spellings)
//   key = 'Software\ZENTA\Options'
//   name = "Skin"                      # value name; "" is the key's default value
//   value = "Blue"                     # a string, an integer (32-bit) or a boolean
//
//   [brand]                            # optional: the vendor's brand; without it, the built-in one
//   name = "极光"                       # replaces the brand word "青岚护卫" in the wizard's texts
//   box_title = "AcmeNotes"            # title of every message box (default " ZENTA")
//   site = "https://acme.example/"     # root of the licence, tutorial and site links
//   licence_url = "https://acme.example/eula.html"  # the licence link (default site + "license.html")
//   end_programs = ["AcmeSync.exe"]    # ended before files are replaced (exact names; [] none)
//   logo = "art/logo.jpg"              # pictures replacing the stub's own; each checked for its
//   welcome_logo = "art/brand.jpg"     #   kind and size (brand_resources.h): JPEG 130 x 30,
//   banners = ["1.jpg", "2.jpg", "3.jpg", "4.jpg"]  # JPEG 180 x 45, four JPEG 631 x 20,
//   ready_picture = "art/ready.jpg"    #   JPEG 139 x 92,
//   picture = "art/product.bmp"        #   BMP 100 x 100 (24 or 32 bits), an .ico with a
//   finish_icon = "art/done.ico"       #   64 x 64 image, an .ico with 16, 32 and 48 pixel
//   icon = "art/setup.ico"             #   images (the setup.exe's own icon)
// With [brand] the setup.exe's version resource also comes from [product]: CompanyName
// (company), ProductName, ProductVersion and FileVersion (version), FileDescription
// (product_name + " 安装程序"), LegalCopyright (rights_notice).
//
// Unknown keys are refused, so a misspelt key never passes silently.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "package/setup_config.h"

namespace setup::packager {

struct ManifestFile {
    std::string name;  // UTF-8
    std::filesystem::path source;
    bool text = false;
    int line = 0;
};

struct ManifestShortcut {
    std::string link;
    std::variant<std::string, int64_t> file;  // stored name (UTF-8) or row number
    uint8_t place = 0;
    std::string arguments;
    int line = 0;
};

struct ManifestRegValue {
    std::string name;
    uint8_t root = 0;  // 0 HKEY_LOCAL_MACHINE, 1 HKEY_CURRENT_USER
    std::string key;
    uint8_t kind = 0;  // 0 boolean, 1 string, 2 integer
    bool bool_value = false;
    std::string string_value;
    int32_t int_value = 0;
    int line = 0;
};

// The [brand] table: texts in UTF-8, each with its line; absent keys keep the built-in brand.
struct ManifestBrand {
    bool present = false;
    int line = 0;
    std::map<std::string, std::string> texts;  // name, box_title, site, licence_url
    std::optional<std::vector<std::string>> end_programs;
    std::map<std::string, std::filesystem::path> pictures;  // logo, welcome_logo, picture, ...
    std::vector<std::filesystem::path> banners;              // empty or four
    std::map<std::string, int> lines;                        // key -> line
};

struct ManifestText {
    TextField field;
    const char* key;  // under [product]
};
// The record's texts a manifest may set, in record order.
extern const ManifestText kManifestTexts[12];

struct Manifest {
    std::filesystem::path path;
    std::map<TextField, std::string> texts;  // UTF-8; absent keys are empty
    std::map<TextField, int> text_lines;
    std::filesystem::path licence;
    std::vector<ManifestFile> files;
    std::vector<ManifestShortcut> shortcuts;
    std::vector<ManifestRegValue> registry;
    bool builtin_uninstaller = false;  // uninstaller = "builtin"
    int uninstaller_line = 0;
    ManifestBrand brand;

    std::string Where(int line) const;  // "path:line"
};

using Defines = std::map<std::string, std::string>;

// Parses the manifest; source paths come back with ${NAME} replaced from `defines` and made
// relative to the manifest's folder. Throws PackError with the file and line at fault.
Manifest ReadManifest(const std::filesystem::path& path, const Defines& defines);

}  // namespace setup::packager

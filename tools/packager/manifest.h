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
// Unknown keys are refused, so a misspelt key never passes silently.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
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

    std::string Where(int line) const;  // "path:line"
};

using Defines = std::map<std::string, std::string>;

// Parses the manifest; source paths come back with ${NAME} replaced from `defines` and made
// relative to the manifest's folder. Throws PackError with the file and line at fault.
Manifest ReadManifest(const std::filesystem::path& path, const Defines& defines);

}  // namespace setup::packager

// skin_file.h: reading (and, for tools and tests, writing) skin files. The format is
// described in SKINFILE.md beside this file: a small archive whose entry "SKINDATA.SK2"
// holds keyed records of colours, bitmaps, integers and flags, deflated with zlib and
// scrambled with the skin's password.
//
//   SkinData       the decoded items, addressed by the four numberings of a skin file
//   ReadSkinFile   archive bytes + password -> SkinData; throws Error("Failed to read skin file!")
//   WriteSkinFile  SkinData + password -> archive bytes
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/image.h"

namespace setup::skin {

inline constexpr int kSkinColorCount = 32;
inline constexpr int kSkinBitmapCount = 34;
inline constexpr int kSkinIntegerCount = 9;
inline constexpr int kSkinFlagCount = 9;

// Item numbers the controls ask for.
inline constexpr int kSkinColorControlBorder = 22;  // "SKIN2_CONTROLBORDERCOLOR"
inline constexpr int kSkinColorControlFont = 23;    // "SKIN2_CONTROLFONTCOLOR"
inline constexpr int kSkinBitmapButton = 15;        // "SKIN2_BUTTON", 3 frames
inline constexpr int kSkinBitmapCheckBox = 16;      // "SKIN2_CHECKBOX", 6 frames
inline constexpr int kSkinBitmapRadioButton = 18;   // "SKIN2_RADIOBUTTON", 4 frames

// Key names, indexed by item number.
std::span<const std::string_view> SkinColorKeys();
std::span<const std::string_view> SkinBitmapKeys();
std::span<const std::string_view> SkinIntegerKeys();
std::span<const std::string_view> SkinFlagKeys();

inline constexpr std::string_view kSkinDataEntry = "SKINDATA.SK2";
inline constexpr std::string_view kSkinReadError = "Failed to read skin file!";

// Items a skin does not give read as colour 0, integer 0, flag false and no bitmap.
struct SkinData {
    std::array<Color, kSkinColorCount> colors{};
    std::array<Image, kSkinBitmapCount> bitmaps{};
    std::array<int32_t, kSkinIntegerCount> integers{};
    std::array<bool, kSkinFlagCount> flags{};
};

// Throws setup::Error(kSkinReadError) for anything it cannot read: not an archive, a damaged
// or truncated one, no "SKINDATA.SK2" entry, a wrong password, a damaged record.
SkinData ReadSkinFile(std::span<const uint8_t> file, std::string_view password);

// Archive entries for WriteArchive / ReadArchiveEntry (exposed for tools and tests).
struct ArchiveEntry {
    std::string name;
    std::vector<uint8_t> data;  // unpacked bytes
    bool scrambled = true;      // protected by the password
};
std::vector<uint8_t> WriteArchive(std::span<const ArchiveEntry> entries, std::string_view password);
// The unpacked bytes of the named entry; nullopt when the archive has no such entry. Throws
// Error(kSkinReadError) when the archive is damaged or the password does not open the entry.
std::optional<std::vector<uint8_t>> ReadArchiveEntry(std::span<const uint8_t> archive, std::string_view name,
                                                     std::string_view password);

// The records of "SKINDATA.SK2" for the given items (every item that is not neutral).
std::vector<uint8_t> EncodeSkinData(const SkinData& data);
std::vector<uint8_t> WriteSkinFile(const SkinData& data, std::string_view password);

// A 24-bit .bmp file of the image (bottom-up, with file header).
std::vector<uint8_t> EncodeBmpFile(const Image& image);

}  // namespace setup::skin

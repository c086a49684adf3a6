// record_layout.h: byte offsets of SetupConfig, in one place (internal to package/).
//
// Every field is listed with its offset and its size; the static checks below prove that the
// fields follow each other without gaps except at the listed reserved stretches, and that the
// three tables and the whole record have their fixed sizes. Readers and writers of the record
// use these names only.
#pragma once

#include <cstddef>

#include "package/format.h"
#include "package/setup_config.h"

namespace setup::layout {

// Short-string slot: length byte + capacity text bytes.
struct Slot {
    size_t offset;
    size_t size;
    constexpr size_t end() const { return offset + size; }
    constexpr size_t capacity() const { return size - 1; }
};

// Header fields.
inline constexpr Slot kAuthor{0x000, 129};
inline constexpr Slot kCompany{0x081, 129};
inline constexpr Slot kSite{0x102, 129};
inline constexpr Slot kRightsNotice{0x183, 129};
inline constexpr Slot kVersion{0x204, 129};
inline constexpr Slot kReleaseDate{0x285, 9};
inline constexpr Slot kProductName{0x28E, 129};
inline constexpr Slot kFolderName{0x30F, 129};
inline constexpr Slot kCategory{0x390, 129};
inline constexpr Slot kIntro{0x411, 129};
inline constexpr Slot kDate{0x492, 9};
inline constexpr Slot kReservedDate{0x49B, 9};
inline constexpr Slot kFolder{0x4A4, 129};
inline constexpr size_t kHeaderReserved = 0x525;  // 3 bytes, zero
inline constexpr size_t kHeaderReservedSize = 3;
inline constexpr size_t kPackSum = 0x528;         // u32

// Tables and counts.
inline constexpr size_t kFiles = 0x52C;
inline constexpr size_t kFileRowSize = 140;
inline constexpr size_t kFileCount = 0x912C;      // i32
inline constexpr size_t kShortcuts = 0x9130;
inline constexpr size_t kShortcutRowSize = 268;
inline constexpr size_t kShortcutCount = 0x19D30;  // i32
inline constexpr size_t kRegValues = 0x19D34;
inline constexpr size_t kRegValueRowSize = 396;
inline constexpr size_t kRegValueCount = 0x32934;  // i32

// PackedFileEntry, offsets within the row.
namespace file_row {
inline constexpr Slot kName{0, kStoredNameCapacity + 1};
inline constexpr size_t kReserved = 128;  // 00 00 01 00 in used rows
inline constexpr size_t kOffset = 132;     // u32
inline constexpr size_t kSize = 136;       // u32
}  // namespace file_row

// ShortcutEntry.
namespace shortcut_row {
inline constexpr Slot kLinkName{0, kLinkNameCapacity + 1};
inline constexpr size_t kFileIndex = 132;  // u32
inline constexpr size_t kPlace = 136;      // u8
inline constexpr Slot kArguments{137, kRowTextCapacity + 1};
inline constexpr size_t kReserved = 266;   // 2 bytes, zero
}  // namespace shortcut_row

// RegValueEntry.
namespace reg_row {
inline constexpr Slot kValueName{0, kRowTextCapacity + 1};
inline constexpr size_t kRoot = 129;       // u8
inline constexpr Slot kKeyPath{130, kRowTextCapacity + 1};
inline constexpr size_t kKind = 259;       // u8
inline constexpr size_t kBoolValue = 260;  // u8
inline constexpr Slot kStringValue{261, kRowTextCapacity + 1};
inline constexpr size_t kReserved = 390;   // 2 bytes, zero
inline constexpr size_t kIntValue = 392;   // i32
}  // namespace reg_row

// The header slots follow each other without gaps.
static_assert(kAuthor.offset == 0);
static_assert(kCompany.offset == kAuthor.end());
static_assert(kSite.offset == kCompany.end());
static_assert(kRightsNotice.offset == kSite.end());
static_assert(kVersion.offset == kRightsNotice.end());
static_assert(kReleaseDate.offset == kVersion.end());
static_assert(kProductName.offset == kReleaseDate.end());
static_assert(kFolderName.offset == kProductName.end());
static_assert(kCategory.offset == kFolderName.end());
static_assert(kIntro.offset == kCategory.end());
static_assert(kDate.offset == kIntro.end());
static_assert(kReservedDate.offset == kDate.end());
static_assert(kFolder.offset == kReservedDate.end());
static_assert(kHeaderReserved == kFolder.end());
static_assert(kPackSum == kHeaderReserved + kHeaderReservedSize);
static_assert(kFiles == kPackSum + 4);
static_assert(kFileCount == kFiles + kMaxRows * kFileRowSize);
static_assert(kShortcuts == kFileCount + 4);
static_assert(kShortcutCount == kShortcuts + kMaxRows * kShortcutRowSize);
static_assert(kRegValues == kShortcutCount + 4);
static_assert(kRegValueCount == kRegValues + kMaxRows * kRegValueRowSize);
static_assert(kRegValueCount + 4 == kRecordSize);
static_assert(kRecordSize == 207160);

// Decimal offsets as the record's documentation gives them.
static_assert(kReleaseDate.offset == 645 && kProductName.offset == 654 && kFolder.offset == 1188);
static_assert(kPackSum == 1320 && kFiles == 1324 && kFileCount == 37164);
static_assert(kShortcuts == 37168 && kShortcutCount == 105776);
static_assert(kRegValues == 105780 && kRegValueCount == 207156);

// Rows.
static_assert(file_row::kReserved == file_row::kName.end());
static_assert(file_row::kOffset == file_row::kReserved + 4);
static_assert(file_row::kSize == file_row::kOffset + 4);
static_assert(file_row::kSize + 4 == kFileRowSize);

static_assert(shortcut_row::kFileIndex == shortcut_row::kLinkName.end());
static_assert(shortcut_row::kPlace == shortcut_row::kFileIndex + 4);
static_assert(shortcut_row::kArguments.offset == shortcut_row::kPlace + 1);
static_assert(shortcut_row::kReserved == shortcut_row::kArguments.end());
static_assert(shortcut_row::kReserved + 2 == kShortcutRowSize);

static_assert(reg_row::kRoot == reg_row::kValueName.end());
static_assert(reg_row::kKeyPath.offset == reg_row::kRoot + 1);
static_assert(reg_row::kKind == reg_row::kKeyPath.end());
static_assert(reg_row::kBoolValue == reg_row::kKind + 1);
static_assert(reg_row::kStringValue.offset == reg_row::kBoolValue + 1);
static_assert(reg_row::kReserved == reg_row::kStringValue.end());
static_assert(reg_row::kIntValue == reg_row::kReserved + 2);
static_assert(reg_row::kIntValue + 4 == kRegValueRowSize);

}  // namespace setup::layout

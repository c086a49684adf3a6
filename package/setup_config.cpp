#include "package/setup_config.h"

#include <algorithm>
#include <cstring>

#include "base/text.h"
#include "package/record_layout.h"

namespace setup {
namespace {

using layout::Slot;

uint32_t GetU32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

void PutU32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

// The N text bytes of a slot. A length byte above the capacity (a damaged record) reads only
// what the slot holds, never the next field.
std::string GetShort(const uint8_t* base, Slot slot) {
    const uint8_t* p = base + slot.offset;
    size_t n = std::min<size_t>(p[0], slot.capacity());
    return std::string(reinterpret_cast<const char*>(p + 1), n);
}

bool Fits(std::string_view text, Slot slot) { return text.size() <= slot.capacity(); }

// Writes length and text and clears the rest of the slot, so a written record carries no
// leftovers of earlier values. The caller has checked Fits().
void PutShort(uint8_t* base, Slot slot, std::string_view text) {
    uint8_t* p = base + slot.offset;
    std::memset(p, 0, slot.size);
    p[0] = static_cast<uint8_t>(text.size());
    if (!text.empty()) std::memcpy(p + 1, text.data(), text.size());
}

Slot SlotOf(TextField field) {
    switch (field) {
        case TextField::Author: return layout::kAuthor;
        case TextField::Company: return layout::kCompany;
        case TextField::Site: return layout::kSite;
        case TextField::RightsNotice: return layout::kRightsNotice;
        case TextField::Version: return layout::kVersion;
        case TextField::ReleaseDate: return layout::kReleaseDate;
        case TextField::ProductName: return layout::kProductName;
        case TextField::FolderName: return layout::kFolderName;
        case TextField::Category: return layout::kCategory;
        case TextField::Intro: return layout::kIntro;
        case TextField::Date: return layout::kDate;
        case TextField::ReservedDate: return layout::kReservedDate;
        case TextField::Folder: return layout::kFolder;
    }
    return layout::kAuthor;  // unreachable for valid enumerators
}

// A stored count as used: the tables hold kMaxRows rows.
int UsedCount(int32_t raw) { return std::clamp<int32_t>(raw, 0, kMaxRows); }

bool ValidRow(int i) { return i >= 0 && i < kMaxRows; }

}  // namespace

SetupConfig::SetupConfig() : bytes_(std::make_unique<uint8_t[]>(kRecordSize)) {}

void SetupConfig::Load(std::span<const uint8_t> decoded) {
    size_t n = std::min(decoded.size(), kRecordSize);
    if (n) std::memcpy(bytes_.get(), decoded.data(), n);
    std::memset(bytes_.get() + n, 0, kRecordSize - n);
}

std::span<const uint8_t> SetupConfig::Bytes() const { return {bytes_.get(), kRecordSize}; }

std::string SetupConfig::Text(TextField field) const { return GetShort(bytes_.get(), SlotOf(field)); }

size_t SetupConfig::Capacity(TextField field) { return SlotOf(field).capacity(); }

bool SetupConfig::SetText(TextField field, std::string_view gbk) {
    Slot slot = SlotOf(field);
    if (!Fits(gbk, slot)) return false;
    PutShort(bytes_.get(), slot, gbk);
    return true;
}

void SetupConfig::SetFolder(std::string_view folder) {
    // Cut on character boundaries: half a two-byte character left at the end would swallow
    // the "\" of every file name appended to the folder.
    std::string cut = CutGbk(folder, 255);
    cut = CutGbk(cut, layout::kFolder.capacity());
    PutShort(bytes_.get(), layout::kFolder, cut);
}

uint32_t SetupConfig::PackSum() const { return GetU32(bytes_.get() + layout::kPackSum); }
void SetupConfig::SetPackSum(uint32_t sum) { PutU32(bytes_.get() + layout::kPackSum, sum); }

int32_t SetupConfig::RawFileCount() const {
    return static_cast<int32_t>(GetU32(bytes_.get() + layout::kFileCount));
}
int32_t SetupConfig::RawShortcutCount() const {
    return static_cast<int32_t>(GetU32(bytes_.get() + layout::kShortcutCount));
}
int32_t SetupConfig::RawRegValueCount() const {
    return static_cast<int32_t>(GetU32(bytes_.get() + layout::kRegValueCount));
}
int SetupConfig::FileCount() const { return UsedCount(RawFileCount()); }
int SetupConfig::ShortcutCount() const { return UsedCount(RawShortcutCount()); }
int SetupConfig::RegValueCount() const { return UsedCount(RawRegValueCount()); }

void SetupConfig::SetCounts(int32_t files, int32_t shortcuts, int32_t reg_values) {
    PutU32(bytes_.get() + layout::kFileCount, static_cast<uint32_t>(files));
    PutU32(bytes_.get() + layout::kShortcutCount, static_cast<uint32_t>(shortcuts));
    PutU32(bytes_.get() + layout::kRegValueCount, static_cast<uint32_t>(reg_values));
}

FileRow SetupConfig::File(int i) const {
    FileRow row;
    if (!ValidRow(i)) return row;
    const uint8_t* p = bytes_.get() + layout::kFiles + size_t(i) * layout::kFileRowSize;
    row.name = GetShort(p, layout::file_row::kName);
    row.offset = GetU32(p + layout::file_row::kOffset);
    row.size = GetU32(p + layout::file_row::kSize);
    return row;
}

ShortcutRow SetupConfig::Shortcut(int i) const {
    ShortcutRow row;
    if (!ValidRow(i)) return row;
    const uint8_t* p = bytes_.get() + layout::kShortcuts + size_t(i) * layout::kShortcutRowSize;
    row.link_name = GetShort(p, layout::shortcut_row::kLinkName);
    row.file_index = GetU32(p + layout::shortcut_row::kFileIndex);
    row.place = p[layout::shortcut_row::kPlace];
    row.arguments = GetShort(p, layout::shortcut_row::kArguments);
    return row;
}

RegValueRow SetupConfig::RegValue(int i) const {
    RegValueRow row;
    if (!ValidRow(i)) return row;
    const uint8_t* p = bytes_.get() + layout::kRegValues + size_t(i) * layout::kRegValueRowSize;
    row.value_name = GetShort(p, layout::reg_row::kValueName);
    row.root = p[layout::reg_row::kRoot];
    row.key_path = GetShort(p, layout::reg_row::kKeyPath);
    row.kind = p[layout::reg_row::kKind];
    row.bool_value = p[layout::reg_row::kBoolValue];
    row.string_value = GetShort(p, layout::reg_row::kStringValue);
    row.int_value = static_cast<int32_t>(GetU32(p + layout::reg_row::kIntValue));
    return row;
}

bool SetupConfig::SetFile(int i, const FileRow& row) {
    namespace r = layout::file_row;
    if (!ValidRow(i) || !Fits(row.name, r::kName)) return false;
    uint8_t* p = bytes_.get() + layout::kFiles + size_t(i) * layout::kFileRowSize;
    PutShort(p, r::kName, row.name);
    static constexpr uint8_t kUsedRowMark[4] = {0x00, 0x00, 0x01, 0x00};
    std::memcpy(p + r::kReserved, kUsedRowMark, sizeof kUsedRowMark);
    PutU32(p + r::kOffset, row.offset);
    PutU32(p + r::kSize, row.size);
    return true;
}

bool SetupConfig::SetShortcut(int i, const ShortcutRow& row) {
    namespace r = layout::shortcut_row;
    if (!ValidRow(i) || !Fits(row.link_name, r::kLinkName) || !Fits(row.arguments, r::kArguments))
        return false;
    uint8_t* p = bytes_.get() + layout::kShortcuts + size_t(i) * layout::kShortcutRowSize;
    PutShort(p, r::kLinkName, row.link_name);
    PutU32(p + r::kFileIndex, row.file_index);
    p[r::kPlace] = row.place;
    PutShort(p, r::kArguments, row.arguments);
    p[r::kReserved] = p[r::kReserved + 1] = 0;
    return true;
}

bool SetupConfig::SetRegValue(int i, const RegValueRow& row) {
    namespace r = layout::reg_row;
    if (!ValidRow(i) || !Fits(row.value_name, r::kValueName) || !Fits(row.key_path, r::kKeyPath) ||
        !Fits(row.string_value, r::kStringValue))
        return false;
    uint8_t* p = bytes_.get() + layout::kRegValues + size_t(i) * layout::kRegValueRowSize;
    PutShort(p, r::kValueName, row.value_name);
    p[r::kRoot] = row.root;
    PutShort(p, r::kKeyPath, row.key_path);
    p[r::kKind] = row.kind;
    p[r::kBoolValue] = row.bool_value;
    PutShort(p, r::kStringValue, row.string_value);
    p[r::kReserved] = p[r::kReserved + 1] = 0;
    PutU32(p + r::kIntValue, static_cast<uint32_t>(row.int_value));
    return true;
}

// Derived values. The cuts are plain byte cuts, as the record's texts are counted in bytes;
// with the slot capacities they never take effect on a well-formed record.
std::string ProductKey(const SetupConfig& c) { return CutBytes("\\Software\\" + c.Company(), 138); }

std::string InstallKey(const SetupConfig& c) { return ProductKey(c) + "\\" + c.FolderName(); }

}  // namespace setup

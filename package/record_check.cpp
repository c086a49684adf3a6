#include "package/record_check.h"

#include <cstdint>

#include "base/text.h"
#include "package/safe_name.h"

namespace setup {

bool IsPlainFolderName(std::string_view name) {
    // Windows keeps a leading blank or dot, but such a folder or key is easily taken for
    // another (" ZENTA" beside "ZENTA"), and a product never needs one.
    return IsPlainFileName(name) && name.front() != ' ' && name.front() != '.';
}

bool IsPlainKeyName(std::string_view name) {
    if (name.empty() || name == "." || name == ".." || name.front() == ' ' || name.back() == ' ') return false;
    for (size_t i = 0; i < name.size(); ++i) {
        const uint8_t b = static_cast<uint8_t>(name[i]);
        if (IsGbkLeadByte(b)) {
            const uint8_t trail = i + 1 < name.size() ? static_cast<uint8_t>(name[i + 1]) : 0;
            if (trail < 0x40 || trail == 0x7F || trail == 0xFF) return false;
            ++i;  // a trail byte 0x5C is part of the character
        } else if (b < 0x20 || b == 0x7F || b == 0xFF || b == '\\' || b == '/') {
            return false;
        }
    }
    return true;
}

const char* RecordFieldName(RecordField field) {
    switch (field) {
        case RecordField::Company: return "Company";
        case RecordField::ProductName: return "ProductName";
        case RecordField::FolderName: return "FolderName";
        case RecordField::FileCount: return "FileCount";
        case RecordField::ShortcutCount: return "ShortcutCount";
        case RecordField::RegValueCount: return "RegValueCount";
    }
    return "?";
}

std::vector<RecordField> DamagedFields(const SetupConfig& c) {
    std::vector<RecordField> damaged;
    const auto check = [&](bool fit, RecordField field) {
        if (!fit) damaged.push_back(field);
    };
    // The counts as stored: the accessors clamp them to 0..256, which would hide the damage.
    const auto in_table = [](int32_t count) { return count >= 0 && count <= kMaxRows; };
    check(IsPlainKeyName(c.Company()), RecordField::Company);
    check(IsPlainFolderName(c.ProductName()), RecordField::ProductName);
    check(IsPlainFolderName(c.FolderName()), RecordField::FolderName);
    check(in_table(c.RawFileCount()), RecordField::FileCount);
    check(in_table(c.RawShortcutCount()), RecordField::ShortcutCount);
    check(in_table(c.RawRegValueCount()), RecordField::RegValueCount);
    return damaged;
}

}  // namespace setup

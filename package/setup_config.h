// setup_config.h: SetupConfig, the fixed 207160-byte configuration record of a package.
//
// Layout (little-endian; short string = length byte N, then N GBK bytes, slot = capacity + 1):
//
//   0x00000  Author        129      0x00285  ReleaseDate   9       0x00492  Date          9
//   0x00081  Company       129      0x0028E  ProductName   129     0x0049B  ReservedDate  9
//   0x00102  Site          129      0x0030F  FolderName    129     0x004A4  Folder        129
//   0x00183  RightsNotice  129      0x00390  Category      129     0x00525  reserved      3
//   0x00204  Version       129      0x00411  Intro         129     0x00528  PackSum       u32
//   0x0052C  Files         256 x 140 (Name 128, reserved 4, Offset u32, Size u32)
//   0x0912C  FileCount     i32
//   0x09130  Shortcuts     256 x 268 (LinkName 132, FileIndex u32, Place u8, Arguments 129, reserved 2)
//   0x19D30  ShortcutCount i32
//   0x19D34  RegValues     256 x 396 (ValueName 129, Root u8, KeyPath 129, Kind u8, BoolValue u8,
//                                     StringValue 129, reserved 2, IntValue i32)
//   0x32934  RegValueCount i32
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace setup {

inline constexpr size_t kRecordSize = 207160;
inline constexpr int kMaxRows = 256;

enum class TextField {
    Author, Company, Site, RightsNotice, Version, ReleaseDate, ProductName, FolderName,
    Category, Intro, Date, ReservedDate, Folder,
};

struct FileRow {
    std::string name;  // begins with "\"
    uint32_t offset = 0;
    uint32_t size = 0;
};

struct ShortcutRow {
    std::string link_name;
    uint32_t file_index = 0;
    uint8_t place = 0;  // 0 desktop, 1 group, other: both (group first)
    std::string arguments;
};

struct RegValueRow {
    std::string value_name;
    uint8_t root = 0;  // 0 HKEY_LOCAL_MACHINE, other HKEY_CURRENT_USER
    std::string key_path;
    uint8_t kind = 0;  // 0 boolean, 1 string, 2 integer, other: nothing written
    uint8_t bool_value = 0;
    std::string string_value;
    int32_t int_value = 0;
};

class SetupConfig {
public:
    SetupConfig();  // all zero

    // The first kRecordSize bytes of the decoded record; fewer leave the rest zero.
    void Load(std::span<const uint8_t> decoded);
    std::span<const uint8_t> Bytes() const;

    std::string Text(TextField field) const;   // the N text bytes, GBK
    static size_t Capacity(TextField field);   // slot size - 1
    // Stores a text; false (and nothing stored) when it is longer than the slot holds.
    bool SetText(TextField field, std::string_view gbk);

    std::string Author() const { return Text(TextField::Author); }
    std::string Company() const { return Text(TextField::Company); }
    std::string Site() const { return Text(TextField::Site); }
    std::string Version() const { return Text(TextField::Version); }
    std::string ReleaseDate() const { return Text(TextField::ReleaseDate); }
    std::string ProductName() const { return Text(TextField::ProductName); }
    std::string FolderName() const { return Text(TextField::FolderName); }
    std::string Category() const { return Text(TextField::Category); }
    std::string Intro() const { return Text(TextField::Intro); }
    std::string Date() const { return Text(TextField::Date); }
    std::string Folder() const { return Text(TextField::Folder); }

    // The run-time writer of Folder: cut to 255 bytes, then to 128.
    void SetFolder(std::string_view folder);

    uint32_t PackSum() const;
    void SetPackSum(uint32_t sum);

    // Counts as stored (signed) and as used: negative reads as 0, above 256 as 256.
    int32_t RawFileCount() const;
    int32_t RawShortcutCount() const;
    int32_t RawRegValueCount() const;
    int FileCount() const;
    int ShortcutCount() const;
    int RegValueCount() const;
    void SetCounts(int32_t files, int32_t shortcuts, int32_t reg_values);

    // Row access, 0 <= i < 256.
    FileRow File(int i) const;
    ShortcutRow Shortcut(int i) const;
    RegValueRow RegValue(int i) const;
    // Writers for the packaging tool. A used file row carries the reserved bytes 00 00 01 00.
    // False when a text does not fit its slot.
    bool SetFile(int i, const FileRow& row);
    bool SetShortcut(int i, const ShortcutRow& row);
    bool SetRegValue(int i, const RegValueRow& row);

private:
    std::unique_ptr<uint8_t[]> bytes_;
};

// Values derived from the record.
std::string ProductKey(const SetupConfig& c);  // "\Software\" + Company, cut to 138
std::string InstallKey(const SetupConfig& c);  // ProductKey + "\" + FolderName

}  // namespace setup

// pe_image.h: a validated read-only view of a PE32 or PE32+ executable.
//
// Parse checks every header offset, the section table and each section's raw data against
// the file size, so later code can index the file without further bounds checks on them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace setup::packager {

inline constexpr int kDirResource = 2;
inline constexpr int kDirSecurity = 4;

// Field offsets shared by the PE32 and PE32+ optional headers.
inline constexpr size_t kOptSizeOfInitializedData = 8;
inline constexpr size_t kOptSectionAlignment = 32;
inline constexpr size_t kOptFileAlignment = 36;
inline constexpr size_t kOptSizeOfImage = 56;
inline constexpr size_t kOptSizeOfHeaders = 60;
inline constexpr size_t kOptCheckSum = 64;
inline constexpr size_t kSectionHeaderSize = 40;

struct Section {
    std::string name;  // up to 8 characters
    uint32_t virtual_size = 0;
    uint32_t virtual_address = 0;
    uint32_t raw_size = 0;
    uint32_t raw_pointer = 0;
    uint32_t characteristics = 0;

    // Size in memory: the loader maps max(VirtualSize, SizeOfRawData) when VirtualSize is 0.
    uint32_t MappedSize() const { return virtual_size ? virtual_size : raw_size; }
    uint64_t VirtualEnd() const { return uint64_t{virtual_address} + MappedSize(); }
    uint64_t RawEnd() const { return uint64_t{raw_pointer} + raw_size; }
};

struct DataDirectory {
    uint32_t rva = 0;
    uint32_t size = 0;
};

class PeImage {
public:
    // Throws PackError naming `what` (the file) and the damaged field.
    static PeImage Parse(std::vector<uint8_t> bytes, std::string what);

    std::span<const uint8_t> Bytes() const { return bytes_; }
    const std::string& What() const { return what_; }
    bool Is64() const { return is64_; }
    uint16_t Machine() const { return machine_; }

    size_t FileHeaderOffset() const { return nt_ + 4; }
    size_t OptionalHeaderOffset() const { return nt_ + 24; }
    size_t SectionTableOffset() const { return section_table_; }
    size_t DirectoryTableOffset() const { return directories_; }
    uint32_t DirectoryCount() const { return directory_count_; }
    DataDirectory Directory(uint32_t index) const;

    uint32_t SectionAlignment() const { return section_alignment_; }
    uint32_t FileAlignment() const { return file_alignment_; }
    uint32_t SizeOfHeaders() const { return size_of_headers_; }
    uint32_t PointerToSymbolTable() const { return symbol_table_; }
    const std::vector<Section>& Sections() const { return sections_; }

    // Index of the section whose mapped range holds rva, or -1.
    int SectionOf(uint32_t rva) const;
    // File offset of [rva, rva + size) when that range lies inside one section's raw data.
    std::optional<size_t> RvaToOffset(uint32_t rva, uint32_t size) const;
    // Where the sections' raw data end; bytes from here to the end of the file are an overlay.
    size_t OverlayStart() const;

private:
    std::vector<uint8_t> bytes_;
    std::string what_;
    bool is64_ = false;
    uint16_t machine_ = 0;
    size_t nt_ = 0;
    size_t section_table_ = 0;
    size_t directories_ = 0;
    uint32_t directory_count_ = 0;
    uint32_t section_alignment_ = 0;
    uint32_t file_alignment_ = 0;
    uint32_t size_of_headers_ = 0;
    uint32_t symbol_table_ = 0;
    std::vector<Section> sections_;
};

const char* MachineName(uint16_t machine);

}  // namespace setup::packager

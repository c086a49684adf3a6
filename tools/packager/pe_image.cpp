#include "tools/packager/pe_image.h"

#include <algorithm>
#include <cstdio>

#include "tools/packager/bytes.h"

namespace setup::packager {

std::string Hex(uint64_t v) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "0x%llx", static_cast<unsigned long long>(v));
    return buf;
}

namespace {

constexpr uint16_t kMagicPe32 = 0x10B;
constexpr uint16_t kMagicPe32Plus = 0x20B;
constexpr size_t kDirectoriesPe32 = 96;  // offset of the data directories in each header
constexpr size_t kDirectoriesPe32Plus = 112;
constexpr uint16_t kMaxSections = 96;  // the loader's own limit

}  // namespace

const char* MachineName(uint16_t machine) {
    switch (machine) {
        case 0x14C: return "i386";
        case 0x8664: return "x86-64";
        case 0x1C4: return "ARM";
        case 0xAA64: return "ARM64";
        default: return "unknown machine";
    }
}

PeImage PeImage::Parse(std::vector<uint8_t> bytes, std::string what) {
    PeImage pe;
    pe.what_ = std::move(what);
    const auto fail = [&](const std::string& why) -> PackError {
        return PackError(pe.what_ + ": " + why);
    };
    std::span<const uint8_t> b = bytes;
    const uint64_t size = b.size();
    if (size < 64 || b[0] != 'M' || b[1] != 'Z')
        throw fail("not a Windows executable (no MZ header)");
    pe.nt_ = Get32(b, 0x3C);
    if (pe.nt_ + 24 > size)
        throw fail("damaged executable: the PE header offset " + Hex(pe.nt_) +
                   " lies past the end of the file (" + std::to_string(size) + " bytes)");
    if (Get32(b, pe.nt_) != 0x00004550) throw fail("not a PE executable (no PE signature)");

    const size_t fh = pe.nt_ + 4;
    pe.machine_ = Get16(b, fh);
    const uint16_t section_count = Get16(b, fh + 2);
    pe.symbol_table_ = Get32(b, fh + 8);
    const uint16_t opt_size = Get16(b, fh + 16);
    const size_t opt = pe.nt_ + 24;
    if (opt + opt_size > size || opt_size < 2)
        throw fail("damaged executable: the optional header (" + std::to_string(opt_size) +
                   " bytes) runs past the end of the file");
    const uint16_t magic = Get16(b, opt);
    if (magic != kMagicPe32 && magic != kMagicPe32Plus)
        throw fail("unknown optional header magic " + Hex(magic) + " (neither PE32 nor PE32+)");
    pe.is64_ = magic == kMagicPe32Plus;
    const size_t dir_at = pe.is64_ ? kDirectoriesPe32Plus : kDirectoriesPe32;
    if (opt_size < dir_at)
        throw fail("damaged executable: the optional header is " + std::to_string(opt_size) +
                   " bytes, too short for its fixed fields (" + std::to_string(dir_at) + ")");
    const uint32_t declared = Get32(b, opt + dir_at - 4);
    pe.directories_ = opt + dir_at;
    pe.directory_count_ = std::min<uint32_t>({declared, 16u, static_cast<uint32_t>((opt_size - dir_at) / 8)});

    pe.section_alignment_ = Get32(b, opt + kOptSectionAlignment);
    pe.file_alignment_ = Get32(b, opt + kOptFileAlignment);
    pe.size_of_headers_ = Get32(b, opt + kOptSizeOfHeaders);
    if (!IsPowerOfTwo(pe.file_alignment_) || pe.file_alignment_ > 0x10000)
        throw fail("damaged executable: FileAlignment " + Hex(pe.file_alignment_) +
                   " is not a power of two up to 0x10000");
    if (!IsPowerOfTwo(pe.section_alignment_) || pe.section_alignment_ < pe.file_alignment_)
        throw fail("damaged executable: SectionAlignment " + Hex(pe.section_alignment_) +
                   " is not a power of two at least FileAlignment " + Hex(pe.file_alignment_));

    pe.section_table_ = opt + opt_size;
    if (section_count == 0 || section_count > kMaxSections)
        throw fail("damaged executable: " + std::to_string(section_count) + " sections (1 to " +
                   std::to_string(kMaxSections) + " expected)");
    const uint64_t table_end = pe.section_table_ + uint64_t{section_count} * kSectionHeaderSize;
    if (table_end > size)
        throw fail("damaged executable: the section table runs past the end of the file");
    if (pe.size_of_headers_ < table_end || pe.size_of_headers_ > size)
        throw fail("damaged executable: SizeOfHeaders " + Hex(pe.size_of_headers_) +
                   " does not cover the section table (" + Hex(table_end) + ") or lies past the end of the file");

    uint64_t last_va_end = 0;
    for (uint16_t i = 0; i < section_count; ++i) {
        const size_t at = pe.section_table_ + size_t{i} * kSectionHeaderSize;
        Section s;
        const auto name = b.subspan(at, 8);
        s.name.assign(name.begin(), std::find(name.begin(), name.end(), uint8_t{0}));
        s.virtual_size = Get32(b, at + 8);
        s.virtual_address = Get32(b, at + 12);
        s.raw_size = Get32(b, at + 16);
        s.raw_pointer = Get32(b, at + 20);
        s.characteristics = Get32(b, at + 36);
        const std::string label = "section " + std::to_string(i) + " (" + s.name + ")";
        if (s.raw_size != 0 && s.RawEnd() > size)
            throw fail("damaged executable: " + label + " raw data [" + Hex(s.raw_pointer) + ", " +
                       Hex(s.RawEnd()) + ") runs past the end of the file (" + Hex(size) + " bytes)");
        if (s.raw_size != 0 && s.raw_pointer < pe.size_of_headers_)
            throw fail("damaged executable: " + label + " raw data overlaps the headers");
        if (s.virtual_address < last_va_end || s.virtual_address % pe.section_alignment_ != 0)
            throw fail("damaged executable: " + label + " at RVA " + Hex(s.virtual_address) +
                       " is not aligned or overlaps the section before it");
        last_va_end = s.VirtualEnd();
        if (last_va_end > 0xFFFFFFFFu)
            throw fail("damaged executable: " + label + " ends beyond the 4 GB address range");
        pe.sections_.push_back(std::move(s));
    }
    pe.bytes_ = std::move(bytes);
    return pe;
}

DataDirectory PeImage::Directory(uint32_t index) const {
    if (index >= directory_count_) return {};
    return {Get32(bytes_, directories_ + 8 * index), Get32(bytes_, directories_ + 8 * index + 4)};
}

int PeImage::SectionOf(uint32_t rva) const {
    for (size_t i = 0; i < sections_.size(); ++i) {
        const Section& s = sections_[i];
        if (rva >= s.virtual_address && rva < s.VirtualEnd()) return static_cast<int>(i);
    }
    return -1;
}

std::optional<size_t> PeImage::RvaToOffset(uint32_t rva, uint32_t size) const {
    const int i = SectionOf(rva);
    if (i < 0) return std::nullopt;
    const Section& s = sections_[i];
    if (s.raw_size == 0) return std::nullopt;  // nothing of it is in the file; its pointer means nothing
    const uint64_t within = rva - s.virtual_address;
    if (within + size > s.raw_size || within + size > s.MappedSize()) return std::nullopt;
    return s.raw_pointer + within;
}

size_t PeImage::OverlayStart() const {
    uint64_t end = size_of_headers_;
    for (const Section& s : sections_)
        if (s.raw_size != 0) end = std::max(end, s.RawEnd());
    return static_cast<size_t>(end);
}

}  // namespace setup::packager

#include "tools/packager/pe_writer.h"

#include <algorithm>

#include "tools/packager/bytes.h"

namespace setup::packager {

namespace {

constexpr uint32_t kScnInitializedData = 0x00000040;
constexpr uint32_t kScnMemRead = 0x40000000;
constexpr uint64_t kMaxImage = uint64_t{1} << 31;  // no Windows loader maps more for us

uint64_t SumWords(std::span<const uint8_t> b, size_t from, size_t to) {
    uint64_t sum = 0;
    for (size_t i = from; i + 1 < to; i += 2) sum += Get16(b, i);
    return sum;
}

// The resource section can be rewritten where it stands.
bool CanReplaceInPlace(const PeImage& pe, int index) {
    if (index < 0 || static_cast<size_t>(index) + 1 != pe.Sections().size()) return false;
    const Section& s = pe.Sections()[index];
    if (pe.Directory(kDirResource).rva != s.virtual_address) return false;
    if (s.raw_size == 0 || s.RawEnd() != pe.OverlayStart()) return false;
    for (uint32_t d = 0; d < pe.DirectoryCount(); ++d) {
        if (d == kDirResource || d == kDirSecurity) continue;  // the security entry is a file offset
        const DataDirectory dir = pe.Directory(d);
        if (dir.rva != 0 && dir.rva < s.VirtualEnd() && uint64_t{dir.rva} + dir.size > s.virtual_address)
            return false;
    }
    return true;
}

}  // namespace

uint32_t PeChecksum(std::span<const uint8_t> file, size_t field) {
    const size_t n = file.size();
    const size_t lo = std::min(field & ~size_t{1}, n & ~size_t{1});
    const size_t hi = std::min(AlignUp(field + 4, 2), n & ~size_t{1});
    uint64_t sum = SumWords(file, 0, lo);
    const auto byte_at = [&](size_t k) -> uint32_t { return k >= field && k < field + 4 ? 0 : file[k]; };
    for (size_t k = lo; k < hi; k += 2) sum += byte_at(k) | byte_at(k + 1) << 8;
    sum += SumWords(file, hi, n);
    if (n & 1) sum += byte_at(n - 1);
    while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<uint32_t>(sum + n);
}

std::vector<uint8_t> WithResources(const PeImage& pe, const std::vector<Resource>& resources,
                                   ResourcePlacement* placement) {
    const DataDirectory security = pe.Directory(kDirSecurity);
    if (security.rva != 0 || security.size != 0)
        throw PackError(pe.What() + ": the stub is signed (it has a certificate table); adding resources "
                        "would break the signature, so pack an unsigned stub and sign the finished setup");
    if (pe.DirectoryCount() <= kDirResource)
        throw PackError(pe.What() + ": the optional header has no resource directory entry (" +
                        std::to_string(pe.DirectoryCount()) + " data directories)");

    const std::vector<Section>& sections = pe.Sections();
    const std::span<const uint8_t> in = pe.Bytes();
    const DataDirectory old_dir = pe.Directory(kDirResource);
    const int old_index = old_dir.rva ? pe.SectionOf(old_dir.rva) : -1;
    const bool in_place = CanReplaceInPlace(pe, old_index);
    const size_t overlay = pe.OverlayStart();
    const size_t table_end = pe.SectionTableOffset() + sections.size() * kSectionHeaderSize;

    size_t header_at = 0;
    ResourcePlacement p;
    p.in_place = in_place;
    if (in_place) {
        header_at = pe.SectionTableOffset() + static_cast<size_t>(old_index) * kSectionHeaderSize;
        p.rva = sections[old_index].virtual_address;
        p.raw_pointer = sections[old_index].raw_pointer;
    } else {
        const bool room = table_end + kSectionHeaderSize <= pe.SizeOfHeaders() &&
                          table_end + kSectionHeaderSize <= sections.front().virtual_address &&
                          std::all_of(in.begin() + table_end, in.begin() + table_end + kSectionHeaderSize,
                                      [](uint8_t b) { return b == 0; });
        if (!room || sections.size() >= 96)
            throw PackError(pe.What() + ": no free room in the headers for another section header "
                            "(the resource section is not the last section, so a new one must be added)");
        header_at = table_end;
        const uint64_t rva = AlignUp(sections.back().VirtualEnd(), pe.SectionAlignment());
        const uint64_t raw = AlignUp(overlay, pe.FileAlignment());
        if (rva >= kMaxImage || raw > 0xFFFFFFFFu)
            throw PackError(pe.What() + ": the image is too large to take another section");
        p.rva = static_cast<uint32_t>(rva);
        p.raw_pointer = static_cast<uint32_t>(raw);
    }

    std::vector<uint8_t> out;
    const size_t keep = in_place ? p.raw_pointer : overlay;
    size_t payload_bytes = 0;
    for (const Resource& r : resources) payload_bytes += r.data.size() + 8;
    out.reserve(p.raw_pointer + payload_bytes + 4096 + (in.size() - overlay));
    out.assign(in.begin(), in.begin() + keep);
    out.resize(p.raw_pointer, 0);
    p.size = LayoutResources(resources, p.rva, out);
    const uint64_t raw_size = AlignUp(p.size, pe.FileAlignment());
    const uint64_t image = AlignUp(uint64_t{p.rva} + p.size, pe.SectionAlignment());
    if (image >= kMaxImage || p.raw_pointer + raw_size > 0xFFFFFFFFu)
        throw PackError("the setup would be a " + std::to_string(image >> 20) +
                        " MB image; Windows cannot load an image of 2 GB or more");
    p.raw_size = static_cast<uint32_t>(raw_size);
    out.resize(p.raw_pointer + raw_size, 0);
    const size_t new_overlay = out.size();
    out.insert(out.end(), in.begin() + overlay, in.end());

    std::span<uint8_t> o = out;
    const size_t opt = pe.OptionalHeaderOffset();
    if (!in_place) {
        static constexpr char kName[8] = {'.', 'r', 's', 'r', 'c', 0, 0, 0};
        std::copy(kName, kName + 8, o.begin() + header_at);
        Put32(o, header_at + 36, kScnInitializedData | kScnMemRead);
        Put16(o, pe.FileHeaderOffset() + 2, static_cast<uint16_t>(sections.size() + 1));
    }
    Put32(o, header_at + 8, p.size);
    Put32(o, header_at + 12, p.rva);
    Put32(o, header_at + 16, p.raw_size);
    Put32(o, header_at + 20, p.raw_pointer);

    const uint32_t old_raw = in_place ? sections[old_index].raw_size : 0;
    Put32(o, opt + kOptSizeOfInitializedData, Get32(o, opt + kOptSizeOfInitializedData) - old_raw + p.raw_size);
    Put32(o, opt + kOptSizeOfImage, static_cast<uint32_t>(image));
    Put32(o, pe.DirectoryTableOffset() + 8 * kDirResource, p.rva);
    Put32(o, pe.DirectoryTableOffset() + 8 * kDirResource + 4, p.size);
    if (pe.PointerToSymbolTable() >= overlay && pe.PointerToSymbolTable() < in.size())
        Put32(o, pe.FileHeaderOffset() + 8, static_cast<uint32_t>(pe.PointerToSymbolTable() - overlay + new_overlay));
    Put32(o, opt + kOptCheckSum, PeChecksum(out, opt + kOptCheckSum));
    if (placement) *placement = p;
    return out;
}

}  // namespace setup::packager

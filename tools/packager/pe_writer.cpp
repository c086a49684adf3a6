#include "tools/packager/pe_writer.h"

#include <algorithm>

#include "tools/packager/bytes.h"

namespace setup::packager {

namespace {

constexpr int kDirBaseReloc = 5;
constexpr uint32_t kScnInitializedData = 0x00000040;
constexpr uint32_t kScnMemExecute = 0x20000000;
constexpr uint32_t kScnMemRead = 0x40000000;
constexpr uint32_t kScnMemWrite = 0x80000000;
constexpr uint64_t kMaxImage = uint64_t{1} << 31;  // no Windows loader maps more for us
constexpr size_t kOptAddressOfEntryPoint = 16;
// The resource section's raw data start on a page boundary of the file. A loader can then map
// them straight from the file (Wine copies a section whose file offset is not page-aligned
// into private memory at start-up: the whole packed payload, read and resident before the
// program runs).
constexpr uint64_t kPage = 4096;

uint64_t SumWords(std::span<const uint8_t> b, size_t from, size_t to) {
    uint64_t sum = 0;
    for (size_t i = from; i + 1 < to; i += 2) sum += Get16(b, i);
    return sum;
}

bool Overlaps(uint64_t a, uint64_t a_end, uint64_t b, uint64_t b_end) { return a < b_end && b < a_end; }

// No data directory but `except` (and the security entry, a file offset) touches [from, to),
// and the entry point lies outside it.
bool OnlyDirectoriesIn(const PeImage& pe, uint64_t from, uint64_t to, std::initializer_list<int> except) {
    for (uint32_t d = 0; d < pe.DirectoryCount(); ++d) {
        if (d == kDirSecurity || std::find(except.begin(), except.end(), static_cast<int>(d)) != except.end()) continue;
        const DataDirectory dir = pe.Directory(d);
        if (dir.rva != 0 && Overlaps(dir.rva, uint64_t{dir.rva} + std::max(dir.size, 1u), from, to)) return false;
    }
    const uint32_t entry = Get32(pe.Bytes(), pe.OptionalHeaderOffset() + kOptAddressOfEntryPoint);
    return entry < from || entry >= to;
}

// Every base relocation block lies inside [dir.rva, +dir.size) and no fix-up targets [from, to):
// nothing in the image holds an address inside the sections about to move.
bool RelocationsAvoid(const PeImage& pe, DataDirectory dir, uint64_t from, uint64_t to) {
    const auto at = pe.RvaToOffset(dir.rva, dir.size);
    if (!at) return false;
    const std::span<const uint8_t> b = pe.Bytes().subspan(*at, dir.size);
    for (size_t i = 0; i + 8 <= b.size();) {
        const uint32_t page = Get32(b, i), block = Get32(b, i + 4);
        if (block < 8 || block % 2 != 0 || block > b.size() - i) return false;
        for (size_t e = i + 8; e + 2 <= i + block; e += 2) {
            const uint16_t entry = Get16(b, e);
            const uint64_t target = uint64_t{page} + (entry & 0xFFF);
            if (entry >> 12 != 0 && target + 8 > from && target < to) return false;
        }
        i += block;
    }
    return true;
}

// No section but those from `first` on keeps raw data at or after file offset `from`: the
// raw data of sections need not follow their order, and may even overlap, so the file from
// `from` on can be rewritten only when it belongs to those sections alone.
bool OnlyTheseFrom(const PeImage& pe, size_t first, uint64_t from) {
    const std::vector<Section>& s = pe.Sections();
    for (size_t i = 0; i < first; ++i)
        if (s[i].raw_size != 0 && s[i].RawEnd() > from) return false;
    return true;
}

enum class Placement { kInPlace, kMoveRelocations, kAppend };

// How the new resource section gets into the image; see pe_writer.h.
Placement Choose(const PeImage& pe, int r) {
    const std::vector<Section>& s = pe.Sections();
    const size_t n = s.size();
    if (r < 0 || pe.Directory(kDirResource).rva != s[r].virtual_address || s[r].raw_size == 0 ||
        !OnlyTheseFrom(pe, static_cast<size_t>(r), s[r].raw_pointer))
        return Placement::kAppend;
    if (static_cast<size_t>(r) + 1 == n)
        return s[r].RawEnd() == pe.OverlayStart() && OnlyDirectoriesIn(pe, s[r].virtual_address, s[r].VirtualEnd(), {kDirResource})
                   ? Placement::kInPlace : Placement::kAppend;
    if (static_cast<size_t>(r) + 2 != n) return Placement::kAppend;
    // MinGW and MSVC both end an image with .rsrc, then .reloc: relocation data are found
    // only through their directory, so that section can move up behind larger resources.
    const Section& reloc = s[r + 1];
    const DataDirectory relocs = pe.Directory(kDirBaseReloc);
    const bool movable = relocs.rva >= reloc.virtual_address && uint64_t{relocs.rva} + relocs.size <= reloc.VirtualEnd() &&
                         relocs.size > 0 && reloc.raw_size > 0 && !(reloc.characteristics & (kScnMemExecute | kScnMemWrite)) &&
                         s[r].RawEnd() <= reloc.raw_pointer && reloc.RawEnd() == pe.OverlayStart() &&
                         OnlyDirectoriesIn(pe, s[r].virtual_address, reloc.VirtualEnd(), {kDirResource, kDirBaseReloc}) &&
                         RelocationsAvoid(pe, relocs, s[r].virtual_address, reloc.VirtualEnd());
    return movable ? Placement::kMoveRelocations : Placement::kAppend;
}

void PutSectionPlace(std::span<uint8_t> o, size_t header, uint32_t virtual_size, uint32_t rva, uint32_t raw_size,
                     uint32_t raw_pointer) {
    Put32(o, header + 8, virtual_size);
    Put32(o, header + 12, rva);
    Put32(o, header + 16, raw_size);
    Put32(o, header + 20, raw_pointer);
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
    const int r = old_dir.rva ? pe.SectionOf(old_dir.rva) : -1;
    const Placement how = Choose(pe, r);
    const size_t overlay = pe.OverlayStart();
    const size_t table_end = pe.SectionTableOffset() + sections.size() * kSectionHeaderSize;

    size_t header_at = 0;
    ResourcePlacement p;
    p.in_place = how != Placement::kAppend;
    p.moved_relocations = how == Placement::kMoveRelocations;
    if (how != Placement::kAppend) {
        header_at = pe.SectionTableOffset() + static_cast<size_t>(r) * kSectionHeaderSize;
        p.rva = sections[r].virtual_address;
        const uint64_t raw = AlignUp(sections[r].raw_pointer, std::max<uint64_t>(pe.FileAlignment(), kPage));
        if (raw > 0xFFFFFFFFu) throw PackError(pe.What() + ": the image is too large to take the resources");
        p.raw_pointer = static_cast<uint32_t>(raw);
    } else {
        const bool room = table_end + kSectionHeaderSize <= pe.SizeOfHeaders() &&
                          table_end + kSectionHeaderSize <= sections.front().virtual_address &&
                          std::all_of(in.begin() + table_end, in.begin() + table_end + kSectionHeaderSize,
                                      [](uint8_t b) { return b == 0; });
        if (!room || sections.size() >= 96)
            throw PackError(pe.What() + ": no free room in the headers for another section header "
                            "(the resources cannot be rewritten where they are, so a section must be added)");
        header_at = table_end;
        const uint64_t rva = AlignUp(sections.back().VirtualEnd(), pe.SectionAlignment());
        const uint64_t raw = AlignUp(overlay, std::max<uint64_t>(pe.FileAlignment(), kPage));
        if (rva >= kMaxImage || raw > 0xFFFFFFFFu)
            throw PackError(pe.What() + ": the image is too large to take another section");
        p.rva = static_cast<uint32_t>(rva);
        p.raw_pointer = static_cast<uint32_t>(raw);
    }

    std::vector<uint8_t> out;
    size_t expected = p.raw_pointer + 4096 + (in.size() - std::min(in.size(), size_t{p.raw_pointer}));
    for (const Resource& res : resources) expected += res.data.size() + 8;
    out.reserve(expected);
    // Up to the old resources (or the overlay), then zeros to the new section's start.
    out.assign(in.begin(), in.begin() + (how == Placement::kAppend ? overlay : sections[r].raw_pointer));
    out.resize(p.raw_pointer, 0);
    p.size = LayoutResources(resources, p.rva, out);
    p.raw_size = static_cast<uint32_t>(AlignUp(p.size, pe.FileAlignment()));
    out.resize(p.raw_pointer + uint64_t{p.raw_size}, 0);
    uint64_t image_end = uint64_t{p.rva} + p.size;

    std::span<uint8_t> o;
    if (how == Placement::kMoveRelocations) {
        const Section& reloc = sections[r + 1];
        const uint64_t rva = AlignUp(image_end, pe.SectionAlignment());
        const size_t raw = out.size();
        out.insert(out.end(), in.begin() + reloc.raw_pointer, in.begin() + reloc.RawEnd());
        image_end = rva + reloc.MappedSize();
        if (image_end < kMaxImage) {
            o = out;
            PutSectionPlace(o, header_at + kSectionHeaderSize, reloc.virtual_size, static_cast<uint32_t>(rva), reloc.raw_size,
                            static_cast<uint32_t>(raw));
            const size_t dir5 = pe.DirectoryTableOffset() + 8 * kDirBaseReloc;
            Put32(o, dir5, static_cast<uint32_t>(pe.Directory(kDirBaseReloc).rva - reloc.virtual_address + rva));
        }
    }
    const uint64_t image = AlignUp(image_end, pe.SectionAlignment());
    if (image >= kMaxImage || out.size() > 0xFFFFFFFFu)
        throw PackError("the setup would be a " + std::to_string(image >> 20) +
                        " MB image; Windows cannot load an image of 2 GB or more");
    const size_t new_overlay = out.size();
    out.insert(out.end(), in.begin() + overlay, in.end());

    o = out;
    const size_t opt = pe.OptionalHeaderOffset();
    if (how == Placement::kAppend) {
        static constexpr char kName[8] = {'.', 'r', 's', 'r', 'c', 0, 0, 0};
        std::copy(kName, kName + 8, o.begin() + header_at);
        Put32(o, header_at + 36, kScnInitializedData | kScnMemRead);
        Put16(o, pe.FileHeaderOffset() + 2, static_cast<uint16_t>(sections.size() + 1));
        if (r >= 0) {
            // The old section stays, unused; its name would mislead tools that look for ".rsrc".
            static constexpr char kOld[8] = {'.', 'o', 'l', 'd', 'r', 's', 'r', 'c'};
            const size_t old_header = pe.SectionTableOffset() + static_cast<size_t>(r) * kSectionHeaderSize;
            if (std::equal(kName, kName + 8, o.begin() + old_header)) std::copy(kOld, kOld + 8, o.begin() + old_header);
        }
    }
    PutSectionPlace(o, header_at, p.size, p.rva, p.raw_size, p.raw_pointer);

    const uint32_t old_raw = how != Placement::kAppend ? sections[r].raw_size : 0;
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

// pe_writer.h: rewrites the resource section of a PE image.
//
// The new resource section replaces the old one where it stands when the old one is the
// image's last section (by address and in the file), begins at the resource directory and
// holds no other data directory. Otherwise (MinGW puts .reloc after .rsrc) a new ".rsrc"
// section is appended and the resource directory points at it; the old section stays as
// it was, unused. Everything outside the headers' changed fields and the new section is
// copied byte for byte; an overlay after the last section is carried to the end of the new
// file (the COFF symbol table pointer follows it). Header fields changed: NumberOfSections,
// the section header, SizeOfImage, SizeOfInitializedData, the resource data directory and
// CheckSum, which is recomputed. A signed image is refused: its signature would not survive.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "tools/packager/pe_image.h"
#include "tools/packager/resource_tree.h"

namespace setup::packager {

struct ResourcePlacement {
    bool in_place = false;  // the old resource section was replaced where it stood
    uint32_t rva = 0;
    uint32_t size = 0;      // resource data, unpadded
    uint32_t raw_pointer = 0;
    uint32_t raw_size = 0;
};

// The bytes of `pe` with `resources` as its whole resource tree. Throws PackError when the
// image is signed, has no room for another section header, or would grow past 2 GB.
std::vector<uint8_t> WithResources(const PeImage& pe, const std::vector<Resource>& resources,
                                   ResourcePlacement* placement = nullptr);

// The PE checksum of a file, reading the 4-byte field at `field` as zero.
uint32_t PeChecksum(std::span<const uint8_t> file, size_t field);

}  // namespace setup::packager

// pe_writer.h: rewrites the resource section of a PE image.
//
// Where the new resource section goes, in order of preference:
//  1. where the old one stands, when it is the image's last section (by address and in the
//     file), begins at the resource directory and holds nothing else;
//  2. where the old one stands, moving the one section after it up behind it, when that
//     section holds only the base relocations (the .rsrc, .reloc ending of MinGW and MSVC
//     images): relocation data are found only through their directory, and the move is
//     made only when no fix-up points into either section and no other directory or the
//     entry point lies in them;
//  3. otherwise in a new ".rsrc" section appended to the image; the old section stays,
//     unused, and is renamed ".oldrsrc" so tools that look sections up by name are not
//     misled. This needs a free section header slot in the headers.
// Everything else is copied byte for byte; an overlay after the last section is carried to
// the end of the new file (the COFF symbol table pointer follows it). Header fields changed:
// NumberOfSections, the moved sections' headers, SizeOfImage, SizeOfInitializedData, the
// resource and relocation data directories and CheckSum, which is recomputed. A signed
// image is refused: its signature would not survive.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "tools/packager/pe_image.h"
#include "tools/packager/resource_tree.h"

namespace setup::packager {

struct ResourcePlacement {
    bool in_place = false;           // the old resource section was replaced where it stood
    bool moved_relocations = false;  // ... and the relocation section moved up behind it
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

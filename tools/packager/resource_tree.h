// resource_tree.h: the resources of a PE image as a flat, sorted list, and the writer that
// lays such a list out as the content of a resource section.
//
// Section layout written by LayoutResources (all offsets from the section start):
//   directory tables   root, then every type directory, then every name directory, each
//                      16 bytes + 8 per entry; named entries first (sorted by UTF-16 code
//                      units, as the loader's binary search expects), then IDs ascending
//   data entries       16 bytes each (RVA, size, code page, 0), in tree order
//   name strings       16-bit length + UTF-16LE, each distinct name once, in tree order
//   data               each resource's bytes, starting on an 8-byte boundary
// Padding is zero and directory time stamps and versions are zero, so equal input gives
// equal bytes.
#pragma once

#include <compare>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tools/packager/pe_image.h"

namespace setup::packager {

inline constexpr uint16_t kRtRcdata = 10;

struct ResourceId {
    bool named = false;
    uint16_t id = 0;
    std::u16string name;

    static ResourceId Id(uint16_t id) { return {false, id, {}}; }
    static ResourceId Name(std::string_view ascii);
    std::string ToString() const;  // "SETUPINI" or "#24"; names shown as UTF-8

    // Named entries sort before IDs; names by code units, IDs by value.
    std::strong_ordering operator<=>(const ResourceId& other) const;
    bool operator==(const ResourceId& other) const = default;
};

struct Resource {
    ResourceId type;
    ResourceId name;
    uint16_t lang = 0;
    uint32_t codepage = 0;
    std::vector<uint8_t> data;
};

// Every resource of the image in tree order; empty when it has no resource directory.
// Throws PackError on a damaged tree (offsets outside the section, wrong depth, loops).
std::vector<Resource> ReadResources(const PeImage& pe);

// Puts r into the list (kept sorted), first removing every resource of the same type and
// name in any language, so one name never resolves to a stale copy.
void PutResource(std::vector<Resource>& list, Resource r);
// Removes every resource of that type and name, in any language.
void RemoveResource(std::vector<Resource>& list, const ResourceId& type, const ResourceId& name);

// Appends the resource section for `list` (sorted, unique) to `out`; the section's first
// byte lands at out.size() and is mapped at `rva`. Returns the section's size (unpadded).
uint32_t LayoutResources(const std::vector<Resource>& list, uint32_t rva, std::vector<uint8_t>& out);

// The readable name of a resource type ("RCDATA", "MANIFEST", or the ID/name itself).
std::string TypeName(const ResourceId& type);

}  // namespace setup::packager

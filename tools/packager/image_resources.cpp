#include "tools/packager/image_resources.h"

#include "base/error.h"

namespace setup::packager {

std::span<const uint8_t> ImageResources::Find(const std::string& name) {
    // FindResource looks names up in upper case; resource compilers store them so.
    std::string upper = name;
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    const ResourceId type = ResourceId::Id(kRtRcdata), wanted = ResourceId::Name(upper);
    for (const Resource& r : list_)
        if (r.type == type && r.name == wanted) return r.data;
    throw Error("Resource " + name + " not found");
}

}  // namespace setup::packager

// image_resources.h: the RCDATA resources of a PE file as the package layer's Resources, so
// the tool (inspect, extract) and the tests read a package exactly as the setup program does.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "base/platform.h"
#include "tools/packager/resource_tree.h"

namespace setup::packager {

class ImageResources : public Resources {
public:
    explicit ImageResources(std::vector<Resource> list) : list_(std::move(list)) {}
    const std::vector<Resource>& List() const { return list_; }

    // The RCDATA resource of that name in the first language the tree lists, as FindResource
    // does for a name that exists in one language. Throws Error("Resource NAME not found").
    std::span<const uint8_t> Find(const std::string& name) override;

private:
    std::vector<Resource> list_;
};

}  // namespace setup::packager

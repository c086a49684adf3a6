#include "install/site.h"

namespace setup {

std::string SiteDomain() {
    std::string_view rest = kSiteRoot;
    if (auto scheme = rest.find("://"); scheme != std::string_view::npos) rest.remove_prefix(scheme + 3);
    return std::string(rest.substr(0, rest.find('/')));
}

}  // namespace setup

#include "install/site.h"

namespace setup {

std::string SiteDomain() {
    std::string_view rest = kSiteRoot;
    if (auto scheme = rest.find("://"); scheme != std::string_view::npos) rest.remove_prefix(scheme + 3);
    return std::string(rest.substr(0, rest.find('/')));
}

std::string LicenseAddress() {
    return std::string(kSiteRoot) + "license.html";
}

std::string HomeAddress() {
    return std::string(kSiteRoot);
}

}  // namespace setup

// site.h: the product web site. Its root address is defined here and nowhere else; the
// tutorial page and the two link labels of the wizard (licence page, finished page) are all
// addresses under it.
#pragma once

#include <string>
#include <string_view>

#include "package/brand.h"

namespace setup {

// Root of the built-in brand's web site; ends with "/". A package's brand may name another.
inline constexpr std::string_view kSiteRoot = kDefaultSite;

// The host name of the site root ("www.zenta.example"): the caption of the finished page's
// link label.
std::string SiteDomain();

}  // namespace setup

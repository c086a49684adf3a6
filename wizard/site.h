// site.h: the product's web site, built into the program.
#pragma once

namespace setup::site {

inline constexpr const char kRoot[] = "http://www.zenta.cn/";  // ends with "/"
// Caption of the finish page's link: short enough for its place in the page's top corner.
inline constexpr const char kDomain[] = "zenta.cn";
inline constexpr const char kLicencePage[] = "http://www.zenta.cn/license.html";

}  // namespace setup::site

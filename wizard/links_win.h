// links_win.h: the wizard's two link labels, made from the skinned URL label with their
// places, fonts, colours and addresses under the product's site.
#pragma once

#include <memory>
#include <string>

#include "controls/skin/url_label_win.h"
#include "install/site.h"

namespace setup {

// The site the wizard's links point to (the one site root of the program).
inline const std::string kSkinSiteRoot{setup::kSiteRoot};

// The licence page's link (suiURLLabel1): "“软件许可协议”", 微软雅黑 14 px underlined, at 264, 328
// (112 x 20), URL site root + "license.html", hover orange, link grey, font blue until the
// controller sets the link colour.
std::unique_ptr<skin::win::UrlLabel> CreateLicenseLink(HWND page, const std::string& site_root = kSkinSiteRoot);
// The finish page's link (suiURLLabelG): caption the site's domain, Arial 14 px underlined, at
// 558, 0 (59 x 16; sized to the domain with its right edge kept at 617), URL the site root,
// tooltip "青岚护卫官方网站".
std::unique_ptr<skin::win::UrlLabel> CreateSiteLink(HWND page, const std::string& site_root = kSkinSiteRoot);
// Points the site link at another site: caption, URL and tooltip, right edge kept at 617.
void SetSiteLinkAddress(skin::win::UrlLabel& link, const std::string& site_root, const std::string& hint);

}  // namespace setup

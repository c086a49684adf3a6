#include "wizard/links_win.h"

#include "wizard/texts.h"

namespace setup {

using skin::win::UrlLabel;
using namespace skin;

std::unique_ptr<UrlLabel> CreateLicenseLink(HWND page, const std::string& site_root) {
    auto l = UrlLabel::Create(page, 264, 328, 112, 20);
    l->SetCaption(texts::kLicenceLink);
    // The stored layout's order: URL, FontHoverColor, FontLinkColor, then Font.
    l->SetURL(site_root + "license.html");
    l->SetFontHoverColor(kUrlHoverOrange);
    l->SetFontLinkColor(kUrlGray);
    l->SetFont({.name = "微软雅黑", .height = 14, .underline = true, .charset = kDefaultCharset, .color = kUrlLinkBlue});
    return l;
}

std::unique_ptr<UrlLabel> CreateSiteLink(HWND page, const std::string& site_root) {
    auto l = UrlLabel::Create(page, 558, 0, 59, 16);
    l->SetCaption(SiteDomain(site_root));
    l->SetURL(site_root);
    l->SetFontHoverColor(kUrlHoverOrange);
    l->SetFontLinkColor(kUrlGray);
    l->SetFont({.name = "Arial", .height = 14, .underline = true, .charset = kDefaultCharset, .color = kUrlLinkBlue});
    SetSiteLinkAddress(*l, site_root, texts::kSiteTooltip);
    return l;
}

void SetSiteLinkAddress(UrlLabel& l, const std::string& site_root, const std::string& hint) {
    l.SetCaption(SiteDomain(site_root));
    l.SetURL(site_root);
    l.SetHint(hint);
    // The label sizes itself to the domain; keep its right edge where the layout puts it
    // (558 + 59) so that a longer domain grows to the left instead of off the page.
    RECT r{};
    GetWindowRect(l.hwnd(), &r);
    SetWindowPos(l.hwnd(), nullptr, 558 + 59 - (r.right - r.left), 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace setup

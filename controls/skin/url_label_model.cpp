#include "controls/skin/url_label_model.h"

#include "base/text.h"

namespace setup::skin {

void UrlLabelModel::Click(const Opener& open, const std::function<void()>& on_click) const {
    if (!Trim(url_).empty() && open) open(url_);
    if (on_click) on_click();
}

void UrlLabelModel::Click(Shell& shell, const std::function<void()>& on_click) const {
    Click([&shell](const std::string& url) { shell.Execute("open", url, "", "", kSwShow, false); }, on_click);
}

std::string SiteDomain(const std::string& site_root) {
    std::string s = Trim(site_root);
    if (const auto scheme = s.find("://"); scheme != std::string::npos) s.erase(0, scheme + 3);
    if (const auto end = s.find_first_of("/?#"); end != std::string::npos) s.erase(end);
    return s;
}

}  // namespace setup::skin

#include "controls/skin/url_label_model.h"

#include "base/text.h"

namespace setup::skin {

void UrlLabelModel::Click(Shell& shell, const std::function<void()>& on_click) const {
    if (!Trim(url_).empty()) shell.Execute("open", url_, "", "", kSwShow, false);
    if (on_click) on_click();
}

}  // namespace setup::skin

#include "win/ui/page_control.h"

namespace setup::win::ui {

TabSheet::TabSheet(Container* page_control, const Rect& bounds, COLORREF color)
    : Container(page_control, bounds, color) {
    visible_ = false;
    CreateHandle(WS_EX_CONTROLPARENT, kClass, WS_CLIPCHILDREN | WS_CLIPSIBLINGS);
}

PageControl::PageControl(Container* parent, const Rect& bounds, COLORREF color, int pages)
    : Container(parent, bounds, color) {
    // Not a tab stop: the focus goes to the controls of the active page.
    CreateHandle(WS_EX_CONTROLPARENT, kClass, WS_CLIPCHILDREN | WS_CLIPSIBLINGS);
    const Rect page = Rect::FromSize(kMargin, kMargin, bounds.width() - 2 * kMargin, bounds.height() - 2 * kMargin);
    for (int i = 0; i < pages; ++i) pages_.push_back(std::make_unique<TabSheet>(this, page, color));
    if (!pages_.empty()) pages_[0]->SetVisible(true);
}

void PageControl::SetActivePage(int index) {
    if (index == active_ || index < 0 || index >= PageCount()) return;
    TabSheet& old = Page(active_);
    active_ = index;
    Page(index).SetVisible(true);
    old.SetVisible(false);
}

}  // namespace setup::win::ui

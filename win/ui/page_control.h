// page_control.h: a page control without tabs. Its pages fill the area a flat-button tab
// control would give them with no tab row (4 pixels in from each edge); only the active page
// is visible, and nothing is drawn for the tabs.
#pragma once

#include <memory>
#include <vector>

#include "win/ui/container.h"

namespace setup::win::ui {

class TabSheet : public Container {
public:
    TabSheet(Container* page_control, const Rect& bounds, COLORREF color);
};

class PageControl : public Container {
public:
    static constexpr int kMargin = 4;

    PageControl(Container* parent, const Rect& bounds, COLORREF color, int pages);

    int ActivePage() const { return active_; }
    // Shows page `index` and hides the one shown before; the focus leaves a hidden page.
    void SetActivePage(int index);
    TabSheet& Page(int index) { return *pages_.at(static_cast<size_t>(index)); }
    int PageCount() const { return static_cast<int>(pages_.size()); }

private:
    std::vector<std::unique_ptr<TabSheet>> pages_;
    int active_ = 0;
};

}  // namespace setup::win::ui

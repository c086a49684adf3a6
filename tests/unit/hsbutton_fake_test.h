// hsbutton_fake_test.h: a THSButton without a window for the native tests. Every platform
// call is recorded in `log`, bitmap resources come from `resources`, and taking the focus
// behaves like a window that gets it.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "controls/hsbutton/box_text.h"
#include "controls/hsbutton/hsbutton.h"

namespace setup::testing {

class HSTestButton : public THSButton {
public:
    std::vector<std::string> log;
    std::map<std::string, Image, std::less<>> resources;
    bool parent_showing = true;

    using THSButton::BeginDestroy;
    using THSButton::SetHasPopupMenu;

    ~HSTestButton() override { BeginDestroy(); }

    // The face as the window would show it, drawn with the box text stand-in.
    Image Face() const {
        Image image(Width(), Height(), 0xAB000000);
        BoxTextRenderer text;
        FaceTools tools{text};
        tools.arrow = &arrow;
        Render(image.view(), tools);
        return image;
    }
    Image arrow;

    int Count(std::string_view entry) const {
        int n = 0;
        for (const auto& e : log) n += e == entry;
        return n;
    }

protected:
    void PlatformRepaint(bool now) override { log.push_back(now ? "repaint now" : "repaint later"); }
    void PlatformFadeTimer(bool run) override { log.push_back(run ? "timer on" : "timer off"); }
    void PlatformTransparent(bool t) override { log.push_back(t ? "transparent" : "opaque"); }
    void PlatformTakeFocus() override {
        log.push_back("focus");
        if (!Focused()) FocusChanged(true);
    }
    Image PlatformLoadBitmap(std::string_view name) override {
        log.push_back("load " + std::string(name));
        auto it = resources.find(name);
        return it == resources.end() ? Image() : it->second;
    }
    void PlatformModalResult(int32_t r) override { log.push_back("modal " + std::to_string(r)); }
    void PlatformPopupMenu() override { log.push_back("popup"); }
    void PlatformShow(bool v) override { log.push_back(v ? "show" : "hide"); }
    void PlatformEnable(bool v) override { log.push_back(v ? "enable" : "disable"); }
    void PlatformCaptionChanged() override { log.push_back("caption " + Caption()); }
    void PlatformBoundsChanged() override { log.push_back("bounds"); }
    bool PlatformParentShowing() const override { return parent_showing; }
};

}  // namespace setup::testing

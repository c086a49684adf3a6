// url_label_model.h: the behaviour of TsuiURLLabel without a window system: the font colour
// through link, hover and stored-font assignments, and the click that hands the address to
// the shell before OnClick.
#pragma once

#include <functional>
#include <string>

#include "base/platform.h"
#include "base/image.h"

namespace setup::skin {

inline constexpr Color kUrlLinkBlue = 0xFF0000;     // initial link and font colour
inline constexpr Color kUrlHoverRed = 0x0000FF;     // initial hover colour
inline constexpr Color kUrlHoverOrange = 0x0099FF;  // the wizard's hover colour (39423)
inline constexpr Color kUrlGray = 0x808080;         // the wizard's link colour (8421504)

class UrlLabelModel {
public:
    // Font colour shown now.
    Color FontColor() const { return font_color_; }
    // The stored font's colour (a form description applies Font after FontLinkColor, so its
    // colour shows until the mouse first leaves or FontLinkColor is set again).
    void SetFontColor(Color c) { font_color_ = c; }

    Color FontLinkColor() const { return link_; }
    void SetFontLinkColor(Color c) {
        link_ = c;
        font_color_ = c;  // at once, even under the mouse
    }
    Color FontHoverColor() const { return hover_; }
    void SetFontHoverColor(Color c) { hover_ = c; }  // takes effect at the next mouse enter

    const std::string& URL() const { return url_; }
    void SetURL(const std::string& url) {
        if (url != url_) url_ = url;
    }

    void MouseEnter(bool designing = false) { font_color_ = designing ? kUrlLinkBlue : hover_; }
    void MouseLeave() { font_color_ = link_; }

    // Opens URL (the stored text, blanks included) when its trimmed copy is not empty; what
    // the opener reports is not examined. Then on_click.
    using Opener = std::function<void(const std::string& url)>;
    void Click(const Opener& open, const std::function<void()>& on_click) const;
    // The same through the shell: Execute("open", URL, no parameters, no folder, SW_SHOW,
    // no owner window).
    void Click(Shell& shell, const std::function<void()>& on_click) const;

private:
    Color font_color_ = kUrlLinkBlue;
    Color link_ = kUrlLinkBlue;
    Color hover_ = kUrlHoverRed;
    std::string url_ = "http://www.example.com/";
};

// The host name of a site address: "https://www.zenta.example/" -> "www.zenta.example".
std::string SiteDomain(const std::string& site_root);

}  // namespace setup::skin

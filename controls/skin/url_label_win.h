// url_label_win.h: TsuiURLLabel, an underlined link label with a hand pointer that turns to
// its hover colour under the mouse and opens its URL through the shell when clicked.
//
// Use:
//   auto link = setup::skin::win::UrlLabel::Create(page, 264, 328, 112, 20);
//   link->SetCaption("...");  link->SetURL(site + "license.html");
//   link->SetFontHoverColor(setup::skin::kUrlHoverOrange);
//   link->SetFontLinkColor(setup::skin::kUrlGray);
//   link->SetFont({.name = "微软雅黑", .height = 14, .underline = true, .charset = kDefaultCharset,
//                  .color = kUrlLinkBlue});
//
// Colours follow the stored-layout order: SetFont's colour shows until the mouse first leaves
// or SetFontLinkColor is called again (the wizard's controller sets grey at start-up).
// A click opens URL with "open" (through the injected Shell when one is set, else
// ShellExecuteW with no owner and SW_SHOW) unless URL is blank, then runs on_click.
// The label is a child window that paints its parent's background behind the text.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "base/platform.h"
#include "controls/skin/skin_win.h"
#include "controls/skin/url_label_model.h"

namespace setup::skin::win {

class UrlLabel final : public SkinWindow {
public:
    // Throws setup::Error when the window cannot be made.
    static std::unique_ptr<UrlLabel> Create(HWND parent, int x, int y, int width, int height, int id = 0);

    void SetCaption(const std::string& caption);  // GBK
    const std::string& Caption() const { return caption_; }
    void SetURL(const std::string& url) { model_.SetURL(url); }
    const std::string& URL() const { return model_.URL(); }
    void SetFontHoverColor(Color c) { model_.SetFontHoverColor(c); }
    void SetFontLinkColor(Color c);
    void SetFont(const FontSpec& font);  // its colour becomes the font colour shown now
    Color FontColor() const { return model_.FontColor(); }
    void SetAutoSize(bool auto_size);    // true after creation: the label fits its caption
    void SetHint(const std::string& hint);  // tooltip text (GBK); empty removes it; throws Error
                                            // when the tooltip window cannot be made
    void SetCursor(HCURSOR cursor) { cursor_ = cursor; }
    void SetColor(std::optional<Color> color);  // nullopt (default): the parent's background
    // Where clicks send the address; null (default): ShellExecuteW directly.
    void SetShell(Shell* shell) { shell_ = shell; }

    void Click();
    std::function<void()> on_click;

private:
    UrlLabel() = default;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnPaint(Dib& canvas) override;
    void FitToText();

    UrlLabelModel model_;
    std::string caption_ = "suiURLLabel";
    FontSpec font_spec_{.underline = true, .charset = kDefaultCharset, .color = kUrlLinkBlue};
    UniqueFont font_;
    bool auto_size_ = true;
    std::optional<Color> color_;
    HCURSOR cursor_ = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND));
    HWND tooltip_ = nullptr;  // owned by the label's window, destroyed with it
    Shell* shell_ = nullptr;
};

}  // namespace setup::skin::win

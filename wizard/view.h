// view.h: what the wizard controller needs from its window. The Win32 window (TMainForm in
// main_form_win.*) implements it over real controls; the native tests implement it in memory.
//
// Controls are named as in the window layout. Captions are GBK. Setters take effect at once
// on screen (they store, then repaint or invalidate); Repaint forces an immediate redraw,
// which matters while a long synchronous step keeps the message loop from running.
#pragma once

#include <cstdint>
#include <string>

namespace setup {

struct ButtonRoles;

// A control's place in its parent's client area.
struct Box {
    int left = 0, top = 0, width = 0, height = 0;
};

enum class Ctl {
    // Window.
    Label8, Label12, gImage10, PageCtl, Panel1,
    // Bottom panel.
    VerLb, DateLb, suiButton1, suiButton2, suiButton3, suiButton4,
    // Page 0, welcome.
    GLabel3, gLabel5, NameLb, IntroLb, ClassLb, WebSiteLb,
    // Page 1, licence.
    suiURLLabel1,
    // Page 2, folder.
    LabelPF, FolderEd, suiImageButton1,
    // Page 3, ready.
    FolderLb,
    // Page 4, copying.
    FNameLb, WorkLb, CopyProgress,
    // Page 5, finished. FailuresLb lists what the run could not write (shown only then).
    Label4, Label6, StartProgramCb, CheckBoxG, suiURLLabelG, FailuresLb,
};

// The six pages of PageCtl.
inline constexpr int kPageWelcome = 0;
inline constexpr int kPageLicence = 1;
inline constexpr int kPageFolder = 2;
inline constexpr int kPageReady = 3;
inline constexpr int kPageCopying = 4;
inline constexpr int kPageFinished = 5;
inline constexpr int kPageCount = 6;

class WizardView {
public:
    virtual ~WizardView() = default;

    // Shows page `page` of PageCtl and hides the others (no show handler runs here: the
    // controller runs it).
    virtual void SetActivePage(int page) = 0;

    virtual void SetVisible(Ctl ctl, bool visible) = 0;
    virtual bool Visible(Ctl ctl) = 0;
    virtual void SetEnabled(Ctl ctl, bool enabled) = 0;
    virtual bool Enabled(Ctl ctl) = 0;
    // Caption of a label, button or check box, the text of the edit box.
    virtual void SetCaption(Ctl ctl, const std::string& gbk) = 0;
    virtual std::string Caption(Ctl ctl) = 0;
    virtual void SetTop(Ctl ctl, int top) = 0;
    virtual Box Bounds(Ctl ctl) = 0;
    virtual void SetSize(Ctl ctl, int width, int height) = 0;
    virtual void SetWidth(Ctl ctl, int width) = 0;
    virtual bool Checked(Ctl ctl) = 0;
    virtual void SetChecked(Ctl ctl, bool checked) = 0;
    // Resting colour of a link label (colour value 0x00BBGGRR).
    virtual void SetLinkColor(Ctl ctl, uint32_t color) = 0;
    // Address a link label opens, and its tooltip (empty: none). The site link (suiURLLabelG)
    // shows the address's host name, its right edge kept where the layout puts it.
    virtual void SetLinkAddress(Ctl ctl, const std::string& url, const std::string& hint) = 0;
    // Progress bar position (0..100) and bar colour.
    virtual void SetProgress(Ctl ctl, int position) = 0;
    virtual void SetBarColor(Ctl ctl, uint32_t color) = 0;
    // Draws the control now, without waiting for the message loop.
    virtual void Repaint(Ctl ctl) = 0;
    // Gives the bottom buttons the roles the button rule decided (wizard/buttons.h): Enter,
    // Escape, the tab order, and the focus taken from a button that may not keep it.
    virtual void ApplyButtonRoles(const ButtonRoles& roles) = 0;

    virtual void SetWindowCaption(const std::string& gbk) = 0;
    // The application's task-bar title (also the title of the error box).
    virtual void SetApplicationTitle(const std::string& gbk) = 0;
    // While a long step holds the thread: handles what waits for the windows (paint, timers,
    // the system's questions), so that the window never shows as not responding, and drops
    // what the step's page does not take: keys, clicks (the title bar's too), close requests.
    virtual void KeepResponsive() = 0;
    // Once the step is over: drops, as KeepResponsive does, what waited while it held the
    // thread, and what the system has yet to turn into messages from before this moment.
    virtual void DropQueuedInput() = 0;
    // The start-up check's own small window, for a check that takes a while: shows it (or
    // updates it) with the product's name as its title, a line of text and a bar at
    // `percent` (0..100), drawn at once; HideCheckProgress removes it.
    virtual void ShowCheckProgress(const std::string& title, const std::string& text, int percent) = 0;
    virtual void HideCheckProgress() = 0;
    // Requests the end of the program: the current handler finishes, the message loop stops,
    // the window is destroyed.
    virtual void Terminate() = 0;
};

}  // namespace setup

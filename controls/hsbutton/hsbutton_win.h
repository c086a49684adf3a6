// hsbutton_win.h: the hot-track push button as a Win32 child window.
//
//   HSButton                 THSButton (hsbutton.h) with a window (win/ui/window.h) of
//                            class "THSButton"
//   ui::LoadBitmapResource   glyph strips from BITMAP resources by name (win/ui/gdi.h)
//
// Use (the wizard's Next button):
//
//   setup::win::HSButton next;                     // owned by the form, never moved
//   setup::ApplyWizardButtonProps(next);           // white, cream when hot, dark gray edge
//   next.Create(panel, kNextId, 440, 15, 92, 23);  // child of `panel`, visible
//   next.SetCaption("下一步(&N)");                  // GBK; "&" marks the access key
//   next.SetDefault(true);                         // Enter on the form clicks it
//   next.OnClick = [this] { NextBtClick(); };
//
// Properties may be set before or after Create; each setter stores the value, then repaints
// at once or marks the window for painting (hsbutton.h says which). The controller's
// operations are SetCaption, SetVisible, SetEnabled, SetBounds and Click().
//
// Looks: the face takes HotTrackColor while the pointer is over the button and while it has
// the keyboard focus (SetHotWhileFocused(false): only under the pointer); pressed, the edge
// colours swap and the caption moves 2 pixels right and down; disabled, the caption is grey.
//
// Keyboard: a focused button clicks on Enter or Space (key down presses it, key up clicks).
// The form-level keys need the message loop: call setup::win::ui::RouteFormKeys(form, msg)
// for every message before IsDialogMessage/TranslateMessage, and skip the message when it
// returns true:
//
//   app.pre_translate = [form](MSG& m) {
//       return setup::win::ui::RouteFormKeys(form, m) || ::IsDialogMessageW(form, &m);
//   };
//
// The button (FormKey) takes Enter to the form's `Default` button and Escape to its `Cancel` button unless a
// push button has the focus (that button then handles the key itself), and Alt+letter (or a
// plain letter while the focused control takes no characters) to the button whose caption
// has that access character. Held-down Enter or Escape repeats are swallowed, not clicked.
// An exception from an event handler run from the window procedure or from the key chain is
// reported there (the application's error box); Click() called from code lets it through.
//
// Painting: the whole face is drawn into a DIB section and copied in one BitBlt. For the
// styles with transparent parts (bsModern, bsShape, bsQuicken, bsGlass) the parent's
// background shows through: it is asked to paint itself into the same bitmap with
// WM_ERASEBKGND and WM_PRINTCLIENT (win/ui/gdi.h).
//
// Z-order: a later sibling lies under an earlier one. To lay a button over another (Agree
// over Next), raise it: SetWindowPos(agree.hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE).
#pragma once

#include <windows.h>

#include <functional>

#include "controls/hsbutton/gdi_text_win.h"
#include "controls/hsbutton/hsbutton.h"
#include "win/ui/window.h"

namespace setup::win {


class HSButton final : public THSButton, public ui::Window {
public:
    static constexpr const wchar_t* kClassName = L"THSButton";
    static constexpr UINT_PTR kFadeTimerId = 1;

    HSButton();
    // Stops the fade timer, then destroys the window.
    ~HSButton() override;

    // Creates the window as child `id` of parent at (x, y), w x h. Throws setup::Error when
    // the window cannot be made. Call once.
    void Create(HWND parent, int id, int x, int y, int w, int h);

    // The button behind a window of this class, or null.
    static HSButton* FromWindow(HWND window);

    // A menu popped up under the button on each click (borrowed: the caller keeps it alive).
    // Its WM_COMMAND goes to the top-level window.
    void SetPopupMenu(HMENU menu);
    void Focus();

    // Called with ModalResult on a click when it is not 0. Unset, a button in a dialog box
    // ends the dialog with it (EndDialog).
    std::function<void(int32_t)> OnModalResult;

    // Enter to the form's Default button and Escape to its Cancel button, access keys.
    bool FormKey(HWND form, const MSG& msg) override;

    using THSButton::Default;  // the property, not the window's default procedure

protected:
    void PlatformRepaint(bool now) override;
    void PlatformFadeTimer(bool run) override;
    void PlatformTransparent(bool transparent) override;
    void PlatformTakeFocus() override;
    Image PlatformLoadBitmap(std::string_view resource_name) override;
    void PlatformModalResult(int32_t result) override;
    void PlatformPopupMenu() override;
    void PlatformShow(bool visible) override;
    void PlatformEnable(bool enabled) override;
    void PlatformCaptionChanged() override;
    void PlatformBoundsChanged() override;
    bool PlatformParentShowing() const override;

private:
    LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
    void OnMouseMove(POINT p);
    void OnMouseLeaveMessage();
    void OnButtonUp(MouseButton button, WPARAM keys);
    void OnEnable(bool enabled);
    void PaintTo(HDC target);
    bool PointerInside() const;

    HMENU popup_ = nullptr;
    hsb::GdiFontCache fonts_;
    Image arrow_;  // "HSARROW", loaded when first needed
    bool mouse_press_ = false;      // pressed by the left button (capture held)
    bool releasing_capture_ = false;
    bool setting_text_ = false;
};

}  // namespace setup::win

// skin_win.h: what the Windows skinned controls share.
//
//   SkinWindow             base of each control's window (win/ui/window.h): routes messages
//                          to HandleMessage, paints through an off-screen canvas (OnPaint),
//                          tracks mouse presses, takes the form's keys for the skinned buttons
//   ResourceBitmaps        BitmapSource over the program's BITMAP resources
//   Win32SkinFileHost      SkinFileHost over the real file system and folders
//   ParentBackground       what the parent shows behind a control (win/ui/gdi.h) as an
//                          Image of the control's size
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "controls/skin/file_theme.h"
#include "controls/skin/gdi_win.h"
#include "controls/skin/theme.h"
#include "win/ui/window.h"

namespace setup::skin::win {

// Private messages. kMsgButtonQuery is answered with 1 by skinned buttons; the dialog key
// and character messages carry a virtual key / character in wParam and modifier flags
// (kModShift | kModCtrl | kModAlt) in lParam, and return 1 when handled.
inline constexpr UINT kMsgButtonQuery = 0x8BB8;
inline constexpr UINT kMsgDialogKey = 0x8BB9;
inline constexpr UINT kMsgDialogChar = 0x8BBA;
inline constexpr LPARAM kModShift = 1, kModCtrl = 2, kModAlt = 4;

class SkinWindow : public setup::win::ui::Window {
public:
    // Enter and Escape that the focused control does not take go to the skinned buttons
    // (Default / Cancel); Alt+letter, or a letter while the focused control takes no
    // characters, to the button whose caption has that accelerator.
    bool FormKey(HWND form, const MSG& msg) override;

protected:
    SkinWindow() = default;
    // Every message but the paint messages, which go to OnPaint.
    virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    void Invalidate() const {
        if (hwnd()) InvalidateRect(hwnd(), nullptr, FALSE);
    }

    // The control draws its whole client area into `canvas` (the client's size, never empty),
    // which then goes to the window in one piece: nothing flickers and there is nothing to
    // erase first. Serves WM_PAINT and WM_PRINTCLIENT (into the DC it brings).
    virtual void OnPaint(Dib& canvas) = 0;
    // What shows behind the control's own drawing: `color`, or what the parent shows behind
    // the control when it is transparent or has no colour of its own.
    Image Background(int width, int height, std::optional<Color> color, bool transparent = false) const;

    // A press holds the mouse (SetCapture on WM_LBUTTONDOWN). On WM_LBUTTONUP: lets the mouse
    // go, before any click handler runs (it may open a modal window), and tells whether the
    // button came up over the window; nullopt when the window held no press.
    std::optional<bool> EndPress(LPARAM lp);

private:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) final;
    void Paint(HDC dc);
};

class ResourceBitmaps : public BitmapSource {
public:
    explicit ResourceBitmaps(HMODULE module = nullptr) : module_(module) {}
    std::optional<std::span<const uint8_t>> FindBitmap(std::string_view name) override;

private:
    HMODULE module_;
};
// The program's bitmaps (one shared instance).
ResourceBitmaps& ProgramBitmaps();

class Win32SkinFileHost : public SkinFileHost {
public:
    bool FileExists(const std::string& path) override;
    std::optional<std::vector<uint8_t>> ReadFile(const std::string& path) override;
    std::string ModuleFolder() override;
    std::string WindowsFolder() override;
    std::string SystemFolder() override;
};


Image ParentBackground(HWND control, int width, int height);

// Modifier flags of the keyboard now.
LPARAM CurrentModifiers();

}  // namespace setup::skin::win

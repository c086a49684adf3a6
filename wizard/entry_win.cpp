// Program entry of the setup executable: the application object, the wizard window and the
// message loop.
#include <windows.h>

#include <commctrl.h>

#include "controls/hsbutton/hsbutton_win.h"
#include "win/application.h"
#include "win/platform_win.h"
#include "win/system.h"
#include "wizard/main_form_win.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    // Before anything loads a DLL by name: never from the (download) folder of the program.
    setup::win::HardenDllSearch();

    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);

    int exit_code = 0;
    setup::win::Application app(instance);
    app.Guarded([&] {
        setup::win::WinPlatform machine(&app);
        setup::MainForm form(app, machine.platform());
        app.SetMainWindow(form.hwnd());
        // An exception from a button's handler that reaches the button shows in the error box.
        setup::win::SetButtonErrorHandler([&app](const std::exception& e) { app.ShowException(e); });
        // Enter, Escape and access keys to the buttons; Tab and the arrow keys between controls.
        app.pre_translate = [&form](MSG& msg) { return form.PreTranslate(msg); };
        form.Create();
        exit_code = app.Run(show == SW_HIDE ? SW_SHOWNORMAL : show);
        app.pre_translate = nullptr;
        setup::win::SetButtonErrorHandler(nullptr);
    });
    return exit_code;
}

// Program entry of the setup executable: the application object, the wizard window and the
// message loop.
#include "win/platform_win.h"  // first: <windows.h> without its A/W renaming macros

#include <commctrl.h>

#include "win/application.h"
#include "win/system.h"
#include "win/ui/window.h"
#include "wizard/main_form_win.h"

#include <cstdlib>

// An exception that escapes everything ends the program. libstdc++'s default handler first
// writes the exception's demangled type to stderr, which a GUI program does not have; its
// demangler alone is some 45 KB of the executable. Ending at once behaves the same here.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    // Before anything loads a DLL by name: never from the (download) folder of the program.
    setup::win::HardenDllSearch();

    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);

    int exit_code = 0;
    setup::win::Application app(instance);
    if (app.Terminated()) return 1;  // its window could not be made: reported
    app.Guarded([&] {
        setup::win::WinPlatform machine(&app);
        setup::MainForm form(app, machine.platform());
        app.SetMainWindow(form.hwnd());
        HWND window = form.hwnd();
        // Enter, Escape and access keys reach the buttons first; then Tab, Shift+Tab and the
        // arrow keys move between the controls as in a dialog.
        app.pre_translate = [window](MSG& msg) {
            return setup::win::ui::RouteFormKeys(window, msg) || ::IsDialogMessageW(window, &msg) != FALSE;
        };
        form.Create();
        exit_code = app.Run(show == SW_HIDE ? SW_SHOWNORMAL : show);
        app.pre_translate = nullptr;
    });
    return exit_code;
}

// system.h: process-wide safety settings and small system helpers of the Windows layer.
//
//   HardenDllSearch      first call of wWinMain: DLLs by name come from the system folder only
//   LoadSystemLibrary    loads a DLL by name from the system folder, never from beside the exe
//   SystemErrorText      the system's text for an error code, GBK, without its final full stop
//   ModuleFileName       full path of a module (the running executable by default)
//   SystemFolder         the system folder (system32), WindowsFolder  the machine's Windows folder
//   ExecutableTitle      the executable's file name without extension, GBK
//   RegisterClassOnce    a window class registered, or found registered already
//   CheckWindow          a window just made, or the error when it could not be made
#pragma once

#include <windows.h>

#include <string>

#include "win/handles.h"

namespace setup::win {

// Restricts the DLL search of the process before anything is loaded by name: the default
// search becomes the system folder only (SetDefaultDllDirectories with
// LOAD_LIBRARY_SEARCH_SYSTEM32, where the system has it), and the current directory is taken
// out of the legacy search order (SetDllDirectoryW(L"")). The setup program runs elevated from
// a download folder; a DLL planted there must never be loaded into it.
// Returns false when SetDefaultDllDirectories is not available or failed (older systems
// without the update that added it); the SetDllDirectoryW part is applied in every case.
bool HardenDllSearch();

// Loads <system folder>\<name> by full path, with its own dependencies searched in the
// system folder where the system supports that. Null on failure.
UniqueModule LoadSystemLibrary(const wchar_t* name);

// FormatMessageW text of a system error code, converted to GBK, with trailing blanks, line
// breaks and full stops removed (the caller composes it into its own sentence).
std::string SystemErrorText(DWORD code);

// Full path of a module's file, any length. The running executable when module is null.
std::wstring ModuleFileName(HMODULE module = nullptr);

// GetSystemDirectoryW and GetSystemWindowsDirectoryW, without a trailing "\"; empty on failure.
std::wstring SystemFolder();
std::wstring WindowsFolder();

// The running executable's file name without its extension ("setup" for ...\setup.exe), GBK:
// the application's title until the program sets one.
std::string ExecutableTitle();

// Registers wc unless a class of its name is registered already (a second window of a
// class, a second application object). Throws setup::Error when it cannot be registered.
void RegisterClassOnce(const WNDCLASSEXW& wc);

// The window CreateWindowExW returned; throws setup::Error when it is null.
HWND CheckWindow(HWND window);

}  // namespace setup::win

// web.h: the product's web pages: the tutorial page in the registered HTML browser, and the
// product address of the record through the shell.
#pragma once

#include <string>
#include <string_view>

#include "base/platform.h"
#include "install/site.h"

namespace setup {

// Address of the product's tutorial page: every "ZENTA-" is removed from the product name
// (case-sensitive); "KOV" then gives site + "jiaocheng.html", any other short name S
// gives site + S + "-jiaocheng.html". site: the brand's site root, ending in "/".
std::string TutorialAddress(std::string_view product_name, std::string_view site = kSiteRoot);

// The program path of a shell open command: the text between its first two double quotes;
// empty when the command holds fewer than two.
std::string ProgramPathFromCommand(std::string_view command);

// HKEY_LOCAL_MACHINE key whose default value names the program that opens HTML files. The
// machine's own classes, not HKEY_CLASSES_ROOT: that view lets the user's classes override
// them, and the program runs with this process's (administrator) rights.
inline constexpr const char* kHtmlOpenCommandKey = "\\Software\\Classes\\htmlfile\\shell\\open\\command";

// Opens the address in the browser registered for HTML files: reads the command (never
// creating the key) and starts its program by its full path with the address as its one,
// quoted, argument, in the program's own folder, SW_SHOW. False when no command is registered
// (key or value missing, or empty); true otherwise. A command whose program path comes out
// empty (no quoted path) or is not a full path starts nothing and still returns true: it
// would be looked up in folders the user can write to.
bool OpenInBrowser(Registry& reg, Shell& shell, const std::string& address);

// Connection flags of InternetGetConnectedState that count as online.
inline constexpr uint32_t kConnectionModem = 0x01;
inline constexpr uint32_t kConnectionLan = 0x02;
inline constexpr uint32_t kConnectionProxy = 0x04;

// The tutorial action (the hidden BPing button): opens TutorialAddress(product_name) once,
// and only when the machine reports a modem, LAN or proxy connection. Silent otherwise.
void BPingClick(Registry& reg, Shell& shell, std::string_view product_name, std::string_view site = kSiteRoot);

// The web-site label of the welcome page: the shell's default action for the record's Site
// (no verb, no owner, SW_SHOWNORMAL). An empty Site opens nothing.
void ShowAuthorWebSite(Shell& shell, const std::string& site);

}  // namespace setup

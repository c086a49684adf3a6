#include "install/web.h"

#include "install/path_text.h"
#include "install/site.h"

namespace setup {

std::string TutorialAddress(std::string_view product_name, std::string_view site) {
    constexpr std::string_view kPrefix = "ZENTA-";
    std::string short_name;
    // Remove every occurrence, scanning left to right (so ZENTA-ZENTA-KOV becomes KOV).
    for (size_t i = 0; i < product_name.size();) {
        if (product_name.substr(i, kPrefix.size()) == kPrefix) {
            i += kPrefix.size();
        } else {
            short_name += product_name[i++];
        }
    }
    if (short_name == "KOV") return std::string(site) + "jiaocheng.html";
    return std::string(site) + short_name + "-jiaocheng.html";
}

std::string ProgramPathFromCommand(std::string_view command) {
    const size_t first = command.find('"');
    if (first == std::string_view::npos) return {};
    const size_t second = command.find('"', first + 1);
    if (second == std::string_view::npos) return {};
    return std::string(command.substr(first + 1, second - first - 1));
}

namespace {

// "C:\..." or "\\server\share\...".
bool IsFullPath(std::string_view path) {
    const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    return (path.size() > 3 && letter(path[0]) && path[1] == ':' && path[2] == '\\') ||
           (path.size() > 2 && path[0] == '\\' && path[1] == '\\');
}

}  // namespace

bool OpenInBrowser(Registry& reg, Shell& shell, const std::string& address) {
    const auto command = reg.GetString(RegRoot::LocalMachine, kHtmlOpenCommandKey, "");
    if (!command || command->empty()) return false;
    const std::string program = ProgramPathFromCommand(*command);
    if (!IsFullPath(program)) return true;
    ProcessStart start;
    start.program = program;
    start.command_line = QuoteArgument(program) + " " + QuoteArgument(address);
    start.dir = WorkingFolderOf(program);
    start.show_cmd = kSwShow;
    shell.StartProcess(start);
    return true;
}

void BPingClick(Registry& reg, Shell& shell, std::string_view product_name, std::string_view site) {
    const std::string address = TutorialAddress(product_name, site);
    const auto state = shell.ConnectedState();
    if (state && (*state & (kConnectionModem | kConnectionLan | kConnectionProxy)) != 0)
        OpenInBrowser(reg, shell, address);
}

void ShowAuthorWebSite(Shell& shell, const std::string& site) {
    if (site.empty()) return;
    shell.Execute("", site, "", "", kSwShowNormal, false);
}

}  // namespace setup

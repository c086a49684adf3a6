// plan.h: the uninstaller's decisions: what an installation left on the machine, what of it
// may be removed, and the removal itself.
//
// The uninstaller lies in the folder it removes, beside the data file "Z_ta.cx" (the packed
// record the setup stored there). From the record and what the machine shows it removes, in
// this order:
//   1. the record's files, each only inside the folder (a stored name that is not safe, or that
//      passes through a folder link, is left alone), then the data file itself, then the
//      sub-folders the files lay in when they are empty;
//   2. the shortcuts the setup made (desktop and start-menu group, the uninstall shortcut
//      too), each only while it still points into the folder; then the group folder when empty;
//   3. the values the setup wrote: InstallKey's, only while its "Folder" names this folder; the
//      uninstall entry's, only while its "UninstallString" names this uninstaller; the record's
//      extra values; keys only when they hold nothing more; ProductKey's "Site" and "Author"
//      only when no product of the company is left under it;
//   4. the uninstaller itself and the folder, when nothing else is left in it.
// A file that cannot be removed (in use) asks Retry / Cancel; Cancel stops there and leaves
// everything not yet removed in place, the data file included, so the uninstaller can run again.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/platform.h"
#include "package/setup_config.h"

namespace setup {

// What the uninstaller reads and removes beyond base/platform.h.
class UninstallMachine {
public:
    virtual ~UninstallMachine() = default;
    // The whole file; nullopt when it is missing, cannot be read or is longer than `limit`.
    virtual std::optional<std::vector<uint8_t>> ReadFile(const std::string& path, size_t limit) = 0;
    // The path a shell link (.lnk) starts; nullopt when it cannot be read.
    virtual std::optional<std::string> LinkTarget(const std::string& link_path) = 0;
    // Names of the files and folders in a folder (no "." or ".."); empty when there are none.
    virtual std::vector<std::string> FolderEntries(const std::string& folder) = 0;
    // Removes a value; the result is advisory.
    virtual bool DeleteValue(RegRoot root, const std::string& key, const std::string& name) = 0;
    // Removes a key that holds no values and no sub-keys; false when it holds something (or
    // is missing).
    virtual bool DeleteEmptyKey(RegRoot root, const std::string& key) = 0;
    // Number of sub-keys; 0 when the key is missing.
    virtual int SubkeyCount(RegRoot root, const std::string& key) = 0;
};

// The vendor's side of the uninstaller: the title of its boxes and the helper programs ended
// before files are removed (exact executable names, case-sensitive).
struct UninstallBrand {
    std::string box_title;
    std::vector<std::string> end_programs;
};
// The brand the program carries (its "SETUPBRAND" resource), else the setup's built-in one.
UninstallBrand LoadUninstallBrand(Resources& resources);

inline constexpr const char* kUninstallerName = "\\uninstall.exe";
inline constexpr size_t kMaxRecordFileSize = size_t{8} << 20;

enum class RecordState { kOk, kMissing, kDamaged };
// Reads folder + "\Z_ta.cx" into `record`. kDamaged when it cannot be read, does not unpack to
// exactly one record, or holds a record the setup would refuse as damaged.
RecordState ReadInstallRecord(Platform& p, UninstallMachine& m, const std::string& folder, SetupConfig& record);

struct RegRef {
    RegRoot root = RegRoot::LocalMachine;
    std::string key;
    std::string name;  // empty for a key
};

struct UninstallPlan {
    std::string folder;                 // the installation folder, without a trailing "\"
    std::vector<std::string> files;     // the record's files that exist, then the data file
    std::vector<std::string> folders;   // sub-folders of the files, deepest first: removed when empty
    std::vector<std::string> links;     // shortcut files that point into the folder
    std::string group;                  // the start-menu group folder: removed when empty
    std::vector<RegRef> values;         // values to remove
    std::vector<RegRef> keys;           // keys to remove when empty, in this order
    std::vector<RegRef> company_values; // removed when the company key has no sub-keys left
    std::string company_key;            // ProductKey, removed last when empty
    std::string self;                   // folder + "\uninstall.exe": removed last, with the folder
    std::vector<std::string> untouched; // what the record names but stays, and why (one line each)
};

// `record` as ReadInstallRecord gave it for `folder`. `self_removable` is false when the
// uninstaller runs from the folder itself and so cannot remove its own file.
UninstallPlan PlanUninstall(const SetupConfig& record, const std::string& folder, Platform& p, UninstallMachine& m,
                            bool self_removable = true);

struct UninstallOutcome {
    bool cancelled = false;             // Cancel on a file in use: the rest stays
    bool folder_removed = false;
    std::vector<std::string> left;      // what is still in the folder (names): the user's own
};

// Ends the brand's helper programs, then carries the plan out.
UninstallOutcome RunUninstall(const UninstallPlan& plan, const UninstallBrand& brand, Platform& p, UninstallMachine& m);

// Texts of the uninstaller's boxes.
std::string ConfirmText(const SetupConfig& record);
std::string RecordProblemText(RecordState state, const std::string& folder);
std::string FinishedText(const SetupConfig& record, const UninstallPlan& plan, const UninstallOutcome& outcome);
inline constexpr const char* kFileInUseRemoveText =
    "下列文件正在被其他程序使用，无法删除。\r\n请关闭该程序后点击“重试”，或点击“取消”停止卸载（尚未删除的内容将保留）。\r\n";
inline constexpr size_t kLeftNamesShown = 10;

}  // namespace setup

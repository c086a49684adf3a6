// record_check.h: whether a decoded record is fit to install from, checked once at start-up.
//
// The record's names become paths and registry keys: Company the key under HKLM\Software,
// FolderName the default target folder and InstallKey's last part, ProductName the uninstall
// entry's key and the start-menu group.
// A name such as "..\..\Windows\X" would lead out of the folder or key it is joined to, and an
// empty ProductName would name the Uninstall key itself; counts above the 256 rows the tables
// hold mean a damaged record. The packaging tool refuses to build such a record.
#pragma once

#include <string_view>
#include <vector>

#include "package/setup_config.h"

namespace setup {

// One plain folder or registry key name: a plain file name (package/safe_name.h: not empty,
// no \ / : * ? " < > |, no control characters, no trailing blank or dot, not "." or "..", not
// a device name) that does not begin with a blank or a dot either. GBK.
bool IsPlainFolderName(std::string_view gbk_name);

// One plain registry key name, for Company (the key under HKLM\Software): not empty, not "."
// or "..", no "\" or "/" (GBK-aware), no control characters, no leading or trailing blank,
// every GBK lead byte followed by a trail byte. Unlike a folder name it may end in a dot
// ("Acme Inc."). GBK.
bool IsPlainKeyName(std::string_view gbk_name);

// The fields that can make a record damaged, in record order.
enum class RecordField { Company, ProductName, FolderName, FileCount, ShortcutCount, RegValueCount };

// The field's name as the record documents it ("FolderName", "FileCount", ...).
const char* RecordFieldName(RecordField field);

// Every field that makes the record damaged, in record order; empty when it is fit:
// Company must be a plain key name, ProductName and FolderName plain folder names, and the
// stored (raw) file, shortcut and registry value counts must lie in 0..256.
std::vector<RecordField> DamagedFields(const SetupConfig& c);

inline bool IsDamagedRecord(const SetupConfig& c) { return !DamagedFields(c).empty(); }

}  // namespace setup

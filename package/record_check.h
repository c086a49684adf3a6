// record_check.h: whether a decoded record is fit to install from, checked once at start-up.
//
// The record's names become paths and registry keys: FolderName the default target folder
// and InstallKey's last part, ProductName the uninstall entry's key and the start-menu group.
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

// The fields that can make a record damaged, in record order.
enum class RecordField { ProductName, FolderName, FileCount, ShortcutCount, RegValueCount };

// The field's name as the record documents it ("FolderName", "FileCount", ...).
const char* RecordFieldName(RecordField field);

// Every field that makes the record damaged, in record order; empty when it is fit:
// ProductName and FolderName must be plain folder names, and the stored (raw) file,
// shortcut and registry value counts must lie in 0..256.
std::vector<RecordField> DamagedFields(const SetupConfig& c);

inline bool IsDamagedRecord(const SetupConfig& c) { return !DamagedFields(c).empty(); }

}  // namespace setup

// format.h: what the setup program, the packaging tool and `pack-setup inspect` agree on
// about a package: the resources it adds to the program and the capacities of the record's
// row texts.
#pragma once

#include <cstddef>

namespace setup {

// RCDATA resources, by name, that make a program a package.
inline constexpr const char* kRecordResource = "SETUPINI";        // the record, packed
inline constexpr const char* kPayloadResource = "SETUPPACK";      // the payload, packed
inline constexpr const char* kBlockIndexResource = "SETUPINDEX";  // optional: the payload's block starts

// Capacities, in GBK bytes, of the row texts (their slots hold a length byte more).
inline constexpr size_t kStoredNameCapacity = 127;  // a file row's stored name
inline constexpr size_t kLinkNameCapacity = 131;    // a shortcut row's link name
inline constexpr size_t kRowTextCapacity = 128;     // shortcut arguments, registry names and texts

}  // namespace setup

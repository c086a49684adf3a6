// Fuzzes the mapping of a stored file name to the path `extract` writes: a mapped name is one
// the setup also takes as safe, and its path never leaves the target folder. Also the plain
// name rules the setup applies to link names and to the record's folder and product names.
//
// Input: the stored name's bytes (GBK).
#include <filesystem>
#include <string>
#include <string_view>

#include "base/text.h"
#include "fuzz_support.h"
#include "package/record_check.h"
#include "package/safe_name.h"
#include "tools/packager/stored_path.h"

using namespace setup;

namespace {

// "\" characters of the name, not counting trail bytes 0x5C.
size_t Separators(std::string_view gbk) {
    size_t n = 0;
    for (size_t i = 0; i < gbk.size(); ++i) {
        if (IsGbkLeadByte(static_cast<uint8_t>(gbk[i]))) ++i;
        else n += gbk[i] == '\\';
    }
    return n;
}

void CheckMapping(std::string_view name) {
    const auto parts = packager::MapStoredName(name);
    if (!parts) return;
    ZS_FUZZ_CHECK(IsSafeStoredName(name));
    ZS_FUZZ_CHECK(parts->size() == Separators(name));
    const std::filesystem::path target = "/target";
    std::filesystem::path path = target;
    for (const std::string& p : *parts) {
        ZS_FUZZ_CHECK(!p.empty() && p != "." && p != "..");
        ZS_FUZZ_CHECK(p.find('/') == std::string::npos && p.find('\0') == std::string::npos);
        path /= p;
    }
    const std::filesystem::path normal = path.lexically_normal();
    ZS_FUZZ_CHECK(normal == path);
    ZS_FUZZ_CHECK(normal.lexically_relative(target).begin()->string() != "..");
    ZS_FUZZ_CHECK(std::distance(normal.begin(), normal.end()) == static_cast<ptrdiff_t>(parts->size() + 2));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view name(reinterpret_cast<const char*>(data), size);
    CheckMapping(name);
    // A plain name is a safe stored name of one component, and maps to one file name or none.
    if (IsPlainFolderName(name)) ZS_FUZZ_CHECK(IsPlainFileName(name));
    if (IsPlainFileName(name)) {
        const std::string stored = "\\" + std::string(name);
        ZS_FUZZ_CHECK(IsSafeStoredName(stored) && Separators(stored) == 1);
        CheckMapping(stored);
    }
    return 0;
}

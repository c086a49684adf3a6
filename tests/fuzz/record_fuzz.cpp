// Fuzzes the decoding of a configuration record: the framing, every field and row, the stored
// file names and the payload ranges the file rows name.
//
// Input: one mode byte, then
//   mode % 3 == 0: a packed resource, decoded as "SETUPINI" is at start-up;
//   mode % 3 == 1: patches (u32 offset, u8 length, bytes) applied to a zero record, so that
//                  small inputs reach the counts and rows deep inside the record;
//   mode % 3 == 2: the first bytes of a record, as they are.
#include <algorithm>
#include <cstdint>
#include <span>

#include "fuzz_support.h"
#include "package/payload.h"
#include "package/safe_name.h"
#include "package/setup_config.h"
#include "wizard/captions.h"

using namespace setup;

namespace {

bool Decode(std::span<const uint8_t> in, uint8_t mode, SetupConfig& config) {
    switch (mode % 3) {
        case 0: {
            fuzz::OneResource res("SETUPINI", fuzz::WithBoundedLength(in));
            try {
                LoadRecord(res, config);
            } catch (const Error& e) {
                ZS_FUZZ_CHECK(fuzz::IsUnpackError(e));
                return false;
            }
            return true;
        }
        case 1: {
            std::vector<uint8_t> record(kRecordSize, 0);
            size_t i = 0;
            while (i + 5 <= in.size()) {
                uint32_t off = in[i] | in[i + 1] << 8 | in[i + 2] << 16 | uint32_t(in[i + 3]) << 24;
                size_t len = std::min<size_t>(in[i + 4], in.size() - i - 5);
                off %= kRecordSize;
                len = std::min<size_t>(len, kRecordSize - off);
                std::copy_n(in.begin() + i + 5, len, record.begin() + off);
                i += 5 + len;
            }
            config.Load(record);
            return true;
        }
        default:
            config.Load(in);
            return true;
    }
}

void CheckRecord(const SetupConfig& c) {
    for (int f = 0; f <= static_cast<int>(TextField::Folder); ++f) {
        auto field = static_cast<TextField>(f);
        ZS_FUZZ_CHECK(c.Text(field).size() <= SetupConfig::Capacity(field));
    }
    ZS_FUZZ_CHECK(TaskbarTitle(c).size() <= 137);
    ZS_FUZZ_CHECK(WelcomeCaption(c).size() <= 136);
    ZS_FUZZ_CHECK(ProductKey(c).size() <= 138);
    ZS_FUZZ_CHECK(InstallKey(c).rfind(ProductKey(c), 0) == 0);
    ZS_FUZZ_CHECK(ReleaseDateDisplay(c).size() == c.ReleaseDate().size() + 3);

    const int files = c.FileCount();
    ZS_FUZZ_CHECK(files >= 0 && files <= kMaxRows);
    for (int i = 0; i < files; ++i) {
        FileRow row = c.File(i);
        ZS_FUZZ_CHECK(row.name.size() <= 127);
        if (IsSafeStoredName(row.name)) ZS_FUZZ_CHECK(row.name.size() >= 2 && row.name[0] == '\\' && row.name[1] != '\\');
    }
    for (int i = 0; i < c.ShortcutCount(); ++i) {
        ShortcutRow s = c.Shortcut(i);
        ZS_FUZZ_CHECK(s.link_name.size() <= 131 && s.arguments.size() <= 128);
        if (s.file_index < static_cast<uint32_t>(kMaxRows)) (void)c.File(static_cast<int>(s.file_index));
    }
    for (int i = 0; i < c.RegValueCount(); ++i) {
        RegValueRow r = c.RegValue(i);
        ZS_FUZZ_CHECK(r.value_name.size() <= 128 && r.key_path.size() <= 128 && r.string_value.size() <= 128);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    std::span<const uint8_t> in(data + 1, size - 1);
    // Every input is also a candidate stored name.
    (void)IsSafeStoredName(std::string_view(reinterpret_cast<const char*>(in.data()), in.size()));

    SetupConfig config;
    if (!Decode(in, data[0], config)) return 0;
    CheckRecord(config);

    // The record survives a write and read back unchanged.
    SetupConfig copy;
    copy.Load(config.Bytes());
    ZS_FUZZ_CHECK(std::equal(copy.Bytes().begin(), copy.Bytes().end(), config.Bytes().begin()));
    return 0;
}

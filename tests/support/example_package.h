// example_package.h: the example package as the installation and uninstallation tests build
// it (its record's texts, a payload made file by file, shortcuts and values), and what one
// installation run of it on the in-memory machine keeps.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "install/run.h"
#include "package/packed_resource.h"
#include "package/payload_stream.h"
#include "package/setup_config.h"
#include "tests/support/fake_platform.h"

namespace setup::testing {

constexpr const char* kFolder = "C:\\Program Files\\ZENTA-KOV";
inline const std::string kGroup = std::string(FakeMachine::kPrograms) + "\\ZENTA-KOV";

// The example's record texts, no folder; files, shortcuts and values as a test adds them.
struct ExamplePackage {
    SetupConfig config;
    std::vector<uint8_t> payload_bytes;
    std::vector<FileRow> rows;
    int shortcut_count = 0;
    int reg_count = 0;

    ExamplePackage() {
        config.SetText(TextField::Author, "ZENTA");
        config.SetText(TextField::Company, "ZENTA");
        config.SetText(TextField::Site, "http://www.zenta.example/kov");
        config.SetText(TextField::Version, "V29.5");
        config.SetText(TextField::ProductName, "ZENTA-KOV");
        config.SetText(TextField::FolderName, "ZENTA-KOV");
        config.SetText(TextField::Date, "20040201");
    }
    // A file row whose bytes are appended to the payload (each byte different per file).
    void AddFile(const std::string& name, uint32_t size) {
        const uint32_t offset = static_cast<uint32_t>(payload_bytes.size());
        for (uint32_t k = 0; k < size; ++k) payload_bytes.push_back(static_cast<uint8_t>(rows.size() * 40 + k));
        rows.push_back({name, offset, size});
    }
    void SetShortcuts(const std::vector<ShortcutRow>& list) {
        for (size_t j = 0; j < list.size(); ++j) EXPECT_TRUE(config.SetShortcut(static_cast<int>(j), list[j]));
        shortcut_count = static_cast<int>(list.size());
    }
    void SetRegValues(const std::vector<RegValueRow>& list) {
        for (size_t j = 0; j < list.size(); ++j) EXPECT_TRUE(config.SetRegValue(static_cast<int>(j), list[j]));
        reg_count = static_cast<int>(list.size());
    }
    // The rows and the counts into the record.
    void Commit() {
        for (size_t i = 0; i < rows.size(); ++i) EXPECT_TRUE(config.SetFile(static_cast<int>(i), rows[i]));
        config.SetCounts(static_cast<int32_t>(rows.size()), shortcut_count, reg_count);
    }
    std::vector<uint8_t> Bytes(size_t i) const {
        return {payload_bytes.begin() + rows[i].offset, payload_bytes.begin() + rows[i].offset + rows[i].size};
    }
};

// What one installation run keeps beside the record: the payload it reads, the wizard's
// Installing flag and the report it fills.
struct RunState {
    std::optional<PayloadStream> payload;
    bool installing = false;
    InstallReport report;

    // The run's context on `m`, whose resources get `payload_bytes` packed as the payload.
    InstallContext Context(FakeMachine& m, const SetupConfig& target, const std::vector<uint8_t>& payload_bytes,
                           CopyPageView& view) {
        m.resources.items["SETUPPACK"] = Pack(payload_bytes);
        payload = OpenPayload(m.resources);
        return {target, *payload, ProductKey(target), InstallKey(target), installing, report, m.platform(), view};
    }
};

}  // namespace setup::testing

#include "base/platform.h"

#include <algorithm>

#include "base/error.h"

namespace setup {

namespace {

// The resource's bytes as they lie in memory.
class SpanSource final : public Resources::Source {
public:
    explicit SpanSource(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    uint64_t Size() const override { return bytes_.size(); }
    void ReadAt(uint64_t offset, std::span<uint8_t> out) override {
        if (offset > bytes_.size() || out.size() > bytes_.size() - offset) throw Error("Stream read error");
        std::copy_n(bytes_.begin() + static_cast<ptrdiff_t>(offset), out.size(), out.begin());
    }

private:
    std::span<const uint8_t> bytes_;
};

}  // namespace

FileSystem::WriteResult FileSystem::WriteFile(const std::string& path, std::span<const uint8_t> bytes) {
    WriteResult result;
    std::unique_ptr<NewFile> file = CreateNewFile(path, result);
    if (!file) return result;
    result = file->Write(bytes);
    return result.ok() ? file->Commit() : result;
}

std::string WriteFailureText(const std::string& path, const FileSystem::WriteResult& result) {
    const bool write = result.stage == FileSystem::WriteResult::kWriteFailed;
    return (write ? "Cannot write file \"" : "Cannot create file \"") + path + "\". " + result.reason;
}

std::unique_ptr<Resources::Source> Resources::OpenSource(const std::string& name) {
    return std::make_unique<SpanSource>(Find(name));
}

}  // namespace setup

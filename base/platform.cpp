#include "base/platform.h"

#include <utility>

namespace setup {

namespace {

// The whole resource as one piece.
class SpanReader final : public Resources::Reader {
public:
    explicit SpanReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    std::span<const uint8_t> Next() override { return std::exchange(bytes_, {}); }

private:
    std::span<const uint8_t> bytes_;
};

}  // namespace

std::unique_ptr<Resources::Reader> Resources::Open(const std::string& name) {
    return std::make_unique<SpanReader>(Find(name));
}

}  // namespace setup

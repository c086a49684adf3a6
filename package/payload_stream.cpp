#include "package/payload_stream.h"

#include <algorithm>
#include <cstring>

#include "base/error.h"
#include "package/packed_resource.h"

namespace setup {
namespace {

// One thread reads the resource through a buffer of this size.
constexpr size_t kReadPiece = size_t{256} << 10;

// Hands out the resource's bytes from `from` on, one buffer at a time.
class SequentialReader {
public:
    SequentialReader(Resources::Source& source, uint64_t from) : source_(source), at_(from) {}
    std::span<const uint8_t> Next() {
        const uint64_t size = source_.Size();
        if (at_ >= size) return {};
        const size_t n = static_cast<size_t>(std::min<uint64_t>(size - at_, kReadPiece));
        buffer_.resize(n);
        source_.ReadAt(at_, buffer_);
        at_ += n;
        return buffer_;
    }

private:
    Resources::Source& source_;
    uint64_t at_;
    std::vector<uint8_t> buffer_;
};

}  // namespace

PayloadStream::PayloadStream(std::unique_ptr<Resources::Source> packed, std::optional<std::vector<PackedBlock>> index,
                             unsigned threads)
    : packed_(std::move(packed)), index_(std::move(index)), threads_(threads) {
    uint8_t header[4];
    packed_->ReadAt(0, header);
    size_ = uint32_t{header[0]} | uint32_t{header[1]} << 8 | uint32_t{header[2]} << 16 | uint32_t{header[3]} << 24;
}

PayloadStream::~PayloadStream() = default;
PayloadStream::PayloadStream(PayloadStream&&) noexcept = default;
PayloadStream& PayloadStream::operator=(PayloadStream&&) noexcept = default;

bool PayloadStream::parallel() const { return false; }

void PayloadStream::Stream(const PayloadSink& sink) {
    SequentialReader reader(*packed_, 0);
    UnpackStream([&] { return reader.Next(); }, {}, sink);
}

std::vector<uint8_t> EncodeBlockIndex(std::span<const PackedBlock>) { return {}; }
std::optional<std::vector<PackedBlock>> ParseBlockIndex(std::span<const uint8_t>) { return std::nullopt; }

PayloadStream OpenPayload(Resources& resources, unsigned threads) {
    std::unique_ptr<Resources::Source> packed = resources.OpenSource(kPayloadResource);
    if (packed->Size() < 4) throw Error("Stream read error");
    return PayloadStream(std::move(packed), std::nullopt, threads);
}

}  // namespace setup

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

// The index resource, every field little-endian:
//   offset  size       field
//   0       4          magic "ZSBI"
//   4       4          version, 1
//   8       4          block count K, at least 1
//   12      8 * K      per block: packed offset (u32), then unpacked offset (u32)
// Nothing follows the entries. A reader that meets another version takes the package as
// having no index and inflates it with one thread.
namespace {
constexpr uint8_t kIndexMagic[4] = {'Z', 'S', 'B', 'I'};
constexpr uint32_t kIndexVersion = 1;
constexpr size_t kIndexHeader = 12, kIndexEntry = 8;

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
uint32_t Get32(std::span<const uint8_t> b, size_t at) {
    return uint32_t{b[at]} | uint32_t{b[at + 1]} << 8 | uint32_t{b[at + 2]} << 16 | uint32_t{b[at + 3]} << 24;
}
}  // namespace

std::vector<uint8_t> EncodeBlockIndex(std::span<const PackedBlock> blocks) {
    std::vector<uint8_t> out(kIndexMagic, kIndexMagic + 4);
    out.reserve(kIndexHeader + kIndexEntry * blocks.size());
    Put32(out, kIndexVersion);
    Put32(out, static_cast<uint32_t>(blocks.size()));
    for (const PackedBlock& b : blocks) {
        Put32(out, b.packed_offset);
        Put32(out, b.unpacked_offset);
    }
    return out;
}

std::optional<std::vector<PackedBlock>> ParseBlockIndex(std::span<const uint8_t> bytes) {
    if (bytes.size() < kIndexHeader || !std::equal(kIndexMagic, kIndexMagic + 4, bytes.begin()) ||
        Get32(bytes, 4) != kIndexVersion)
        return std::nullopt;
    const uint64_t count = Get32(bytes, 8);
    if (count == 0 || bytes.size() != kIndexHeader + kIndexEntry * count) return std::nullopt;
    std::vector<PackedBlock> blocks;
    blocks.reserve(static_cast<size_t>(count));
    for (size_t i = 0; i < count; ++i) {
        const PackedBlock b{Get32(bytes, kIndexHeader + kIndexEntry * i), Get32(bytes, kIndexHeader + kIndexEntry * i + 4)};
        if (!blocks.empty() && (b.packed_offset <= blocks.back().packed_offset ||
                                b.unpacked_offset <= blocks.back().unpacked_offset))
            return std::nullopt;
        blocks.push_back(b);
    }
    return blocks;
}

PayloadStream OpenPayload(Resources& resources, unsigned threads) {
    std::unique_ptr<Resources::Source> packed = resources.OpenSource(kPayloadResource);
    if (packed->Size() < 4) throw Error("Stream read error");
    return PayloadStream(std::move(packed), std::nullopt, threads);
}

}  // namespace setup

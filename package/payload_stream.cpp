#include "package/payload_stream.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "base/error.h"
#include "base/threads.h"
#include "package/packed_resource.h"

namespace setup {
namespace {

// One thread reads the resource through a buffer of this size.
constexpr size_t kReadPiece = size_t{256} << 10;
// The sink gets pieces of at most this size, as from UnpackStream.
constexpr size_t kSinkPiece = size_t{1} << 20;
// The most an indexed block may unpack to: what bounds the memory of a pass (threads + 1
// unpacked blocks, and a read buffer per thread) whatever an index says.
constexpr uint32_t kMaxBlock = uint32_t{4} << 20;
constexpr unsigned kMaxThreads = 8;
// The first block starts after the length field and the 2-byte zlib header.
constexpr uint64_t kFirstBlock = 6;
constexpr uint64_t kTrailer = 4;

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

uint32_t Get32(std::span<const uint8_t> b, size_t at) {
    return uint32_t{b[at]} | uint32_t{b[at + 1]} << 8 | uint32_t{b[at + 2]} << 16 | uint32_t{b[at + 3]} << 24;
}

// One indexed block: its packed bytes [packed_begin, packed_end) and where it unpacks to.
struct BlockRange {
    uint64_t packed_begin = 0, packed_end = 0;
    uint32_t unpacked_begin = 0, length = 0;
};

// The blocks an index describes in a resource of `size` bytes unpacking to n, or nothing
// when it cannot describe the stream: it must start right after the zlib header, go up
// strictly, keep every block within kMaxBlock (and its packed bytes within what deflate can
// plausibly take for that), and end at n with the last block just before the trailer.
std::vector<BlockRange> Ranges(const std::vector<PackedBlock>& index, uint64_t size, uint32_t n) {
    if (index.empty() || index[0] != PackedBlock{static_cast<uint32_t>(kFirstBlock), 0} ||
        size < kFirstBlock + kTrailer)
        return {};
    std::vector<BlockRange> ranges;
    ranges.reserve(index.size());
    for (size_t i = 0; i < index.size(); ++i) {
        const bool last = i + 1 == index.size();
        const uint64_t packed_end = last ? size - kTrailer : index[i + 1].packed_offset;
        const uint64_t unpacked_end = last ? n : index[i + 1].unpacked_offset;
        if (packed_end <= index[i].packed_offset || unpacked_end <= index[i].unpacked_offset ||
            unpacked_end - index[i].unpacked_offset > kMaxBlock)
            return {};
        const uint32_t length = static_cast<uint32_t>(unpacked_end - index[i].unpacked_offset);
        if (packed_end - index[i].packed_offset > uint64_t{length} + length / 8 + 1024) return {};
        ranges.push_back({index[i].packed_offset, packed_end, index[i].unpacked_offset, length});
    }
    return ranges;
}

// What inflate itself checks of a zlib header: deflate, a window of at most 32 KB, the check
// bits, no preset dictionary.
bool GoodZlibHeader(uint8_t cmf, uint8_t flg) {
    return (cmf & 0x0F) == 8 && (cmf >> 4) <= 7 && (cmf * 256u + flg) % 31 == 0 && !(flg & 0x20);
}

// Inflates one block with a fresh raw inflater. It counts only when it gives exactly
// out.size() bytes from exactly its packed bytes and stops where the next block can start:
// at the end of a deflate block on a byte boundary, not the stream's last block; the last
// block instead must end the stream. Without a dictionary, inflate refuses any match that
// reaches back before the block's start, so a block that passes gives the same bytes here as
// in one inflate of the whole stream, where the block before left off in the same state (at
// a deflate block boundary, byte-aligned, nothing carried over).
// The packed bytes are read through `in` a piece at a time, so that a worker holds one small
// input buffer rather than a whole packed block.
bool InflateBlock(Resources::Source& source, uint64_t begin, uint64_t end, std::vector<uint8_t>& in,
                  std::span<uint8_t> out, bool last) {
    z_stream z{};
    if (inflateInit2(&z, -15) != Z_OK) return false;
    struct End {
        z_stream* z;
        ~End() { inflateEnd(z); }
    } end_guard{&z};
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    uint64_t at = begin;
    // Z_BLOCK stops after each deflate block; data_type then has 128 set, 64 when that was the
    // final block (one more call reports the stream's end), and the unused bits in the low 3.
    int rc;
    for (;;) {
        if (z.avail_in == 0 && at < end) {
            const size_t n = static_cast<size_t>(std::min<uint64_t>(in.size(), end - at));
            source.ReadAt(at, {in.data(), n});
            at += n;
            z.next_in = in.data();
            z.avail_in = static_cast<uInt>(n);
        }
        rc = inflate(&z, Z_BLOCK);
        if (rc != Z_OK || (z.avail_in == 0 && at == end && (z.data_type & (128 | 64)) == 128)) break;
    }
    const bool whole = z.avail_in == 0 && at == end && z.avail_out == 0;
    const bool ends_right = last ? rc == Z_STREAM_END : rc == Z_OK && (z.data_type & 7) == 0;
    return whole && ends_right;
}

// Workers inflate blocks ahead of the calling thread into a ring of slots; the calling thread
// hands them to the sink in order.
class BlockPass {
public:
    BlockPass(Resources::Source& source, const std::vector<BlockRange>& ranges, unsigned workers)
        : source_(source), ranges_(ranges), workers_(workers), slots_(workers + 1) {}

    // True when every block held and their Adler-32 matched the trailer. `delivered` counts
    // the bytes the sink has seen either way. An exception from the sink passes through, after
    // the workers stopped.
    bool Run(const PayloadSink& sink, uint64_t& delivered) {
        std::vector<Thread> threads;
        // Declared after `threads`, so it runs first on the way out: the workers stop before
        // they are joined.
        struct Stopper {
            BlockPass& pass;
            ~Stopper() {
                {
                    Lock lock(pass.m_);
                    pass.stop_ = true;
                }
                pass.work_.NotifyAll();
            }
        } stopper{*this};
        try {
            for (unsigned i = 0; i < workers_; ++i) threads.emplace_back([this] { Work(); });
        } catch (const Error&) {
            if (threads.empty()) return false;  // no thread at all: the one-thread pass decides
        }

        uLong adler = adler32(0, nullptr, 0);
        for (size_t i = 0; i < ranges_.size(); ++i) {
            Slot& slot = slots_[i % slots_.size()];
            {
                Lock lock(m_);
                done_.Wait(lock, [&] { return slot.block == i && (slot.state == kReady || slot.state == kFailed); });
                if (slot.state == kFailed) return false;
            }
            const uint32_t length = ranges_[i].length;
            adler = adler32_combine(adler, slot.adler, static_cast<z_off_t>(length));
            for (size_t at = 0; at < length; at += kSinkPiece) {
                const size_t n = std::min<size_t>(kSinkPiece, length - at);
                sink({slot.out.data() + at, n});
                delivered += n;
            }
            {
                Lock lock(m_);
                slot.state = kFree;
                ++consumed_;
            }
            work_.NotifyAll();
        }
        uint8_t trailer[kTrailer];
        try {
            source_.ReadAt(ranges_.back().packed_end, trailer);
        } catch (const Error&) {
            return false;
        }
        const uLong stored = uLong{trailer[0]} << 24 | uLong{trailer[1]} << 16 | uLong{trailer[2]} << 8 | trailer[3];
        return stored == adler;
    }

private:
    enum State { kFree, kBusy, kReady, kFailed };
    struct Slot {
        std::vector<uint8_t> out;  // kept from block to block: each slot is touched once
        uLong adler = 0;
        State state = kFree;
        size_t block = SIZE_MAX;
    };

    void Work() {
        std::vector<uint8_t> in;  // this worker's window on the packed bytes
        for (;;) {
            size_t i;
            Slot* slot;
            {
                Lock lock(m_);
                // A block may start once the one before it in its slot has gone to the sink.
                work_.Wait(lock, [&] { return stop_ || next_ >= ranges_.size() || next_ < consumed_ + slots_.size(); });
                if (stop_ || next_ >= ranges_.size()) return;
                i = next_++;
                slot = &slots_[i % slots_.size()];
                slot->block = i;
                slot->state = kBusy;
            }
            bool ok = false;
            try {
                const BlockRange& r = ranges_[i];
                if (in.empty()) in.resize(kReadPiece);
                slot->out.resize(r.length);
                ok = InflateBlock(source_, r.packed_begin, r.packed_end, in, {slot->out.data(), r.length},
                                  i + 1 == ranges_.size());
                if (ok) slot->adler = adler32_z(adler32(0, nullptr, 0), slot->out.data(), r.length);
            } catch (...) {
                // A read error or no memory: the block does not count, and the one-thread pass
                // that follows reports what is really wrong.
            }
            {
                Lock lock(m_);
                slot->state = ok ? kReady : kFailed;
            }
            done_.NotifyAll();
        }
    }

    Resources::Source& source_;
    const std::vector<BlockRange>& ranges_;
    const unsigned workers_;
    std::vector<Slot> slots_;
    Mutex m_;
    CondVar work_, done_;  // a slot came free / a block is done
    size_t next_ = 0, consumed_ = 0;
    bool stop_ = false;
};

}  // namespace

PayloadStream::PayloadStream(std::unique_ptr<Resources::Source> packed, std::optional<std::vector<PackedBlock>> index,
                             unsigned threads)
    : packed_(std::move(packed)), index_(std::move(index)) {
    uint8_t header[4];
    packed_->ReadAt(0, header);
    size_ = Get32(header, 0);
    threads_ = std::min(threads == 0 ? HardwareThreads() : threads, kMaxThreads);
    // An index that cannot describe this stream is dropped at once.
    if (index_) {
        uint8_t zlib[2] = {};
        bool good = false;
        try {
            packed_->ReadAt(4, zlib);
            good = GoodZlibHeader(zlib[0], zlib[1]) && !Ranges(*index_, packed_->Size(), size_).empty();
        } catch (const Error&) {
        }
        if (!good) index_.reset();
    }
}

PayloadStream::~PayloadStream() = default;
PayloadStream::PayloadStream(PayloadStream&&) noexcept = default;
PayloadStream& PayloadStream::operator=(PayloadStream&&) noexcept = default;

bool PayloadStream::parallel() const { return index_.has_value() && threads_ > 1; }

void PayloadStream::Stream(const PayloadSink& sink) {
    uint64_t delivered = 0;
    if (parallel()) {
        const std::vector<BlockRange> ranges = Ranges(*index_, packed_->Size(), size_);
        const unsigned workers = static_cast<unsigned>(std::min<size_t>(threads_, ranges.size()));
        if (BlockPass(*packed_, ranges, workers).Run(sink, delivered)) return;
        index_.reset();
    }
    // One thread from the stream's start; the bytes the sink has already seen are the same
    // here (every block handed over had held) and are skipped.
    SequentialReader reader(*packed_, 0);
    uint64_t skip = delivered;
    UnpackStream([&] { return reader.Next(); }, {}, [&](std::span<const uint8_t> piece) {
        if (skip >= piece.size()) {
            skip -= piece.size();
            return;
        }
        sink(piece.subspan(static_cast<size_t>(skip)));
        skip = 0;
    });
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
    std::optional<std::vector<PackedBlock>> index;
    try {
        index = ParseBlockIndex(resources.Find(kBlockIndexResource));
    } catch (const Error&) {
        // Packages of one block, and those made before the index, have none.
    }
    return PayloadStream(std::move(packed), std::move(index), threads);
}

}  // namespace setup

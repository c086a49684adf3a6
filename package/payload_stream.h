// payload_stream.h: the payload inflated as a stream, in bounded memory.
//
// "SETUPPACK" is a packed resource (length N, one zlib stream). The payload is never held
// whole: every pass inflates the stream again and hands the N bytes to a sink, in order, a
// piece at a time. A package may carry a block index ("SETUPINDEX"): the packager deflates
// the payload in blocks that start without a dictionary on a byte boundary, so each block
// can be inflated on its own, and the index tells where each one starts. With it, blocks are
// inflated on every core ahead of the sink; without it (or when it does not describe the
// stream), one thread inflates the stream from its start.
//
// An index can only make a pass faster, never change its bytes: a block counts only when it
// inflates on its own to exactly its length and ends on a block boundary exactly where the
// next one starts (the last one at the stream's end), and the blocks' Adler-32 together must
// match the stream's trailer. Anything else drops the index for good and the pass goes on
// with one thread: it inflates from the stream's start again and hands on only the bytes the
// sink has not seen yet, so damaged data ends in the one-thread pass's errors.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/platform.h"
#include "package/format.h"

namespace setup {

// Where one independent block starts: in the packed resource (counted from its first byte,
// the length field included) and in the payload.
struct PackedBlock {
    uint32_t packed_offset = 0;
    uint32_t unpacked_offset = 0;
    bool operator==(const PackedBlock&) const = default;
};

// The index resource's bytes for these blocks, and back. ParseBlockIndex gives nullopt for
// bytes that are no index (wrong magic or version, wrong length, offsets not increasing).
std::vector<uint8_t> EncodeBlockIndex(std::span<const PackedBlock> blocks);
std::optional<std::vector<PackedBlock>> ParseBlockIndex(std::span<const uint8_t> bytes);

// Receives the payload's bytes in order; a piece is valid during the call only. The sink
// runs on the thread that called Stream and may take its time (write files, show boxes).
using PayloadSink = std::function<void(std::span<const uint8_t>)>;

class PayloadStream {
public:
    // Reads the length field. Throws Error("Stream read error") when the resource is shorter
    // than it. `threads` is the most blocks inflated at once (0: one per core; at most 8).
    // An index whose shape cannot describe the stream is dropped here already.
    PayloadStream(std::unique_ptr<Resources::Source> packed, std::optional<std::vector<PackedBlock>> index,
                  unsigned threads = 0);
    ~PayloadStream();
    PayloadStream(PayloadStream&&) noexcept;
    PayloadStream& operator=(PayloadStream&&) noexcept;

    // N, the payload's length.
    uint32_t size() const { return size_; }
    // True while passes use the index: there is one, it is still trusted (it is dropped when
    // a pass finds it wrong) and more than one thread is allowed.
    bool parallel() const;

    // One pass: inflates the stream and hands exactly N bytes to sink, then checks the
    // stream's end as Unpack does. Errors as Unpack ("Stream read error" when the stream
    // ends early, "Error" for damaged data); an exception from the sink ends the pass and
    // passes through. Every call starts from the payload's first byte.
    void Stream(const PayloadSink& sink);

private:
    std::unique_ptr<Resources::Source> packed_;
    std::optional<std::vector<PackedBlock>> index_;
    unsigned threads_ = 1;
    uint32_t size_ = 0;
};

// "SETUPPACK" and, when the package has one, "SETUPINDEX". Throws Error("Resource SETUPPACK
// not found") as Resources::Find does.
PayloadStream OpenPayload(Resources& resources, unsigned threads = 0);

}  // namespace setup

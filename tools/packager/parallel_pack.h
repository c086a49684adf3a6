// parallel_pack.h: the packed-resource framing (length, then one zlib stream) made on every
// core. The payload is cut into blocks of a fixed size; each block is a fresh raw deflate
// with no dictionary (so the setup can inflate it on its own, on any core), ended with a sync
// flush on a byte boundary, the last one with Z_FINISH; the pieces, between one zlib header
// and one Adler-32 trailer, are one valid stream that any inflater reads as usual. The block
// starts become the package's block index ("SETUPINDEX", package/payload_stream.h).
//
// The output depends only on the data, the level and the block size, never on the number of
// threads or their timing: packaging stays reproducible.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "package/payload_stream.h"

namespace setup::packager {

inline constexpr size_t kPackBlock = size_t{1} << 20;

struct PackedBlocks {
    std::vector<uint8_t> bytes;         // the packed resource
    std::vector<PackedBlock> blocks;    // where each block starts; empty for one block or less
};

// Told how many bytes of the data are packed so far; called on the calling thread only.
using PackProgress = std::function<void(uint64_t packed)>;

// As setup::Pack, with up to `threads` blocks deflated at once (0: one per core).
PackedBlocks PackBlocks(std::span<const uint8_t> data, int level = 9, unsigned threads = 0,
                        const PackProgress& progress = {});
inline std::vector<uint8_t> PackParallel(std::span<const uint8_t> data, int level = 9, unsigned threads = 0) {
    return PackBlocks(data, level, threads).bytes;
}

}  // namespace setup::packager

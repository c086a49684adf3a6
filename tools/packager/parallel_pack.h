// parallel_pack.h: the packed-resource framing (length, then one zlib stream) made on every
// core. The payload is cut into blocks of a fixed size; each block is deflated on its own,
// primed with the 32 KB of data before it (so matches reach back across the cut as they would
// in one stream), and ended with a sync flush; the pieces, between one zlib header and one
// Adler-32 trailer, are one valid stream that any inflater reads as usual.
//
// The output depends only on the data, the level and the block size, never on the number of
// threads or their timing: packaging stays reproducible.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace setup::packager {

inline constexpr size_t kPackBlock = size_t{1} << 20;

// As setup::Pack, with up to `threads` blocks deflated at once (0: one per core).
std::vector<uint8_t> PackParallel(std::span<const uint8_t> data, int level = 9, unsigned threads = 0);

}  // namespace setup::packager

#include "tools/packager/parallel_pack.h"

#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>

#include "base/error.h"
#include "package/packed_resource.h"

namespace setup::packager {

namespace {

// The zlib header deflateInit writes for this level (RFC 1950: 32 KB window, deflate, the
// level class in FLEVEL, FCHECK making the pair a multiple of 31).
void PutHeader(std::vector<uint8_t>& out, int level) {
    const int flevel = level < 2 ? 0 : level < 6 ? 1 : level == 6 ? 2 : 3;
    const unsigned cmf = 0x78, flg = static_cast<unsigned>(flevel) << 6;
    out.push_back(static_cast<uint8_t>(cmf));
    out.push_back(static_cast<uint8_t>(flg + (31 - (cmf * 256 + flg) % 31)));
}

// Raw deflate of one block with no dictionary, so nothing in it refers to the blocks before;
// the last block finishes the stream, every other one ends on a byte boundary with a sync
// flush (an empty stored block), where the next one's first deflate block starts.
std::vector<uint8_t> DeflateBlock(std::span<const uint8_t> data, size_t begin, size_t end, int level) {
    z_stream z{};
    if (deflateInit2(&z, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) throw Error("Out of memory");
    struct End {
        z_stream* z;
        ~End() { deflateEnd(z); }
    } end_guard{&z};
    const bool last = end == data.size();
    std::vector<uint8_t> out(deflateBound(&z, static_cast<uLong>(end - begin)) + 16);
    z.next_in = const_cast<Bytef*>(data.data() + begin);
    z.avail_in = static_cast<uInt>(end - begin);
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    const int rc = deflate(&z, last ? Z_FINISH : Z_SYNC_FLUSH);
    if (rc != (last ? Z_STREAM_END : Z_OK) || z.avail_in != 0) throw Error("Error");
    out.resize(out.size() - z.avail_out);
    return out;
}

}  // namespace

PackedBlocks PackBlocks(std::span<const uint8_t> data, int level, unsigned threads, const PackProgress& progress) {
    if (data.size() <= kPackBlock) {  // one block: the plain stream, no index
        PackedBlocks one{Pack(data, level), {}};
        if (progress) progress(data.size());
        return one;
    }
    if constexpr (sizeof(size_t) > 4) {
        if (data.size() > UINT32_MAX) throw Error("Data too large to pack");
    }
    const size_t blocks = (data.size() + kPackBlock - 1) / kPackBlock;
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
    threads = static_cast<unsigned>(std::min<size_t>(threads, blocks));

    std::vector<std::vector<uint8_t>> pieces(blocks);
    std::atomic<size_t> next{0};
    std::exception_ptr failure;
    std::atomic<bool> failed{false};
    std::atomic<uint64_t> packed{0};
    const std::thread::id caller = std::this_thread::get_id();
    auto work = [&] {
        for (size_t i; !failed && (i = next++) < blocks;) {
            try {
                const size_t end = std::min(data.size(), (i + 1) * kPackBlock);
                pieces[i] = DeflateBlock(data, i * kPackBlock, end, level);
                const uint64_t done = packed += end - i * kPackBlock;
                if (progress && std::this_thread::get_id() == caller) progress(done);
            } catch (...) {
                if (!failed.exchange(true)) failure = std::current_exception();
            }
        }
    };
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < threads; ++t) pool.emplace_back(work);
    const uLong adler = adler32_z(adler32_z(0, nullptr, 0), data.data(), data.size());
    work();
    for (std::thread& t : pool) t.join();
    if (failure) std::rethrow_exception(failure);
    if (progress) progress(data.size());

    const uint32_t n = static_cast<uint32_t>(data.size());
    std::vector<uint8_t> out = {static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n >> 16),
                                static_cast<uint8_t>(n >> 24)};
    size_t total = 4 + 2 + 4;
    for (const auto& p : pieces) total += p.size();
    out.reserve(total);
    PutHeader(out, level);
    std::vector<PackedBlock> starts;
    starts.reserve(blocks);
    for (size_t i = 0; i < blocks; ++i) {
        starts.push_back({static_cast<uint32_t>(out.size()), static_cast<uint32_t>(i * kPackBlock)});
        out.insert(out.end(), pieces[i].begin(), pieces[i].end());
        std::vector<uint8_t>().swap(pieces[i]);
    }
    if (out.size() > UINT32_MAX - 4) throw Error("Data too large to pack");
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(adler >> shift));
    return {std::move(out), std::move(starts)};
}

}  // namespace setup::packager

#include "package/packed_resource.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <new>
#include <utility>

#include "base/error.h"

namespace setup {
namespace {

constexpr size_t kHeaderSize = 4;
// What one pass of UnpackStream holds of the unpacked bytes at a time.
constexpr size_t kStreamBuffer = size_t{1} << 20;

// Owns a z_stream set up for inflate (zlib format).
class Inflater {
public:
    Inflater() {
        int rc = inflateInit(&z_);
        if (rc == Z_MEM_ERROR) throw Error("Out of memory");
        if (rc != Z_OK) throw Error("Error");
    }
    ~Inflater() { inflateEnd(&z_); }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;
    z_stream* operator->() { return &z_; }
    z_stream* get() { return &z_; }

private:
    z_stream z_{};
};

class Deflater {
public:
    explicit Deflater(int level) {
        int rc = deflateInit(&z_, level);
        if (rc == Z_MEM_ERROR) throw Error("Out of memory");
        if (rc != Z_OK) throw Error("Error");
    }
    ~Deflater() { deflateEnd(&z_); }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;
    z_stream* operator->() { return &z_; }
    z_stream* get() { return &z_; }

private:
    z_stream z_{};
};

// avail_in / avail_out are 32-bit: hand over at most UINT_MAX bytes at a time.
uInt Chunk(size_t n) { return static_cast<uInt>(std::min<size_t>(n, UINT_MAX)); }

[[noreturn]] void ThrowFor(int rc) {
    if (rc == Z_MEM_ERROR) throw Error("Out of memory");
    throw Error("Error");
}

}  // namespace

uint32_t UnpackStream(const PackedPieces& next, const std::function<void(uint32_t)>& start, const UnpackSink& sink) {
    // The length may arrive split over pieces.
    uint8_t header[kHeaderSize];
    size_t have = 0;
    std::span<const uint8_t> piece;
    while (have < kHeaderSize) {
        if (piece.empty() && (piece = next()).empty()) throw Error("Stream read error");
        const size_t take = std::min(kHeaderSize - have, piece.size());
        std::copy_n(piece.begin(), take, header + have);
        have += take;
        piece = piece.subspan(take);
    }
    const uint32_t n = uint32_t{header[0]} | uint32_t{header[1]} << 8 | uint32_t{header[2]} << 16 |
                       uint32_t{header[3]} << 24;
    if (start) start(n);
    if (n == 0) return n;
    const size_t buffer_size = std::min<size_t>(n, kStreamBuffer);
    std::unique_ptr<uint8_t[]> buffer;
    try {
        buffer = std::make_unique_for_overwrite<uint8_t[]>(buffer_size);
    } catch (const std::bad_alloc&) {
        throw Error("Out of memory");
    }

    Inflater z;
    // Hands inflate the next piece when it has used up the last; false at the end.
    const auto refill = [&] {
        if (z->avail_in > 0) return true;
        if (piece.empty()) piece = next();
        if (piece.empty()) return false;
        z->next_in = const_cast<Bytef*>(piece.data());
        z->avail_in = Chunk(piece.size());
        piece = piece.subspan(z->avail_in);
        return true;
    };

    size_t produced = 0, filled = 0;
    bool ended = false;
    while (produced < n && !ended) {
        const bool input = refill();
        z->next_out = buffer.get() + filled;
        z->avail_out = Chunk(std::min<size_t>(n - produced, buffer_size - filled));
        const uInt given = z->avail_out, before_in = z->avail_in;
        const int rc = inflate(z.get(), Z_NO_FLUSH);
        const size_t got = given - z->avail_out;
        produced += got;
        filled += got;
        if (filled == buffer_size || produced == n) {
            sink({buffer.get(), filled});
            filled = 0;
        }
        if (rc == Z_STREAM_END) ended = true;
        else if (rc != Z_OK && rc != Z_BUF_ERROR) ThrowFor(rc);
        else if (z->avail_in == before_in && got == 0) {
            if (!input) break;       // the input ended first
            throw Error("Error");    // no progress with input left
        }
    }
    if (filled > 0) sink({buffer.get(), filled});
    if (produced < n) throw Error("Stream read error");

    // Exactly N bytes are out. When the stream also ends here, let zlib check its Adler-32
    // trailer, so a damaged stream of the right length is not taken as good; content beyond
    // N, or a stream cut after its data, is ignored.
    if (ended) return n;
    uint8_t probe;
    z->next_out = &probe;
    z->avail_out = 1;
    // inflate runs at least once, even with no input left: it may still hold bits of the
    // stream that decide.
    for (;;) {
        const bool input = refill();
        const uInt before_in = z->avail_in;
        const int rc = inflate(z.get(), Z_NO_FLUSH);
        if (rc == Z_DATA_ERROR && z->avail_out == 1) throw Error("Error");
        if (rc != Z_OK || z->avail_out == 0 || !input || z->avail_in == before_in) break;
    }
    return n;
}

UnpackedBytes UnpackPieces(const PackedPieces& next) {
    UnpackedBytes out;
    size_t at = 0;
    UnpackStream(
        next,
        [&](uint32_t n) {
            if (n == 0) return;
            // Reserved whole up front, so that a length that cannot be had fails at once;
            // left uncleared: inflate writes every byte.
            try {
                out.data = std::make_unique_for_overwrite<uint8_t[]>(n);
            } catch (const std::bad_alloc&) {
                throw Error("Out of memory");
            }
            out.size = n;
        },
        [&](std::span<const uint8_t> bytes) {
            std::copy(bytes.begin(), bytes.end(), out.data.get() + at);
            at += bytes.size();
        });
    return out;
}

std::vector<uint8_t> Unpack(std::span<const uint8_t> packed) {
    const UnpackedBytes out = UnpackPieces([&] { return std::exchange(packed, {}); });
    return std::vector<uint8_t>(out.data.get(), out.data.get() + out.size);
}

std::vector<uint8_t> Pack(std::span<const uint8_t> data, int level) {
    if constexpr (sizeof(size_t) > 4) {
        if (data.size() > UINT32_MAX) throw Error("Data too large to pack");
    }
    const uint32_t n = static_cast<uint32_t>(data.size());
    std::vector<uint8_t> out = {static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8),
                                static_cast<uint8_t>(n >> 16), static_cast<uint8_t>(n >> 24)};
    Deflater z(level);
    const uint8_t* in = data.data();
    size_t in_left = data.size();
    const size_t bound = deflateBound(z.get(), static_cast<uLong>(std::min<size_t>(data.size(), ULONG_MAX)));
    out.reserve(kHeaderSize + std::min<size_t>(bound, size_t{64} << 20));
    int rc = Z_OK;
    while (rc != Z_STREAM_END) {
        if (z->avail_in == 0 && in_left > 0) {
            z->next_in = const_cast<Bytef*>(in);
            z->avail_in = Chunk(in_left);
            in += z->avail_in;
            in_left -= z->avail_in;
        }
        const size_t used = out.size();
        out.resize(used + std::max<size_t>(size_t{1} << 16, std::min<size_t>(bound, size_t{16} << 20)));
        z->next_out = out.data() + used;
        z->avail_out = Chunk(out.size() - used);
        const uInt given = z->avail_out;
        rc = deflate(z.get(), in_left == 0 ? Z_FINISH : Z_NO_FLUSH);
        out.resize(used + (given - z->avail_out));
        if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) ThrowFor(rc);
    }
    out.shrink_to_fit();
    return out;
}

}  // namespace setup

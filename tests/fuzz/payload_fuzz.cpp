// Fuzzes the payload path: the framing of "SETUPPACK", the loader, and the byte sum against
// its portable form and a plain loop; a decoded payload packs and unpacks to itself.
#include <algorithm>
#include <cstdint>
#include <span>
#include <string>

#include "fuzz_support.h"
#include "package/packed_resource.h"
#include "package/payload.h"
#include "package/payload_stream.h"

using namespace setup;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::span<const uint8_t> in(data, size);
    uint32_t plain = 0;
    for (uint8_t b : in) plain += b;
    ZS_FUZZ_CHECK(ByteSum(in) == plain);
    ZS_FUZZ_CHECK(ByteSumPortable(in) == plain);

    std::vector<uint8_t> packed = fuzz::WithBoundedLength(in);
    const uint32_t declared = packed.size() >= 4 ? packed[0] | packed[1] << 8 | packed[2] << 16 | uint32_t(packed[3]) << 24 : 0;
    // The same bytes handed over in pieces (as the setup reads its file) give the same outcome.
    const size_t piece = 1 + (size ? data[0] % 61 : 0);
    std::span<const uint8_t> rest = packed;
    std::string pieces_error;
    UnpackedBytes pieces;
    try {
        pieces = UnpackPieces([&] {
            const auto p = rest.first(std::min(piece, rest.size()));
            rest = rest.subspan(p.size());
            return p;
        });
    } catch (const Error& e) {
        pieces_error = e.text();
    }
    fuzz::OneResource res("SETUPPACK", std::move(packed));
    // The streamed pass gives the same bytes and the same errors, in pieces.
    std::vector<uint8_t> payload;
    try {
        PayloadStream stream = OpenPayload(res);
        stream.Stream([&](std::span<const uint8_t> p) { payload.insert(payload.end(), p.begin(), p.end()); });
    } catch (const Error& e) {
        ZS_FUZZ_CHECK(fuzz::IsUnpackError(e));
        // A pass never holds N bytes, so a length that cannot be allocated is no error of its.
        ZS_FUZZ_CHECK(pieces_error == e.text() || pieces_error == "Out of memory");
        return 0;
    }
    ZS_FUZZ_CHECK(pieces_error.empty() && pieces.size == payload.size());
    ZS_FUZZ_CHECK(std::equal(payload.begin(), payload.end(), pieces.data.get()));
    ZS_FUZZ_CHECK(payload.size() == declared);  // exactly N bytes, never more or fewer
    if (payload.size() <= (64u << 10)) ZS_FUZZ_CHECK(Unpack(Pack(payload, 1)) == payload);
    uint32_t sum = 0;
    for (uint8_t b : payload) sum += b;
    ZS_FUZZ_CHECK(ByteSum(payload) == sum);
    return 0;
}

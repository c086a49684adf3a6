#include "package/payload.h"
#include "package/format.h"

#include <algorithm>
#include <cstring>

#include "package/packed_resource.h"

#if defined(__x86_64__) || defined(__i386__)
#include <emmintrin.h>
#define ZS_HAVE_SSE2_PATH 1
#endif
#if defined(__i386__)
#include <cpuid.h>
#endif

namespace setup {
namespace {

// Word-at-a-time sum: each 64-bit word is split into its even and odd bytes, added as four
// 16-bit lanes. A lane gains at most 2 * 255 per word, so 128 words fit before the lanes are
// folded into the 32-bit total.
uint32_t SumWords(const uint8_t* p, size_t n) {
    constexpr uint64_t kLow = 0x00FF00FF00FF00FFull;
    uint32_t sum = 0;
    while (n >= 8) {
        size_t words = std::min<size_t>(n / 8, 128);
        uint64_t lanes = 0;
        for (size_t i = 0; i < words; ++i) {
            uint64_t w;
            std::memcpy(&w, p + 8 * i, 8);
            lanes += (w & kLow) + ((w >> 8) & kLow);
        }
        // Fold four 16-bit lanes.
        lanes = (lanes & 0x0000FFFF0000FFFFull) + ((lanes >> 16) & 0x0000FFFF0000FFFFull);
        sum += static_cast<uint32_t>(lanes) + static_cast<uint32_t>(lanes >> 32);
        p += 8 * words;
        n -= 8 * words;
    }
    while (n--) sum += *p++;
    return sum;
}

#ifdef ZS_HAVE_SSE2_PATH
// psadbw against zero adds eight bytes into a 64-bit lane: exact sums, no overflow to manage.
// The target attribute lets the 32-bit build (which does not assume SSE2) carry this path
// and choose it at run time.
__attribute__((target("sse2"))) uint32_t SumSse2(const uint8_t* p, size_t n) {
    const __m128i zero = _mm_setzero_si128();
    __m128i a0 = zero, a1 = zero, a2 = zero, a3 = zero;
    while (n >= 64) {
        a0 = _mm_add_epi64(a0, _mm_sad_epu8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), zero));
        a1 = _mm_add_epi64(a1, _mm_sad_epu8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16)), zero));
        a2 = _mm_add_epi64(a2, _mm_sad_epu8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 32)), zero));
        a3 = _mm_add_epi64(a3, _mm_sad_epu8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 48)), zero));
        p += 64;
        n -= 64;
    }
    __m128i a = _mm_add_epi64(_mm_add_epi64(a0, a1), _mm_add_epi64(a2, a3));
    // Only the low 32 bits of each lane matter for a sum modulo 2^32.
    uint32_t sum = static_cast<uint32_t>(_mm_cvtsi128_si32(a)) +
                   static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(a, 8)));
    return sum + SumWords(p, n);
}

bool HaveSse2() {
#if defined(__x86_64__) || defined(__SSE2__)
    return true;
#else
    unsigned eax, ebx, ecx, edx;
    return __get_cpuid(1, &eax, &ebx, &ecx, &edx) && (edx & bit_SSE2);
#endif
}
#endif

}  // namespace

uint32_t ByteSum(std::span<const uint8_t> bytes) {
#ifdef ZS_HAVE_SSE2_PATH
    static const bool sse2 = HaveSse2();
    if (sse2) return SumSse2(bytes.data(), bytes.size());
#endif
    return SumWords(bytes.data(), bytes.size());
}

uint32_t ByteSumPortable(std::span<const uint8_t> bytes) { return SumWords(bytes.data(), bytes.size()); }

void LoadRecord(Resources& resources, SetupConfig& config) {
    std::vector<uint8_t> decoded = Unpack(resources.Find(kRecordResource));
    config.Load(decoded);
}

}  // namespace setup

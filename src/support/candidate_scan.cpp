#include "support/candidate_scan.h"

#include <string.h>

#include <algorithm>

#include "support/byte_scan.h"
#include "support/simd_level.h"

#ifdef __x86_64__
#include <immintrin.h>
#endif

namespace {

// The first CR or LF in [p, end), or end: lines end in LF more often than not.
const char* lineEndFrom(const char* p, const char* end) {
    const auto* lf = static_cast<const char*>(memchr(p, '\n', size_t(end - p)));
    if (!lf) lf = end;
    const auto* cr = static_cast<const char*>(memchr(p, '\r', size_t(lf - p)));
    return cr ? cr : lf;
}

#ifdef __x86_64__
// Counts 32 bytes a step, in byte counters summed before they could overflow;
// moves p past the bytes counted.
__attribute__((target("avx2"))) int64_t lineFeedsAvx2(const char*& p, const char* end) {
    const __m256i lf = _mm256_set1_epi8('\n');
    const __m256i zero = _mm256_setzero_si256();
    __m256i total = zero;
    while (end - p >= 32) {
        __m256i counts = zero;
        for (int steps = int(std::min<int64_t>((end - p) / 32, 255)); steps > 0; --steps, p += 32) {
            const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
            counts = _mm256_sub_epi8(counts, _mm256_cmpeq_epi8(bytes, lf));
        }
        total = _mm256_add_epi64(total, _mm256_sad_epu8(counts, zero));
    }
    return _mm256_extract_epi64(total, 0) + _mm256_extract_epi64(total, 1) +
           _mm256_extract_epi64(total, 2) + _mm256_extract_epi64(total, 3);
}
#endif

}  // namespace

const char* afterLastLineEnd(const char* p, const char* end) {
    const auto* lf = static_cast<const char*>(memrchr(p, '\n', size_t(end - p)));
    const auto* cr = static_cast<const char*>(memrchr(p, '\r', size_t(end - p)));
    const char* last = std::max(lf ? lf : p - 1, cr ? cr : p - 1);
    return last + 1;
}

const char* CheckedCandidateScan::find(const char* p, const char* end) const {
    while (p < end) {
        const char* place = first_.find(p, end);
        if (place == end) return end;
        const char* lineEnd = lineEndFrom(place, end);
        // A line cut by the range's end is seen whole on a later call.
        if (lineEnd == end) return end;
        const char* lineStart = afterLastLineEnd(p, place);
        if (check_.find(lineStart, lineEnd) != lineEnd) return place;
        p = lineEnd + 1;
    }
    return end;
}

int32_t countLineFeeds(const char* p, const char* end) {
    int64_t count = 0;
#ifdef __x86_64__
    if (avx2Enabled()) count = lineFeedsAvx2(p, end);
#endif
    return int32_t(count + countByte(p, end, '\n'));
}

#include "support/needle_finder.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "support/byte_scan.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

// More pairs than this cost more per place than finding each needle alone.
constexpr size_t kMaxPairs = 16;

}  // namespace

NeedleFinder::NeedleFinder(const std::vector<std::string_view>& needles) {
    for (std::string_view needle : needles) {
        if (std::find(needles_.begin(), needles_.end(), needle) != needles_.end()) continue;
        needles_.emplace_back(needle);
        const Pair pair{static_cast<unsigned char>(needle[0]),
                        needle.size() > 1 ? static_cast<unsigned char>(needle[1]) : -1};
        const auto same = [&](const Pair& p) {
            return p.first == pair.first && p.second == pair.second;
        };
        if (std::none_of(pairs_.begin(), pairs_.end(), same)) pairs_.push_back(pair);
    }
#ifndef __SSE2__
    pairs_.clear();
#endif
    if (pairs_.size() > kMaxPairs) pairs_.clear();
}

bool NeedleFinder::needleAt(const char* q, const char* end) const {
    for (const std::string& needle : needles_)
        if (needle[0] == *q && size_t(end - q) >= needle.size() &&
            (needle.size() == 1 || needle[1] == q[1]) &&
            std::memcmp(q, needle.data(), needle.size()) == 0)
            return true;
    return false;
}

// For sets too large to compare at once: each needle found alone.
const char* NeedleFinder::findEach(const char* p, const char* end) const {
    const char* first = end;
    for (const std::string& needle : needles_) {
        // A needle that begins before the first so far may end after it.
        const char* limit = first + std::min(needle.size() - 1, size_t(end - first));
        first = std::min(first, findBytes(p, limit, needle));
    }
    return first;
}

const char* NeedleFinder::find(const char* p, const char* end) const {
    if (needles_.empty()) return end;
    if (pairs_.empty() || needles_.size() == 1) return findEach(p, end);
#ifdef __SSE2__
    // Places q .. q + 15 with q + 16 < end: both loads stay in range.
    for (; end - p > 16; p += 16) {
        const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 1));
        __m128i any = _mm_setzero_si128();
        for (const Pair& pair : pairs_) {
            __m128i match = _mm_cmpeq_epi8(here, _mm_set1_epi8(char(pair.first)));
            if (pair.second >= 0)
                match =
                    _mm_and_si128(match, _mm_cmpeq_epi8(next, _mm_set1_epi8(char(pair.second))));
            any = _mm_or_si128(any, match);
        }
        for (unsigned mask = unsigned(_mm_movemask_epi8(any)); mask; mask &= mask - 1) {
            const char* q = p + std::countr_zero(mask);
            if (needleAt(q, end)) return q;
        }
    }
#endif
    for (; p < end; ++p)
        if (needleAt(p, end)) return p;
    return end;
}

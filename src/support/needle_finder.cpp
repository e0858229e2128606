#include "support/needle_finder.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "support/byte_scan.h"
#include "support/simd_level.h"

#ifdef __x86_64__
#include <immintrin.h>
#endif

namespace {

// More comparisons per place than this cost more than finding each needle alone.
constexpr size_t kMaxCompares = 20;

using Leads = std::vector<NeedleFinder::Lead>;

#ifdef __x86_64__
// The places q in [p, p + 16) where a lead and one of its seconds begin, as bits.
unsigned candidates16(const char* q, const Leads& leads) {
    const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q));
    const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q + 1));
    __m128i any = _mm_setzero_si128();
    for (const NeedleFinder::Lead& lead : leads) {
        const __m128i first = _mm_cmpeq_epi8(here, _mm_set1_epi8(char(lead.first)));
        __m128i second = lead.alone ? _mm_set1_epi8(-1) : _mm_setzero_si128();
        for (unsigned char s : lead.seconds)
            second = _mm_or_si128(second, _mm_cmpeq_epi8(next, _mm_set1_epi8(char(s))));
        any = _mm_or_si128(any, _mm_and_si128(first, second));
    }
    return unsigned(_mm_movemask_epi8(any));
}

__attribute__((target("avx2"))) uint32_t candidates32(const char* q, const Leads& leads) {
    const __m256i here = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(q));
    const __m256i next = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(q + 1));
    __m256i any = _mm256_setzero_si256();
    for (const NeedleFinder::Lead& lead : leads) {
        const __m256i first = _mm256_cmpeq_epi8(here, _mm256_set1_epi8(char(lead.first)));
        __m256i second = lead.alone ? _mm256_set1_epi8(-1) : _mm256_setzero_si256();
        for (unsigned char s : lead.seconds)
            second = _mm256_or_si256(second, _mm256_cmpeq_epi8(next, _mm256_set1_epi8(char(s))));
        any = _mm256_or_si256(any, _mm256_and_si256(first, second));
    }
    return uint32_t(_mm256_movemask_epi8(any));
}

bool hasAvx2() {
    return avx2Enabled();
}
#endif

}  // namespace

NeedleFinder::NeedleFinder(const std::vector<std::string_view>& needles) {
    size_t compares = 0;
    for (std::string_view needle : needles) {
        if (std::find(needles_.begin(), needles_.end(), needle) != needles_.end()) continue;
        needles_.emplace_back(needle);
        const auto first = static_cast<unsigned char>(needle[0]);
        auto lead = std::find_if(leads_.begin(), leads_.end(),
                                 [&](const Lead& l) { return l.first == first; });
        if (lead == leads_.end()) {
            leads_.push_back({first, false, {}});
            lead = leads_.end() - 1;
            ++compares;
        }
        if (needle.size() == 1) {
            lead->alone = true;
        } else if (std::find(lead->seconds.begin(), lead->seconds.end(),
                             static_cast<unsigned char>(needle[1])) == lead->seconds.end()) {
            lead->seconds.push_back(static_cast<unsigned char>(needle[1]));
            ++compares;
        }
    }
#ifndef __x86_64__
    leads_.clear();
#endif
    if (compares > kMaxCompares) leads_.clear();
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
    // One byte alone is found fastest by memchr.
    if (leads_.empty() || (needles_.size() == 1 && needles_[0].size() == 1))
        return findEach(p, end);
#ifdef __x86_64__
    // Both loads of a block stay in range: q + width < end.
    if (hasAvx2()) {
        for (; end - p > 32; p += 32)
            for (uint32_t mask = candidates32(p, leads_); mask; mask &= mask - 1)
                if (needleAt(p + std::countr_zero(mask), end)) return p + std::countr_zero(mask);
    }
    for (; end - p > 16; p += 16)
        for (unsigned mask = candidates16(p, leads_); mask; mask &= mask - 1)
            if (needleAt(p + std::countr_zero(mask), end)) return p + std::countr_zero(mask);
#endif
    for (; p < end; ++p)
        if (needleAt(p, end)) return p;
    return end;
}

// Scans over raw bytes that look at eight bytes at a time: finding the first
// byte of a small set, finding a byte string and counting one byte value. The record cutter, the
// first-character scan and the stream's line counting run these over every
// byte of the searched files.
#pragma once
#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace byte_scan {

constexpr uint64_t kOnes = 0x0101010101010101ULL;
constexpr uint64_t kHighs = 0x8080808080808080ULL;
constexpr uint64_t kLows = 0x7F7F7F7F7F7F7F7FULL;

inline uint64_t load8(const char* p) {
    uint64_t w;
    std::memcpy(&w, p, 8);
    return w;
}

// 0x80 in every byte of w that is 0, and 0 in all other bytes (exact, no
// borrow between bytes).
inline uint64_t zeroBytes(uint64_t w) {
    return ~(((w & kLows) + kLows) | w | kLows);
}

}  // namespace byte_scan

// The first byte of a set in a byte range. Sets of up to four bytes are
// compared sixteen (with SSE2) or eight bytes at a time (one byte by
// memchr); larger ones go byte by byte through the table.
class ByteSetFinder {
public:
    // Keeps a reference to set. Cheap enough to build once per record: the
    // table is read eight entries (bytes holding 0 or 1) at a time.
    explicit ByteSetFinder(const std::array<bool, 256>& set) : set_(&set) {
        for (int w = 0; w < 256; w += 8) {
            if (!byte_scan::load8(reinterpret_cast<const char*>(set.data()) + w)) continue;
            for (int b = w; b < w + 8; ++b) {
                if (!set[size_t(b)]) continue;
                if (count_ < kMaxWords) wanted_[size_t(count_)] = byte_scan::kOnes * uint64_t(b);
                ++count_;
            }
        }
    }
    // Number of bytes in the set.
    int size() const { return count_; }

    // The first byte of the set in [p, end), or end.
    const char* find(const char* p, const char* end) const {
        if (count_ == 0) return end;
        if (count_ == 1) {
            auto* q =
                static_cast<const char*>(std::memchr(p, int(wanted_[0] & 0xFF), size_t(end - p)));
            return q ? q : end;
        }
        if (count_ <= kMaxWords) {
#ifdef __SSE2__
            for (; end - p >= 16; p += 16) {
                const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
                __m128i hit = _mm_setzero_si128();
                for (int i = 0; i < count_; ++i)
                    hit = _mm_or_si128(hit,
                                       _mm_cmpeq_epi8(v, _mm_set1_epi8(char(wanted_[size_t(i)]))));
                if (const int mask = _mm_movemask_epi8(hit))
                    return p + std::countr_zero(unsigned(mask));
            }
#endif
            for (; end - p >= 8; p += 8) {
                const uint64_t w = byte_scan::load8(p);
                uint64_t hit = 0;
                for (int i = 0; i < count_; ++i)
                    hit |= byte_scan::zeroBytes(w ^ wanted_[size_t(i)]);
                if (hit) break;
            }
        }
        while (p < end && !(*set_)[static_cast<unsigned char>(*p)]) ++p;
        return p;
    }

private:
    static constexpr int kMaxWords = 4;
    const std::array<bool, 256>* set_;
    std::array<uint64_t, kMaxWords> wanted_{};
    int count_ = 0;
};

// How many bytes of [p, end) equal b.
inline int32_t countByte(const char* p, const char* end, unsigned char b) {
    int64_t count = 0;
#ifdef __SSE2__
    const __m128i wanted16 = _mm_set1_epi8(char(b));
    while (end - p >= 16) {
        // Up to 255 blocks at a time, so that no byte lane overflows.
        int64_t blocks = std::min<int64_t>((end - p) / 16, 255);
        __m128i sum = _mm_setzero_si128();
        for (; blocks > 0; --blocks, p += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            sum = _mm_sub_epi8(sum, _mm_cmpeq_epi8(v, wanted16));
        }
        const __m128i halves = _mm_sad_epu8(sum, _mm_setzero_si128());
        count += _mm_cvtsi128_si64(halves) + _mm_extract_epi16(halves, 4);
    }
#endif
    const uint64_t wanted = byte_scan::kOnes * b;
    while (end - p >= 8) {
        // Up to 31 words at a time, so that no byte of the sum overflows.
        int64_t words = std::min<int64_t>((end - p) / 8, 31);
        uint64_t sum = 0;
        for (; words > 0; --words, p += 8)
            sum += byte_scan::zeroBytes(byte_scan::load8(p) ^ wanted) >> 7;
        count += int64_t((sum * byte_scan::kOnes) >> 56);
    }
    for (; p < end; ++p) count += static_cast<unsigned char>(*p) == b;
    return int32_t(count);
}

// The first place in [p, end) where needle (not empty) begins, or end. Pairs
// of leading bytes are compared eight places at a time, the rest by memcmp.
inline const char* findBytes(const char* p, const char* end, std::string_view needle) {
    const size_t n = needle.size();
    if (size_t(end - p) < n) return end;
    if (n == 1) {
        auto* q = static_cast<const char*>(std::memchr(p, needle[0], size_t(end - p)));
        return q ? q : end;
    }
    const uint64_t first = byte_scan::kOnes * static_cast<unsigned char>(needle[0]);
    const uint64_t second = byte_scan::kOnes * static_cast<unsigned char>(needle[1]);
    const char* last = end - n;  // the last place a match can begin
    auto matchesAt = [&](const char* q) {
        return q[1] == needle[1] && std::memcmp(q + 2, needle.data() + 2, n - 2) == 0;
    };
    // Places q .. q + 7 with q + 8 + 1 <= end: both loads stay in range.
    while (last - p >= 8) {
        uint64_t hits = byte_scan::zeroBytes(byte_scan::load8(p) ^ first) &
                        byte_scan::zeroBytes(byte_scan::load8(p + 1) ^ second);
        while (hits) {
            const char* q = p + std::countr_zero(hits) / 8;
            if (matchesAt(q)) return q;
            hits &= hits - 1;
        }
        p += 8;
    }
    for (; p <= last; ++p)
        if (*p == needle[0] && matchesAt(p)) return p;
    return end;
}

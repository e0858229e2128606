// Where the characters of Shift-JIS text start, 64 bytes at a time, as bit
// masks (byte 64k + j at bit j of word k). Walking a text character by
// character makes every step wait for the byte before it; the masks are
// worked out with a few whole-word operations, so the gram hashing that
// reads them has no chain from one character to the next.
#pragma once
#include <bit>
#include <cstdint>
#include <cstring>

#include "base/ctype_table.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

// The bytes of one 64-byte word that are lead bytes and that are not NUL
// (bits past the text's end are clear in both).
struct ByteClassMasks {
    uint64_t lead = 0;
    uint64_t nonZero = 0;
};

#ifdef __SSE2__
// The lead bytes 0x81-0x9F and 0xE0-0xFC of sixteen bytes: a byte is in a
// range when its distance from the range's first byte is at most its width.
inline uint32_t leadBytes16(__m128i v) {
    const __m128i low = _mm_sub_epi8(v, _mm_set1_epi8(char(0x81)));
    const __m128i high = _mm_sub_epi8(v, _mm_set1_epi8(char(0xE0)));
    const __m128i inLow = _mm_cmpeq_epi8(_mm_min_epu8(low, _mm_set1_epi8(0x9F - 0x81)), low);
    const __m128i inHigh = _mm_cmpeq_epi8(_mm_min_epu8(high, _mm_set1_epi8(0xFC - 0xE0)), high);
    return uint32_t(_mm_movemask_epi8(_mm_or_si128(inLow, inHigh)));
}
#endif

// Classes of the 64 bytes at p; count (at most 64) of them are text. When
// wholeWord is set, all 64 bytes may be read whatever count is.
inline ByteClassMasks classifyBytes64(const unsigned char* p, size_t count,
                                      bool wholeWord = false) {
    ByteClassMasks m;
#ifdef __SSE2__
    if (count == 64 || wholeWord) {
        uint64_t zero = 0;
        for (int i = 0; i < 4; ++i) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
            m.lead |= uint64_t(leadBytes16(v)) << (16 * i);
            zero |= uint64_t(uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_setzero_si128()))))
                    << (16 * i);
        }
        const uint64_t text = count == 64 ? ~uint64_t(0) : (uint64_t(1) << count) - 1;
        m.lead &= text;
        m.nonZero = ~zero & text;
        return m;
    }
#endif
    for (size_t i = 0; i < count; ++i) {
        m.lead |= uint64_t(isLeadByte(p[i])) << i;
        m.nonZero |= uint64_t(p[i] != 0) << i;
    }
    return m;
}

// Starts and pair starts of one word. A character starts at every byte after
// one that begins no double-byte pair; a pair begins at a lead byte that
// starts a character and has a byte other than NUL after it.
struct CharStartMasks {
    uint64_t start = 0;
    uint64_t pairStart = 0;
};

// The starts of a word whose lead bytes followed by a byte other than NUL
// are pairLeads, given whether its first byte starts a character. Within a
// run of such lead bytes starts alternate from the run's first byte (after
// a byte that begins no pair, a character starts), so a run's pair starts
// are its bits at the run start's parity.
inline CharStartMasks charStarts64(uint64_t pairLeads, bool firstStarts) {
    constexpr uint64_t kEven = 0x5555555555555555ull;
    constexpr uint64_t kOdd = ~kEven;
    // A first byte that is a pair's second byte begins no pair, and the byte
    // after it starts a character.
    const uint64_t leads = pairLeads & ~uint64_t(!firstStarts);
    const uint64_t runStarts = leads & ~(leads << 1);
    // Adding a run's start bit carries through the run and clears it, so the
    // bits that clear are the runs begun at an even byte.
    const uint64_t evenRuns = leads & ~(leads + (runStarts & kEven));
    const uint64_t pairs = (evenRuns & kEven) | (leads & ~evenRuns & kOdd);
    CharStartMasks m;
    m.pairStart = pairs;
    m.start = ~(pairs << 1) & ~uint64_t(!firstStarts);
    return m;
}

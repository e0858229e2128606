#include "text/utf8_validate.h"

#include <cstdint>

#include "support/simd_level.h"

#ifdef __x86_64__
#include <immintrin.h>
#endif

namespace {

// Checks sequence by sequence from p; p must be at the start of one.
bool validFrom(const unsigned char* p, const unsigned char* end) {
    while (p < end) {
        int n = 1;
        if (*p >= 0x80 && decodeUtf8Sequence(p, end, n) < 0) return false;
        p += n;
    }
    return true;
}

#ifdef __x86_64__
// The bytes of v moved up by n places, the top bytes of prev coming in below.
template <int n>
__m128i shiftIn(__m128i v, __m128i prev) {
    return _mm_or_si128(_mm_slli_si128(v, n), _mm_srli_si128(prev, 16 - n));
}

__m128i bytes(int b) {
    return _mm_set1_epi8(char(b));
}

// Bytes as signed values: 0x80..0xBF are -128..-65, 0xC0..0xFF are -64..-1.
__m128i atLeast(__m128i v, int b) {  // b in 0x80..0xFF, v taken as unsigned
    return _mm_and_si128(_mm_cmpgt_epi8(v, bytes(b - 1)), _mm_cmplt_epi8(v, bytes(0)));
}

// Every place that needs a continuation byte holds one and no other does;
// no byte is one no sequence has; the second bytes after E0, ED, F0 and F4
// are in their ranges. The sequences cut at the end are left for the caller.
__m128i errors(__m128i v, __m128i prev) {
    const __m128i continuation = _mm_cmplt_epi8(v, bytes(0xC0));
    const __m128i lead2 = atLeast(v, 0xC0), lead3 = atLeast(v, 0xE0), lead4 = atLeast(v, 0xF0);
    const __m128i p2 = atLeast(prev, 0xC0), p3 = atLeast(prev, 0xE0), p4 = atLeast(prev, 0xF0);
    const __m128i expected = _mm_or_si128(
        shiftIn<1>(lead2, p2), _mm_or_si128(shiftIn<2>(lead3, p3), shiftIn<3>(lead4, p4)));
    __m128i bad = _mm_xor_si128(expected, continuation);
    bad = _mm_or_si128(
        bad, _mm_or_si128(_mm_cmpeq_epi8(v, bytes(0xC0)), _mm_cmpeq_epi8(v, bytes(0xC1))));
    bad = _mm_or_si128(bad, atLeast(v, 0xF5));
    const __m128i before = shiftIn<1>(v, prev);
    const auto after = [&](int lead) { return _mm_cmpeq_epi8(before, bytes(lead)); };
    bad = _mm_or_si128(bad, _mm_and_si128(after(0xE0), _mm_cmplt_epi8(v, bytes(0xA0))));
    bad = _mm_or_si128(bad, _mm_and_si128(after(0xED), _mm_cmpgt_epi8(v, bytes(0x9F))));
    bad = _mm_or_si128(bad, _mm_and_si128(after(0xF0), _mm_cmplt_epi8(v, bytes(0x90))));
    bad = _mm_or_si128(bad, _mm_and_si128(after(0xF4), _mm_cmpgt_epi8(v, bytes(0x8F))));
    return bad;
}

// Checks the 16-byte blocks from p on; p is left after the last one.
bool validBlocks16(const unsigned char*& p, const unsigned char* end, bool& high) {
    __m128i prev = _mm_setzero_si128();
    __m128i bad = _mm_setzero_si128();
    __m128i any = _mm_setzero_si128();
    for (; end - p >= 16; p += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        bad = _mm_or_si128(bad, errors(v, prev));
        any = _mm_or_si128(any, v);
        prev = v;
    }
    high = _mm_movemask_epi8(any) != 0;
    return _mm_movemask_epi8(bad) == 0;
}

// The same checks as errors, 32 bytes at a time, by table lookups.
#define QF_AVX2 __attribute__((target("avx2")))

template <int n>
QF_AVX2 __m256i shiftIn32(__m256i v, __m256i prev) {
    return _mm256_alignr_epi8(v, _mm256_permute2x128_si256(prev, v, 0x21), 16 - n);
}

// Each byte and the one before it are classified by three table lookups
// (high nibble of the byte before, its low nibble, high nibble of this byte);
// a bit left set by all three is an error, except that the third and fourth
// bytes of long sequences must be continuations and are checked apart.
enum : uint8_t {
    kTooShort = 1 << 0,   // a lead or ASCII byte where a continuation is due
    kTooLong = 1 << 1,    // a continuation after ASCII
    kOverlong3 = 1 << 2,  // E0 80..9F
    kTooLarge = 1 << 3,   // F4 90..BF, F5..FF
    kSurrogate = 1 << 4,  // ED A0..BF
    kOverlong2 = 1 << 5,  // C0, C1
    kTooLarge1000 = 1 << 6,
    kOverlong4 = 1 << 6,  // F0 80..8F
    kTwoConts = 1 << 7,   // a continuation after a continuation
};
constexpr uint8_t kCarry = kTooShort | kTooLong | kTwoConts;

QF_AVX2 __m256i table32(const uint8_t (&t)[16]) {
    const __m128i half = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t));
    return _mm256_broadcastsi128_si256(half);
}

QF_AVX2 __m256i highNibbles32(__m256i v) {
    return _mm256_and_si256(_mm256_srli_epi16(v, 4), _mm256_set1_epi8(0x0F));
}

QF_AVX2 __m256i errors32(__m256i v, __m256i prev) {
    static constexpr uint8_t kFirstHigh[16] = {kTooLong,
                                               kTooLong,
                                               kTooLong,
                                               kTooLong,
                                               kTooLong,
                                               kTooLong,
                                               kTooLong,
                                               kTooLong,
                                               kTwoConts,
                                               kTwoConts,
                                               kTwoConts,
                                               kTwoConts,
                                               kTooShort | kOverlong2,
                                               kTooShort,
                                               kTooShort | kOverlong3 | kSurrogate,
                                               kTooShort | kTooLarge | kTooLarge1000 | kOverlong4};
    constexpr uint8_t kLarge = kCarry | kTooLarge | kTooLarge1000;
    static constexpr uint8_t kFirstLow[16] = {kCarry | kOverlong3 | kOverlong2 | kOverlong4,
                                              kCarry | kOverlong2,
                                              kCarry,
                                              kCarry,
                                              kCarry | kTooLarge,
                                              kLarge,
                                              kLarge,
                                              kLarge,
                                              kLarge,
                                              kLarge,
                                              kLarge,
                                              kLarge,
                                              kLarge,
                                              kLarge | kSurrogate,
                                              kLarge,
                                              kLarge};
    constexpr uint8_t kCont = kTooLong | kOverlong2 | kTwoConts;
    static constexpr uint8_t kSecondHigh[16] = {kTooShort,
                                                kTooShort,
                                                kTooShort,
                                                kTooShort,
                                                kTooShort,
                                                kTooShort,
                                                kTooShort,
                                                kTooShort,
                                                kCont | kOverlong3 | kTooLarge1000 | kOverlong4,
                                                kCont | kOverlong3 | kTooLarge,
                                                kCont | kSurrogate | kTooLarge,
                                                kCont | kSurrogate | kTooLarge,
                                                kTooShort,
                                                kTooShort,
                                                kTooShort,
                                                kTooShort};
    const __m256i prev1 = shiftIn32<1>(v, prev);
    const __m256i special = _mm256_and_si256(
        _mm256_and_si256(_mm256_shuffle_epi8(table32(kFirstHigh), highNibbles32(prev1)),
                         _mm256_shuffle_epi8(table32(kFirstLow),
                                             _mm256_and_si256(prev1, _mm256_set1_epi8(0x0F)))),
        _mm256_shuffle_epi8(table32(kSecondHigh), highNibbles32(v)));
    // Two bytes after E0..EF and three after F0..FF a continuation is due.
    const __m256i third =
        _mm256_subs_epu8(shiftIn32<2>(v, prev), _mm256_set1_epi8(char(0xE0 - 0x80)));
    const __m256i fourth =
        _mm256_subs_epu8(shiftIn32<3>(v, prev), _mm256_set1_epi8(char(0xF0 - 0x80)));
    const __m256i due =
        _mm256_and_si256(_mm256_or_si256(third, fourth), _mm256_set1_epi8(char(0x80)));
    return _mm256_xor_si256(due, special);
}

QF_AVX2 bool validBlocks32(const unsigned char*& p, const unsigned char* end, bool& high) {
    __m256i prev = _mm256_setzero_si256();
    __m256i bad = _mm256_setzero_si256();
    __m256i any = _mm256_setzero_si256();
    for (; end - p >= 32; p += 32) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        bad = _mm256_or_si256(bad, errors32(v, prev));
        any = _mm256_or_si256(any, v);
        prev = v;
    }
    high = _mm256_movemask_epi8(any) != 0;
    return _mm256_testz_si256(bad, bad) != 0;  // any bit of any byte tells an error
}
#endif

}  // namespace

int32_t decodeUtf8Sequence(const unsigned char* p, const unsigned char* end, int& n) {
    n = *p >= 0xF0 ? 4 : *p >= 0xE0 ? 3 : 2;
    if (*p < 0xC2 || *p > 0xF4 || end - p < n) return -1;
    int32_t code = *p & (0x7F >> n);
    for (int k = 1; k < n; ++k) {
        if ((p[k] & 0xC0) != 0x80) return -1;
        code = code << 6 | (p[k] & 0x3F);
    }
    constexpr int32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kLeast[n] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return -1;
    return code;
}

bool isValidUtf8(std::string_view text, bool* multibyte) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    bool high = false;
#ifdef __x86_64__
    if (!(avx2Enabled() ? validBlocks32(p, end, high) : validBlocks16(p, end, high))) return false;
    // Back up to the start of the sequence the blocks may have cut: its
    // continuation bytes were checked, its length was not.
    const auto* start = reinterpret_cast<const unsigned char*>(text.data());
    for (int k = 0; k < 3 && p > start && (p[-1] & 0xC0) == 0x80; ++k) --p;
    if (p > start && p[-1] >= 0xC0) --p;
#endif
    for (const unsigned char* q = p; q < end; ++q) high |= *q >= 0x80;
    if (!validFrom(p, end)) return false;
    if (multibyte) *multibyte = high;
    return true;
}

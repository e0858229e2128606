// Each candidate encoding has a small checker that takes one byte at a time;
// the scan feeds every byte to all of them and stops once none can succeed.
#include "convert/charset_detect.h"

#include <cstdint>

#include "support/byte_scan.h"

namespace {

// Hiragana must be at least 1/kHiraganaShare of the two-byte characters, and
// number at least kMinHiragana, before a text Shift-JIS also explains is
// taken for EUC-JP. Half-width katakana text read as EUC-JP pairs gives
// almost none (its comma 0xA4 would have to lead most pairs).
constexpr int64_t kHiraganaShare = 4;
constexpr int64_t kMinHiragana = 2;

struct Utf8Check {
    bool valid = true;
    bool multibyte = false;
    int need = 0;  // continuation bytes still owed
    unsigned char lo = 0x80, hi = 0xBF;

    void feed(unsigned char b) {
        if (need > 0) {
            if (b < lo || b > hi) valid = false;
            lo = 0x80;
            hi = 0xBF;
            --need;
            return;
        }
        if (b < 0x80) return;
        multibyte = true;
        // The second byte's range rules out overlong forms, surrogates and
        // code points beyond U+10FFFF.
        if (b >= 0xC2 && b <= 0xDF) {
            need = 1;
        } else if (b >= 0xE0 && b <= 0xEF) {
            need = 2;
            lo = b == 0xE0 ? 0xA0 : 0x80;
            hi = b == 0xED ? 0x9F : 0xBF;
        } else if (b >= 0xF0 && b <= 0xF4) {
            need = 3;
            lo = b == 0xF0 ? 0x90 : 0x80;
            hi = b == 0xF4 ? 0x8F : 0xBF;
        } else {
            valid = false;
        }
    }
};

struct EucJpCheck {
    bool valid = true;
    int need = 0;
    unsigned char lead = 0;
    int64_t twoByte = 0;  // JIS X 0208 rows (and the eucJP-ms ones)
    int64_t hiragana = 0;
    bool nonAscii = false;

    void feed(unsigned char b) {
        if (need > 0) {
            // A half-width kana (after 0x8E) ends at 0xDF, the rest at 0xFE.
            const unsigned char hi = lead == 0x8E ? 0xDF : 0xFE;
            if (b < 0xA1 || b > hi) valid = false;
            if (--need == 0 && lead >= 0xA1) {
                ++twoByte;
                if (lead == 0xA4 && b <= 0xF3) ++hiragana;
            }
            return;
        }
        if (b < 0x80) return;
        nonAscii = true;
        lead = b;
        if (b == 0x8E || (b >= 0xA1 && b <= 0xFE))
            need = 1;
        else if (b == 0x8F)
            need = 2;  // JIS X 0212
        else
            valid = false;
    }
};

// Code page 932: single bytes 00-7F and the half-width kana A1-DF, pairs of
// a lead 81-9F/E0-FC and a trail 40-7E/80-FC.
struct ShiftJisCheck {
    bool valid = true;
    bool needTrail = false;

    void feed(unsigned char b) {
        if (needTrail) {
            if (b < 0x40 || b == 0x7F || b > 0xFC) valid = false;
            needTrail = false;
            return;
        }
        if (b < 0x80 || (b >= 0xA1 && b <= 0xDF)) return;
        if ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC))
            needTrail = true;
        else
            valid = false;
    }
};

struct Scan {
    Utf8Check utf8;
    EucJpCheck eucJp;
    ShiftJisCheck shiftJis;
};

// cutEnd: the text is a head, so a character left open at its end is fine.
// Where the ASCII run at p ends (eight bytes at a time), at most end.
const char* pastAscii(const char* p, const char* end) {
    while (end - p >= 8 && (byte_scan::load8(p) & byte_scan::kHighs) == 0) p += 8;
    while (p < end && static_cast<unsigned char>(*p) < 0x80) ++p;
    return p;
}

Scan scan(std::string_view text, bool cutEnd) {
    Scan s;
    const char* p = text.data();
    const char* end = p + text.size();
    // All three checkers pass over ASCII between characters unchanged.
    while (p < end && s.eucJp.valid) {
        if (s.utf8.need == 0 && s.eucJp.need == 0 && !s.shiftJis.needTrail) p = pastAscii(p, end);
        if (p == end) break;
        const auto b = static_cast<unsigned char>(*p++);
        s.utf8.feed(b);
        s.eucJp.feed(b);
        s.shiftJis.feed(b);
    }
    // Without EUC-JP, the Shift-JIS checker no longer matters.
    while (p < end && s.utf8.valid) {
        if (s.utf8.need == 0) p = pastAscii(p, end);
        if (p < end) s.utf8.feed(static_cast<unsigned char>(*p++));
    }
    if (!cutEnd) {
        s.utf8.valid &= s.utf8.need == 0;
        s.eucJp.valid &= s.eucJp.need == 0;
        s.shiftJis.valid &= !s.shiftJis.needTrail;
    }
    return s;
}

bool readsAsProse(const EucJpCheck& euc) {
    return euc.hiragana >= kMinHiragana && euc.hiragana * kHiraganaShare >= euc.twoByte;
}

}  // namespace

DetectedCharset detectCharset(std::string_view text) {
    const Scan s = scan(text, false);
    if (s.utf8.valid && s.utf8.multibyte) return DetectedCharset::kUtf8;
    if (s.eucJp.valid && s.eucJp.nonAscii && (!s.shiftJis.valid || readsAsProse(s.eucJp)))
        return DetectedCharset::kEucJp;
    return DetectedCharset::kNone;
}

bool mayBeDetected(std::string_view head) {
    const Scan s = scan(head, true);
    return s.utf8.valid || s.eucJp.valid;
}

#include "text/utf8_fast.h"

#include <array>
#include <cstring>
#include <memory>
#include <string>

#include "base/lwstr.h"
#include "base/unicode_escape.h"
#include "support/message_service.h"
#include "text/encoding.h"

namespace {

// For each UTF-16 unit: its Shift-JIS bytes (high byte first for two), or 0
// when it has none and is written as an escape.
using UnitTable = std::array<uint16_t, 0x10000>;

std::unique_ptr<UnitTable> makeTable() {
    auto table = std::make_unique<UnitTable>();
    ConversionQuiet quiet;
    for (uint32_t unit = 1; unit < 0x10000; ++unit) {
        const char16_t u = char16_t(unit);
        LStr bytes;
        wideToMb(&u, 1, bytes);
        if (bytes.length() == 1 && bytes[0] != '{')
            (*table)[unit] = uint8_t(bytes[0]);
        else if (bytes.length() == 2)
            (*table)[unit] = uint16_t(uint8_t(bytes[0]) << 8 | uint8_t(bytes[1]));
    }
    (*table)['{'] = '{';
    return table;
}

const UnitTable& unitTable() {
    static const std::unique_ptr<UnitTable> table = makeTable();
    return *table;
}

void appendUnit(const UnitTable& table, uint32_t unit, std::string& out) {
    const uint16_t sjis = table[unit];
    if (sjis > 0xFF) {
        out.push_back(char(sjis >> 8));
        out.push_back(char(sjis & 0xFF));
    } else if (sjis != 0) {
        out.push_back(char(sjis));
    } else {
        char escape[kUnicodeEscapeLength];
        formatUnicodeEscape(unit, escape);
        out.append(escape, kUnicodeEscapeLength);
    }
}

// The code point of the sequence at p (n bytes from its lead byte's kind);
// -1 when it is cut, overlong, a surrogate or beyond U+10FFFF.
int32_t decodeSequence(const unsigned char* p, const unsigned char* end, int& n) {
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

}  // namespace

bool utf8ToNative(std::string_view text, LStr& out, bool* multibyte) {
    if (text.find(kUnicodeEscapePrefix) != std::string_view::npos) return false;
    const UnitTable& table = unitTable();
    std::string sjis;
    sjis.reserve(text.size());
    bool sawMultibyte = false;
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    while (p < end) {
        const unsigned char* run = p;
        while (p < end && *p < 0x80) ++p;  // ASCII maps to itself
        sjis.append(reinterpret_cast<const char*>(run), size_t(p - run));
        if (p == end) break;
        int n = 0;
        const int32_t decoded = decodeSequence(p, end, n);
        if (decoded < 0) return false;
        uint32_t code = uint32_t(decoded);
        p += n;
        sawMultibyte = true;
        if (code < 0x10000) {
            appendUnit(table, code, sjis);
        } else {  // a surrogate pair, each half an escape of its own
            code -= 0x10000;
            appendUnit(table, 0xD800 + (code >> 10), sjis);
            appendUnit(table, 0xDC00 + (code & 0x3FF), sjis);
        }
    }
    if (multibyte) *multibyte = sawMultibyte;
    out.append(std::string_view(sjis));
    return true;
}

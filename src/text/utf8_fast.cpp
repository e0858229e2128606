#include "text/utf8_fast.h"

#include <array>
#include <atomic>
#include <cstring>
#include <memory>
#include <string>

#include "base/lwstr.h"
#include "base/unicode_escape.h"
#include "support/message_service.h"
#include "text/encoding.h"
#include "text/sjis.h"
#include "text/utf8_validate.h"

namespace {

// For each UTF-16 unit: its Shift-JIS bytes (high byte first for two), or 0
// when it has none and is written as an escape. A unit is converted the
// first time it is met, so a run pays only for the characters it sees.
class UnitTable {
public:
    uint16_t operator[](uint32_t unit) const {
        const uint32_t entry = entries_[unit].load(std::memory_order_relaxed);
        return entry != 0 ? uint16_t(entry - 1) : convert(unit);
    }

private:
    uint16_t convert(uint32_t unit) const {
        uint16_t sjis = 0;
        if (unit == '{') {
            sjis = '{';
        } else if (unit != 0) {
            const char16_t u = char16_t(unit);
            LStr bytes;
            ConversionQuiet quiet;
            wideToMb(&u, 1, bytes);
            if (bytes.length() == 1 && bytes[0] != '{')
                sjis = uint8_t(bytes[0]);
            else if (bytes.length() == 2)
                sjis = uint16_t(uint8_t(bytes[0]) << 8 | uint8_t(bytes[1]));
        }
        entries_[unit].store(sjis + 1u, std::memory_order_relaxed);
        return sjis;
    }

    mutable std::array<std::atomic<uint32_t>, 0x10000> entries_{};  // bytes + 1, 0 untried
};

const UnitTable& unitTable() {
    static const std::unique_ptr<UnitTable> table = std::make_unique<UnitTable>();
    return *table;
}

// Writes a unit's Shift-JIS bytes, or its escape, at w; returns the end.
char* writeUnit(const UnitTable& table, uint32_t unit, char* w) {
    const uint16_t sjis = table[unit];
    if (sjis > 0xFF) {
        *w++ = char(sjis >> 8);
        *w++ = char(sjis & 0xFF);
    } else if (sjis != 0) {
        *w++ = char(sjis);
    } else {
        w += formatUnicodeEscape(unit, w);
    }
    return w;
}

// The UTF-8 bytes of a BMP unit that is not a surrogate.
std::string utf8Of(uint32_t unit) {
    if (unit < 0x80) return std::string(1, char(unit));
    if (unit < 0x800) return {char(0xC0 | unit >> 6), char(0x80 | (unit & 0x3F))};
    return {char(0xE0 | unit >> 12), char(0x80 | (unit >> 6 & 0x3F)), char(0x80 | (unit & 0x3F))};
}

}  // namespace

bool utf8ToNative(std::string_view text, LStr& out, bool* multibyte) {
    if (text.find(kUnicodeEscapePrefix) != std::string_view::npos) return false;
    const UnitTable& table = unitTable();
    const int32_t start = out.length();
    // Output goes straight into out, which grows by the input left (Shift-JIS
    // is rarely longer) plus room for the longest a sequence writes: two escapes.
    constexpr int32_t kMostPerSequence = 2 * kUnicodeEscapeLength;
    char* w = nullptr;
    char* limit = nullptr;
    bool sawMultibyte = false;
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    while (p < end) {
        if (limit - w < kMostPerSequence) {
            const int32_t used = w ? int32_t(w - out.data()) : start;
            out.resize(used + int32_t(end - p) + kMostPerSequence);
            w = out.data() + used;
            limit = out.data() + out.length();
        }
        if (*p < 0x80) {  // ASCII maps to itself
            *w++ = char(*p++);
            continue;
        }
        int n = 0;
        const int32_t decoded = decodeUtf8Sequence(p, end, n);
        if (decoded < 0) {
            out.truncate(start);
            return false;
        }
        uint32_t code = uint32_t(decoded);
        p += n;
        sawMultibyte = true;
        if (code < 0x10000) {
            w = writeUnit(table, code, w);
        } else {  // a surrogate pair, each half an escape of its own
            code -= 0x10000;
            w = writeUnit(table, 0xD800 + (code >> 10), w);
            w = writeUnit(table, 0xDC00 + (code & 0x3FF), w);
        }
    }
    out.truncate(w ? int32_t(w - out.data()) : start);
    if (multibyte) *multibyte = sawMultibyte;
    return true;
}

// A unit whose bytes a character is has them back when decoded, so each
// character has one spelling at most: that of the unit it decodes to.
std::vector<std::string> utf8Spellings(std::string_view native, size_t limit) {
    const UnitTable& table = unitTable();
    if (limit == 0) return {};
    std::string spelling;
    for (size_t pos = 0; pos < native.size();) {
        const size_t start = pos;
        const int code = nextChar(native, pos);
        LWStr wide;
        {
            ConversionQuiet quiet;
            mbToWide(native.substr(start, pos - start), wide);
        }
        if (wide.length() != 1 || table[uint16_t(wide[0])] != uint16_t(code)) return {};
        spelling += utf8Of(uint16_t(wide[0]));
    }
    return {spelling};
}

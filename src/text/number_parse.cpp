// Parsing of numbers typed in settings: an optional "-", a base prefix
// ("0x" hex, "0j" decimal, "0n" binary), digit-group commas, and for sizes
// a k/m/g suffix. Problems are reported and the value read so far is kept.
#include "text/number_parse.h"

#include <algorithm>
#include <limits>
#include <string>

#include "support/message_service.h"

namespace {

struct Digits {
    uint32_t value = 0;
    size_t stop = 0;  // offset of the first byte that is no digit
};

int digitValue(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    return 99;
}

// Unsigned conversion in a base; a value beyond 32 bits stays at the
// largest one, as the C library's conversion does.
Digits convertDigits(std::string_view text, int base) {
    Digits d;
    uint64_t value = 0;
    for (; d.stop < text.size(); ++d.stop) {
        int digit = digitValue(static_cast<unsigned char>(text[d.stop]));
        if (digit >= base) break;
        value = std::min<uint64_t>(value * base + digit, std::numeric_limits<uint32_t>::max());
    }
    d.value = static_cast<uint32_t>(value);
    return d;
}

int prefixBase(std::string_view text) {
    if (text.size() < 2 || text[0] != '0') return 0;
    switch (text[1]) {
        case 'x':
        case 'X':
            return 16;
        case 'j':
        case 'J':
            return 10;
        case 'n':
        case 'N':
            return 2;
        default:
            return 0;
    }
}

// The digits with every "," removed and leading zeros dropped (keeping the
// last one), so a leading zero never means anything but zero.
std::string plainDigits(std::string_view text) {
    std::string digits;
    for (char c : text)
        if (c != ',') digits += c;
    size_t zeros = 0;
    while (zeros + 1 < digits.size() && digits[zeros] == '0') ++zeros;
    return digits.substr(zeros);
}

int32_t applySign(uint32_t magnitude, bool negative) {
    uint32_t value = negative ? 0u - magnitude : magnitude;
    return static_cast<int32_t>(value);
}

}  // namespace

int32_t parseNumber(std::string_view text, char allowedEnd, int defaultBase) {
    text = text.substr(0, text.find('\0'));
    bool negative = !text.empty() && text[0] == '-';
    if (negative) text.remove_prefix(1);
    int base = prefixBase(text);
    if (base)
        text.remove_prefix(2);
    else
        base = defaultBase > 1 && defaultBase <= 36 ? defaultBase : 10;
    std::string digits = plainDigits(text);
    Digits d = convertDigits(digits, base);
    if (d.stop < digits.size() && (allowedEnd == '\0' || digits[d.stop] != allowedEnd)) {
        std::string shown(text);
        report(
            kMsgGeneral,
            jaEn(
                "\x81\x75%s\x81\x76\x82\xF0\x90\x94\x92\x6C\x82\xC6\x82\xB5\x82\xC4\x89\xF0"
                "\x8E\xDF\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1",  // 「%s」を数値として解釈できません
                "cannot analyze '%s' as a number"),
            shown.c_str());
    }
    return applySign(d.value, negative);
}

int32_t parseSize(std::string_view text, bool upward) {
    text = text.substr(0, text.find('\0'));
    int64_t unit = 1;
    if (!text.empty()) {
        switch (text.back()) {
            case 'k':
            case 'K':
                unit = 1024;
                break;
            case 'm':
            case 'M':
                unit = 1024 * 1024;
                break;
            case 'g':
            case 'G':
                unit = 1024 * 1024 * 1024;
                break;
        }
        if (unit > 1) text.remove_suffix(1);
    }
    int64_t value = int64_t(parseNumber(text, '\0', 0)) * unit;
    if (upward) value += unit - 1;
    // Sizes beyond 32 bits stay at the limit instead of wrapping around.
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

int parseNumberList(std::string_view text, char separator, std::vector<int32_t>& out) {
    out.clear();
    int bad = 0;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = std::min(text.find(separator, start), text.size());
        std::string_view item = text.substr(start, end - start);
        start = end + 1;
        item.remove_prefix(std::min(item.find_first_not_of(' '), item.size()));
        if (item.empty()) continue;
        bool negative = item[0] == '-';
        Digits d = convertDigits(item.substr(negative ? 1 : 0), 10);
        size_t stop = d.stop + (negative ? 1 : 0);
        bool digitsSeen = d.stop > 0;
        if (!digitsSeen || (stop < item.size() && item[stop] != ' ')) {
            std::string shown(item);
            report(kMsgWarning, "%s: '%s'",
                   jaEn("\x90\x94\x92\x6C\x82\xCC\x8C\x60\x8E\xAE\x82\xAA\x90\xB3\x82\xB5\x82\xAD"
                        "\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1",  // 数値の形式が正しくありません
                        "illegal number"),
                   shown.c_str());
            bad = 1;
            continue;
        }
        out.push_back(applySign(d.value, negative));
    }
    return bad;
}

// The escape form of a UTF-16 unit that Shift-JIS cannot hold: "{%u" + four
// upper-case hex digits + "}" ("{%u00E9}"). File names and converted texts
// carry it, so every such character survives the trip through Shift-JIS.
#pragma once
#include <string_view>

#include "base/hex.h"

inline constexpr std::string_view kUnicodeEscapePrefix = "{%u";
inline constexpr std::string_view kUnicodeEscapeSuffix = "}";
// Length of one complete escape ("{%uXXXX}").
inline constexpr size_t kUnicodeEscapeLength = 8;

// The unit of a complete escape at the start of s, or -1.
constexpr int parseUnicodeEscape(std::string_view s) {
    if (s.size() < kUnicodeEscapeLength || s.substr(0, 3) != kUnicodeEscapePrefix || s[7] != '}')
        return -1;
    int value = 0;
    for (size_t i = 3; i < 7; ++i) {
        const int digit = hexDigitValue(static_cast<unsigned char>(s[i]));
        if (digit < 0) return -1;
        value = value * 16 + digit;
    }
    return value;
}

// Writes the escape of unit into out (8 characters, no NUL); returns 8.
inline size_t formatUnicodeEscape(unsigned unit, char* out) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    out[0] = '{';
    out[1] = '%';
    out[2] = 'u';
    for (int i = 0; i < 4; ++i) out[3 + i] = kDigits[(unit >> (12 - 4 * i)) & 0xF];
    out[7] = '}';
    return kUnicodeEscapeLength;
}

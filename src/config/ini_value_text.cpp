// The "!" escapes of configuration strings and the token conversions.
#include "config/ini_value_text.h"

#include <array>
#include <utility>

#include "base/hex.h"

namespace {

// Escapes in the order in which they are written; reading undoes them in the
// same order with "!Q" last, so "!" always comes back after the others.
constexpr std::array<std::pair<std::string_view, std::string_view>, 6> kEscapes{{
    {"(", "!["},
    {")", "!]"},
    {",", "!C"},
    {"\r", "!r"},
    {"\n", "!n"},
    {"\t", "!t"},
}};

bool isWhiteSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Skips white space and a sign; returns whether the value is negative.
bool skipSignPrefix(std::string_view token, size_t& i) {
    while (i < token.size() && isWhiteSpace(token[i])) ++i;
    if (i < token.size() && (token[i] == '+' || token[i] == '-')) return token[i++] == '-';
    return false;
}

}  // namespace

LStr escapeIniText(std::string_view text) {
    LStr out(text);
    out.replaceAll("!", "!Q");
    for (const auto& [plain, escaped] : kEscapes) out.replaceAll(plain, escaped);
    return out;
}

LStr unescapeIniText(std::string_view text) {
    LStr out(text);
    if (text.find('!') == std::string_view::npos) return out;
    for (const auto& [plain, escaped] : kEscapes) out.replaceAll(escaped, plain);
    out.replaceAll("!Q", "!");
    return out;
}

int32_t iniDecimal(std::string_view token) {
    size_t i = 0;
    bool negative = skipSignPrefix(token, i);
    int64_t value = 0;
    for (; i < token.size() && token[i] >= '0' && token[i] <= '9'; ++i) {
        if (value <= int64_t(INT32_MAX) + 1) value = value * 10 + (token[i] - '0');
    }
    if (negative) value = -value;
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return int32_t(value);
}

int32_t iniHex(std::string_view token) {
    size_t i = 0;
    bool negative = skipSignPrefix(token, i);
    uint64_t value = 0;
    for (int d; i < token.size() && (d = hexDigitValue(static_cast<unsigned char>(token[i]))) >= 0;
         ++i) {
        if (value <= UINT32_MAX) value = value * 16 + uint64_t(d);
    }
    uint32_t bits = value > UINT32_MAX ? UINT32_MAX : uint32_t(value);
    if (negative) bits = 0u - bits;
    return int32_t(bits);
}

#include "platform/path_encoding.h"

#include <iconv.h>

#include <cstdio>
#include <optional>

#include "base/ctype_table.h"
#include "base/unicode_escape.h"

namespace {

// One iconv conversion descriptor per thread and direction.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts all of in, or returns nothing when any of it cannot be converted.
    std::optional<std::string> convert(std::string_view in) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        std::string out(in.size() * 3 + 8, '\0');
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        char* dst = out.data();
        size_t dstLeft = out.size();
        if (iconv(cd_, &src, &srcLeft, &dst, &dstLeft) == size_t(-1) || srcLeft != 0)
            return std::nullopt;
        if (iconv(cd_, nullptr, nullptr, &dst, &dstLeft) == size_t(-1)) return std::nullopt;
        out.resize(out.size() - dstLeft);
        return out;
    }

private:
    iconv_t cd_;
};

Converter& toUtf8() {
    thread_local Converter c("UTF-8", "CP932");
    return c;
}

Converter& toSjis() {
    thread_local Converter c("CP932", "UTF-8");
    return c;
}

bool isAscii(std::string_view s) {
    for (unsigned char c : s)
        if (c >= 0x80) return false;
    return true;
}

int escapedUnit(std::string_view s) {
    return parseUnicodeEscape(s);
}

void appendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

// Length of the valid UTF-8 sequence at s and its code point; 0 when invalid.
int decodeUtf8(std::string_view s, uint32_t& cp) {
    unsigned char b = s[0];
    int n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    if (n == 0 || size_t(n) > s.size()) return 0;
    cp = n == 1 ? b : b & (0x7F >> n);
    for (int i = 1; i < n; ++i) {
        unsigned char c = s[i];
        if ((c & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (c & 0x3F);
    }
    static const uint32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMin[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return n;
}

void appendEscape(LStr& out, unsigned unit) {
    char buf[kUnicodeEscapeLength];
    out.append(std::string_view(buf, formatUnicodeEscape(unit & 0xFFFF, buf)));
}

// Converts a Shift-JIS run without escapes; bytes iconv rejects go as U+FFFD.
void appendSjisRun(std::string& out, std::string_view run) {
    if (run.empty()) return;
    if (auto whole = toUtf8().convert(run)) {
        out += *whole;
        return;
    }
    for (size_t i = 0; i < run.size();) {
        size_t n = isLeadByte(run[i]) && i + 1 < run.size() ? 2 : 1;
        auto one = toUtf8().convert(run.substr(i, n));
        out += one ? *one : "\xEF\xBF\xBD";
        i += n;
    }
}

// Shift-JIS for a UTF-8 text, only when it converts back to the same bytes:
// CP932 folds some characters ("¥" to a backslash, "〜" to "～"), and a folded name
// would reach a different file.
std::optional<std::string> roundTripSjis(std::string_view utf8) {
    auto sjis = toSjis().convert(utf8);
    if (!sjis) return std::nullopt;
    auto back = toUtf8().convert(*sjis);
    if (!back || *back != utf8) return std::nullopt;
    return sjis;
}

}  // namespace

std::string toSystemPath(std::string_view sjis) {
    if (isAscii(sjis) && sjis.find(kUnicodeEscapePrefix) == std::string_view::npos)
        return std::string(sjis);
    std::string out;
    size_t runStart = 0;
    for (size_t i = 0; i < sjis.size();) {
        unsigned char b = sjis[i];
        int unit = b == '{' ? escapedUnit(sjis.substr(i)) : -1;
        if (unit < 0) {
            i += isLeadByte(b) && i + 1 < sjis.size() ? 2 : 1;
            continue;
        }
        appendSjisRun(out, sjis.substr(runStart, i - runStart));
        i += 8;
        int low = unit >= 0xD800 && unit <= 0xDBFF ? escapedUnit(sjis.substr(i)) : -1;
        if (low >= 0xDC00 && low <= 0xDFFF) {
            appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
            i += 8;
        } else if (unit >= 0xDC80 && unit <= 0xDCFF) {
            out += char(unit & 0xFF);  // a raw byte of a name that was not UTF-8
        } else {
            appendUtf8(out, unit);
        }
        runStart = i;
    }
    appendSjisRun(out, sjis.substr(runStart));
    return out;
}

void fromSystemPath(std::string_view utf8, LStr& out) {
    out.truncate(0);  // keeps the buffer: directory readers reuse one name
    if (isAscii(utf8) && utf8.find(kUnicodeEscapePrefix) == std::string_view::npos) {
        out.assign(utf8);
        return;
    }
    if (utf8.find(kUnicodeEscapePrefix) == std::string_view::npos) {
        if (auto whole = roundTripSjis(utf8)) {
            out.assign(*whole);
            return;
        }
    }
    for (size_t i = 0; i < utf8.size();) {
        uint32_t cp = 0;
        int n = decodeUtf8(utf8.substr(i), cp);
        if (n == 0) {
            appendEscape(out, 0xDC00 | (unsigned char)utf8[i]);
            ++i;
            continue;
        }
        // A literal kUnicodeEscapePrefix in a name would read as an escape on the way back.
        bool literalEscape = utf8.substr(i, 3) == kUnicodeEscapePrefix;
        auto one = literalEscape ? std::nullopt : roundTripSjis(utf8.substr(i, n));
        if (one) {
            out.append(*one);
        } else if (cp >= 0x10000) {
            appendEscape(out, 0xD800 + ((cp - 0x10000) >> 10));
            appendEscape(out, 0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            appendEscape(out, cp);
        }
        i += n;
    }
}

LStr fromSystemPath(std::string_view utf8) {
    LStr out;
    fromSystemPath(utf8, out);
    return out;
}

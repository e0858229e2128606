// Shift-JIS character walking and the case-aware comparisons.
#include "text/sjis.h"

#include <algorithm>

namespace {

// Length of the run of lead-class bytes that ends just before index.
size_t leadRunBefore(std::string_view text, size_t index) {
    size_t i = std::min(index, text.size());
    size_t run = 0;
    while (i > 0 && isLeadByte(byteAt(text, i - 1))) {
        --i;
        ++run;
    }
    return run;
}

void changeAsciiCase(LStr& s, bool toUpper) {
    std::string_view v = s.view();
    for (size_t i = 0; i < v.size();) {
        int n = charLength(v, i);
        unsigned char b = byteAt(v, i);
        if (n == 1 && isAsciiLetter(b)) s[int32_t(i)] = char(toUpper ? b & ~0x20 : b | 0x20);
        i += n;
    }
}

int compareBytes(std::string_view a, std::string_view b, size_t n, bool ignoreCase) {
    bool trail = false;  // the byte of a at i is the second of a character
    for (size_t i = 0; i < n; ++i) {
        if (i >= a.size() && i >= b.size()) return 0;
        int ca = i < a.size() ? byteAt(a, i) : 0;
        int cb = i < b.size() ? byteAt(b, i) : 0;
        if (ca != cb) {
            if (!ignoreCase || trail || !isAsciiLetter(ca) || !isAsciiLetter(cb)) return ca - cb;
            ca |= 0x20;
            cb |= 0x20;
            if (ca != cb) return ca - cb;
        }
        trail = !trail && isLeadByte(static_cast<unsigned char>(ca));
    }
    return 0;
}

}  // namespace

bool isLeadAt(std::string_view text, size_t index) {
    if (index >= text.size() || !isLeadByte(byteAt(text, index))) return false;
    return leadRunBefore(text, index) % 2 == 0;
}

bool isTrailAt(std::string_view text, size_t index) {
    if (index == 0 || index > text.size()) return false;
    return leadRunBefore(text, index) % 2 == 1;
}

int takeFirstChar(LStr& s, bool remove) {
    if (s.empty()) return -1;
    int n = charLength(s.view(), 0);
    int code = charAt(s.view(), 0);
    if (remove) s.erase(0, n);
    return code;
}

int takeLastChar(LStr& s, bool remove) {
    int32_t len = s.length();
    if (len == 0) return -1;
    bool pair = len >= 2 && isTrailAt(s.view(), len - 1);
    int32_t start = pair ? len - 2 : len - 1;
    int code = pair ? charAt(s.view(), start) : byteAt(s.view(), start);
    if (remove) s.truncate(start);
    return code;
}

void asciiToLower(LStr& s) {
    changeAsciiCase(s, false);
}
void asciiToUpper(LStr& s) {
    changeAsciiCase(s, true);
}

LStr asciiLowered(std::string_view s) {
    LStr copy(s);
    asciiToLower(copy);
    return copy;
}

LStr asciiUppered(std::string_view s) {
    LStr copy(s);
    asciiToUpper(copy);
    return copy;
}

int compareIgnoreCase(std::string_view a, std::string_view b) {
    return compareBytes(a, b, SIZE_MAX, true);
}

int compareIgnoreCaseN(std::string_view a, std::string_view b, size_t n) {
    return compareBytes(a, b, n, true);
}

int compare(std::string_view a, std::string_view b, bool ignoreCase) {
    return compareBytes(a, b, SIZE_MAX, ignoreCase);
}

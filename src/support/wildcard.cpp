// Wildcard matching over Shift-JIS names, one character at a time, with the
// usual single-backtrack-point algorithm for "*" (linear in practice).
#include "support/wildcard.h"

#include "base/ctype_table.h"
#include "base/lstr.h"

namespace {

// Length of the character at i: two bytes for a lead byte with a trail.
size_t charLength(std::string_view s, size_t i) {
    if (!isLeadByte(byteAt(s, i)) || i + 1 >= s.size()) return 1;
    unsigned char trail = byteAt(s, i + 1);
    return trail >= 0x40 && trail != 0x7F ? 2 : 1;
}

unsigned char foldAscii(unsigned char b) {
    return b >= 'A' && b <= 'Z' ? b + 32 : b;
}

// Whether the mask character at m equals the name character at n (both of
// length len).
bool sameChar(std::string_view mask, size_t m, std::string_view name, size_t n, size_t len) {
    if (len == 1) return foldAscii(byteAt(mask, m)) == foldAscii(byteAt(name, n));
    return mask.compare(m, len, name, n, len) == 0;
}

bool globMatch(std::string_view mask, std::string_view name) {
    size_t m = 0, n = 0;
    size_t starMask = std::string_view::npos, starName = 0;
    while (n < name.size()) {
        size_t nameLen = charLength(name, n);
        if (m < mask.size()) {
            char c = mask[m];
            if (c == '*') {
                starMask = ++m;
                starName = n;
                continue;
            }
            size_t maskLen = charLength(mask, m);
            if (c == '?' || (maskLen == nameLen && sameChar(mask, m, name, n, nameLen))) {
                m += maskLen;
                n += nameLen;
                continue;
            }
        }
        if (starMask == std::string_view::npos) return false;
        // Let the last "*" take one more character and retry after it.
        starName += charLength(name, starName);
        m = starMask;
        n = starName;
    }
    while (m < mask.size() && mask[m] == '*') ++m;
    return m == mask.size();
}

// "*" and a tail without wildcards (the common "*.txt"): the tail must
// match the end of the name, starting where a character starts.
bool starTailMatch(std::string_view tail, std::string_view name) {
    if (tail.size() > name.size()) return false;
    size_t start = name.size() - tail.size(), i = 0;
    while (i < start) i += charLength(name, i);
    return i == start && globMatch(tail, name.substr(start));
}

bool isStarTail(std::string_view mask) {
    return !mask.empty() && mask[0] == '*' && mask.find_first_of("*?", 1) == std::string_view::npos;
}

}  // namespace

bool matchesWildcard(std::string_view mask, std::string_view name) {
    if (mask.size() >= 2 && mask.ends_with(".*")) {
        if (globMatch(mask, name)) return true;
        return matchesWildcard(mask.substr(0, mask.size() - 2), name);
    }
    if (mask.size() >= 2 && mask.back() == '.') {
        // The trailing dot itself is never a trail byte: "." is below 0x40.
        return name.find('.') == std::string_view::npos &&
               globMatch(mask.substr(0, mask.size() - 1), name);
    }
    if (isStarTail(mask)) return starTailMatch(mask.substr(1), name);
    return globMatch(mask, name);
}

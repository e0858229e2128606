// The first-character scan: a word-at-a-time search for the possible first
// bytes (or for a needle), then the boundary test from the last known
// character start, which looks back over lead-class bytes only.
#include "search/first_char_scan.h"

#include "pattern/sjis_scan.h"
#include "text/sjis.h"

FirstCharScan::FirstCharScan(const std::vector<int>& codes) {
    for (int code : codes) {
        codes_.set(size_t(code));
        const int first = code > 0xFF ? code >> 8 : code;
        first_[size_t(first)] = true;
    }
    finder_.emplace(first_);
    // A lead byte alone finds far more places than the whole character.
    if (codes.size() == 1 && codes[0] > 0xFF)
        onlyChar_ = {char(codes[0] >> 8), char(codes[0] & 0xFF)};
}

const char* FirstCharScan::findByte(const char* p, const char* end, std::string_view needle) const {
    if (needle.empty()) needle = onlyChar_;
    if (!needle.empty()) {
        return findBytes(p, end, needle);
    }
    return finder_->find(p, end);
}

int32_t FirstCharScan::next(std::string_view text, int32_t from, std::string_view needle) const {
    if (finder_->size() == 0 || from < 0) return -1;
    const char* base = text.data();
    const char* end = base + text.size();
    const char* known = base + from;  // a character start
    while (known < end) {
        const char* q = findByte(known, end, needle);
        if (q == end) return -1;
        if (!isCharStart(known, q)) {
            known = q + 1;  // q is a second byte; a character starts after it
            continue;
        }
        const size_t pos = size_t(q - base);
        if (codes_.test(size_t(charAt(text, pos)))) return int32_t(pos);
        known = q + charLength(text, pos);
    }
    return -1;
}

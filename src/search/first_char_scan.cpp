// The first-character scan: a word-at-a-time search for the possible first
// bytes (or for a needle), then the boundary test from the last known
// character start, which looks back over lead-class bytes only.
#include "search/first_char_scan.h"

#include "pattern/sjis_scan.h"
#include "text/sjis.h"

FirstCharScan::FirstCharScan(const std::function<bool(int)>& wanted) {
    int count = 0;
    int last = 0;
    auto add = [&](int code) {
        if (!wanted(code)) return;
        ++count;
        last = code;
        codes_.set(size_t(code));
        const int first = code > 0xFF ? code >> 8 : code;
        first_[size_t(first)] = true;
    };
    for (int b = 0; b < 256; ++b) add(b);
    for (int lead = 0; lead < 256; ++lead) {
        if (!isLeadByte(static_cast<unsigned char>(lead))) continue;
        for (int trail = 0; trail < 256; ++trail) add(lead << 8 | trail);
    }
    finder_.emplace(first_);
    // A lead byte alone finds far more places than the whole character.
    if (count == 1 && last > 0xFF) onlyChar_ = {char(last >> 8), char(last & 0xFF)};
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

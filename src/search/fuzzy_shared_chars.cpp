// One pass over the bytes with a table from character code to the string's
// token id, the fold already applied; it stops as soon as enough is shared.
#include "search/fuzzy_shared_chars.h"

#include <algorithm>

#include "text/char_fold.h"
#include "text/sjis.h"

SharedChars::SharedChars(const FuzzyKey& key, bool ignoreCase)
    : idOf_(0x10000), inKey_(size_t(key.distinct()) + 1), inText_(inKey_.size()) {
    const std::string_view text = key.text();
    for (size_t pos = 0; pos < text.size();) {
        const int code = nextChar(text, pos);
        const int32_t id = key.idOf(code);
        ++inKey_[size_t(id)];
        name(code, id);
        // The string is folded already: its characters' capitals fold to them.
        const int upper = toUpperFull(code);
        if (ignoreCase && toLowerFull(upper) == code) name(upper, id);
    }
}

void SharedChars::name(int code, int32_t id) {
    uint16_t& slot = idOf_[size_t(code & 0xFFFF)];
    if (slot == 0) codes_.push_back(code);
    slot = uint16_t(id);
}

std::vector<LStr> SharedChars::spellings() const {
    std::vector<LStr> out;
    for (int code : codes_) appendChar(out.emplace_back(), code);
    return out;
}

bool SharedChars::reach(std::string_view text, int32_t need) {
    if (need <= 0) return true;
    std::fill(inText_.begin(), inText_.end(), 0);
    int32_t shared = 0;
    for (size_t pos = 0; pos < text.size();) {
        const int code = nextChar(text, pos);
        const uint16_t id = idOf_[size_t(code)];
        if (id == 0 || inText_[id] == inKey_[id]) continue;
        ++inText_[id];
        if (++shared >= need) return true;
    }
    return false;
}

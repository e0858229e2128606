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
        idOf_[size_t(code & 0xFFFF)] = uint16_t(id);
        // The string is folded already: its characters' capitals fold to them.
        const int upper = toUpperFull(code);
        if (ignoreCase && toLowerFull(upper) == code) idOf_[size_t(upper & 0xFFFF)] = uint16_t(id);
    }
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

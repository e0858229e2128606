// Tokenising texts for fuzzy alignment, and the search string's dictionary
// of characters with the chains of equal tokens the anchor search follows.
#include "search/fuzzy_tokens.h"

#include <array>

#include "text/sjis.h"

namespace {

// How much a character counts in the alignment cost, by its first byte:
// letters, kana and kanji most, digits less, symbols and control bytes least.
constexpr std::array<uint8_t, 256> makeWeightTable() {
    std::array<uint8_t, 256> t{};
    for (int b = 0; b < 256; ++b) {
        const bool punct = (b >= 0x21 && b <= 0x2F) || (b >= 0x3A && b <= 0x40) ||
                           (b >= 0x5B && b <= 0x5E) || b == 0x60 || (b >= 0x7B && b <= 0x7E);
        const bool symbol = punct || b == 0x81 || b == 0xA1 || b == 0xA4 || b == 0xDE || b == 0xDF;
        const bool control = b <= 0x20 || b == 0x7F || b == 0x80 || b == 0xA0 || b >= 0xFD;
        if (control)
            t[b] = 10;
        else if (symbol)
            t[b] = 30;
        else if (b >= '0' && b <= '9')
            t[b] = 70;
        else
            t[b] = 100;  // letters, "_", kana and the lead bytes of kanji and kana
    }
    return t;
}

constexpr std::array<uint8_t, 256> kWeights = makeWeightTable();

// Splits text into tokens; idOf numbers each character code.
template <typename IdOf>
void split(std::string_view text, TokenSeq& out, IdOf idOf) {
    out.ids.clear();
    out.offsets.clear();
    out.weights.clear();
    out.weights.push_back(0);
    for (size_t pos = 0; pos < text.size();) {
        out.offsets.push_back(int32_t(pos));
        out.weights.push_back(out.weights.back() + kWeights[byteAt(text, pos)]);
        out.ids.push_back(idOf(nextChar(text, pos)));
    }
    out.offsets.push_back(int32_t(text.size()));
}

}  // namespace

FuzzyKey::FuzzyKey(std::string_view key) : text_(key), ids_(0x10000, 0) {
    firstOf_.push_back(0);  // id 0 has no occurrence
    split(text_.view(), tokens_, [this](int code) {
        uint16_t& id = ids_[code & 0xFFFF];
        if (id == 0) {
            id = uint16_t(++distinct_);
            firstOf_.push_back(-1);
        }
        return int32_t(id);
    });
    const int32_t n = tokens_.count();
    nextSame_.assign(size_t(n), n);
    std::vector<int32_t> following(size_t(distinct_) + 1, n);
    for (int32_t k = n - 1; k >= 0; --k) {
        const int32_t id = tokens_.ids[k];
        nextSame_[k] = following[id];
        following[id] = k;
        firstOf_[id] = k;
    }
}

void FuzzyKey::tokenize(std::string_view text, TokenSeq& out) const {
    split(text, out, [this](int code) { return int32_t(idOf(code)); });
}

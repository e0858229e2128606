// How many characters a text shares with the fuzzy search string, each
// counted at most as often as the string holds it. No window of the text can
// have more characters in common with the string, so a text that shares too
// few is rejected before it is folded, tokenised and slid over.
#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

#include "base/lstr.h"
#include "search/fuzzy_tokens.h"

class SharedChars {
public:
    // Characters of texts are folded to lower case first when ignoreCase is
    // set, as the matcher folds them.
    SharedChars(const FuzzyKey& key, bool ignoreCase);

    // Whether text shares at least need characters with the string.
    bool reach(std::string_view text, int32_t need);
    // The bytes of every character reach counts: a text that holds none of
    // them shares nothing with the string.
    std::vector<LStr> spellings() const;

private:
    void name(int code, int32_t id);

    std::vector<uint16_t> idOf_;   // by character code, of the folded character
    std::vector<int32_t> inKey_;   // by id: how often the string holds it
    std::vector<int32_t> inText_;  // by id: how often the text held it so far
    std::vector<int> codes_;       // the codes with an id
};

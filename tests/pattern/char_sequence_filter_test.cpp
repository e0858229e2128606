// The shift-and filter of character rows and the position automaton of other
// patterns of single characters decide a text exactly as the matcher does,
// with and without folding, over Shift-JIS text with line ends and cut
// characters.
#include "pattern/char_sequence_filter.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "../common/system_charset.h"
#include "pattern/parser.h"
#include "pattern/position_filter.h"
#include "pattern/rex_flags.h"
#include "pattern/searcher.h"

namespace {

// Whichever filter takes the pattern: whether the text holds a match; null
// when neither does.
std::function<bool(const std::string&)> anyFilter(const LRex& root) {
    std::shared_ptr<CandidateScan> filter = CharSequenceFilter::forPattern(root);
    if (!filter) filter = PositionFilter::forPattern(root);
    if (!filter) return nullptr;
    return [filter](const std::string& text) {
        return filter->find(text.data(), text.data() + text.size()) != text.data() + text.size();
    };
}

TEST(CharSequenceFilter, DecidesAsTheMatcherDoes) {
    // Each with a text it matches, which the rounds change and surround.
    const std::pair<const char*, const char*> patterns[] = {
        {"[0-9]{4}-[0-9]{2}", "2024-12"},
        {"a[^b]{2}", "a\r\n"},
        {"A-1", "a-１"},
        {"[ア-ン]x", "アx"},
        {"[^0-9]", "x"},
        {"[\\x0A]a", "\na"},
        {"b.c", "b1c"},
        {"[0-9]+年", "12年"},
        {"a[0-9]+b+x", "a1bbx"},
        {"日本[^語]+", "日本x"},
        {"[\\x0A]{2}", "\r\n"},
        {"[０-９]{2}", "１2"},
        {"アx+", "アxx"},
        {"[0-9]+(年|x)", "1x"},
        {"(ab|a)[0-9]*b", "a1b"},
        {"(a|1)?x{2,3}", "1xx"},
        {"ア(イ|[0-9])+ｱ", "ア9ｱ"},
        {"(a[^b]|x)1", "a\r\n1"},
        {"(-|9{2})+b?a", "-99a"},
        {"(A|b)(1|ア)", "a1"},
        {"(a-1-b|x)+[0-9]{3}", "a-1-b123"},
        {"(a|b)[c-d][e-f][g-h][i-j][k-l][m-n][o-p]+q", "acegikmoq"}};
    // Pieces: ASCII, full-width digits, katakana, line ends, a lone lead byte.
    const std::string pieces[] = {"0",
                                  "1",
                                  "9",
                                  "-",
                                  "a",
                                  "A",
                                  "b",
                                  "x",
                                  " ",
                                  "\r",
                                  "\n",
                                  systemSjis("１"),
                                  systemSjis("ア"),
                                  systemSjis("ｱ"),
                                  systemSjis("ｂ"),
                                  "\x81"};
    std::mt19937 random(5);
    const auto piece = [&] { return pieces[random() % std::size(pieces)]; };
    for (const auto& [pattern, sample] : patterns) {
        for (uint32_t flags : {0u, uint32_t(RexIgnoreCase | RexIgnoreWidth)}) {
            const std::string sjis = systemSjis(pattern);
            const LRexPtr root = compileRex(sjis, flags);
            ASSERT_TRUE(root) << pattern;
            // Width folding may join kana and sound marks: declined.
            const auto filter = anyFilter(*root);
            if (!filter && flags != 0) continue;
            ASSERT_TRUE(filter) << pattern;
            LRexSearcher searcher(sjis, flags);
            int matched = 0;
            for (int round = 0; round < 3000; ++round) {
                std::string near = systemSjis(sample);
                near.replace(random() % near.size(), random() % 2, piece());
                std::string text;
                for (int n = int(random() % 5); n > 0; --n) text += piece();
                text += round % 2 ? near : systemSjis(sample);
                for (int n = int(random() % 5); n > 0; --n) text += piece();
                const bool expected = searcher.search(text) >= 0;
                ASSERT_EQ(filter(text), expected)
                    << pattern << " flags " << flags << " in " << ::testing::PrintToString(text);
                matched += expected;
            }
            EXPECT_GT(matched, 0) << pattern;
            EXPECT_LT(matched, 3000) << pattern;
        }
    }
}

TEST(CharSequenceFilter, OnlyPatternsOfSingleCharacters) {
    for (const char* pattern : {"a?", "(ab){2}", "a|b", "[0-9]{2,3}", "a(?=b)", "^ab", "a*b"})
        EXPECT_FALSE(CharSequenceFilter::forPattern(*compileRex(systemSjis(pattern)))) << pattern;
    // Nothing to decide, or more than characters in a row.
    for (const char* pattern : {"a?|b", "x*", "a(?=b)", "^ab", "(a)\\1", "(?>a|ab)c", "a\\d"})
        EXPECT_FALSE(anyFilter(*compileRex(systemSjis(pattern)))) << pattern;
    // With width folding a kana may take two half-width characters.
    EXPECT_FALSE(anyFilter(*compileRex(systemSjis("ガ[0-9]"), RexIgnoreWidth)));
}

}  // namespace

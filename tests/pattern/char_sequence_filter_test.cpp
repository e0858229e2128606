// The shift-and filter decides a text exactly as the matcher does, with and
// without folding, over Shift-JIS text with line ends and cut characters.
#include "pattern/char_sequence_filter.h"

#include <gtest/gtest.h>

#include <random>

#include "../common/system_charset.h"
#include "pattern/parser.h"
#include "pattern/rex_flags.h"
#include "pattern/searcher.h"

namespace {

TEST(CharSequenceFilter, DecidesAsTheMatcherDoes) {
    // Each with a text it matches, which the rounds change and surround.
    const std::pair<const char*, const char*> patterns[] = {{"[0-9]{4}-[0-9]{2}", "2024-12"},
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
                                                            {"[０-９]{2}", "１2"}};
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
            const auto filter = CharSequenceFilter::forPattern(*root);
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
                ASSERT_EQ(filter->matches(text), expected)
                    << pattern << " flags " << flags << " in " << ::testing::PrintToString(text);
                matched += expected;
            }
            EXPECT_GT(matched, 0) << pattern;
            EXPECT_LT(matched, 3000) << pattern;
        }
    }
}

TEST(CharSequenceFilter, OnlyRowsOfSingleCharacters) {
    for (const char* pattern :
         {"a?", "(ab){2}", "a|b", "[0-9]{2,3}", "a(?=b)", "^ab", "ア[0-9]", "a*b"})
        EXPECT_FALSE(CharSequenceFilter::forPattern(*compileRex(systemSjis(pattern)))) << pattern;
}

}  // namespace

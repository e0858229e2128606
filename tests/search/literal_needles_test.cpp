// Every text a folded literal matches holds one of its needles: otherwise a
// search would pass over a matching line.
#include "search/literal_needles.h"

#include <gtest/gtest.h>

#include "common/system_charset.h"
#include "pattern/parser.h"
#include "pattern/rex_flags.h"

namespace {

bool holdsOne(const std::vector<LStr>& needles, const std::string& text) {
    for (const LStr& needle : needles)
        if (text.find(std::string(needle.view())) != std::string::npos) return true;
    return false;
}

TEST(LiteralNeedles, EveryFoldedFormHoldsANeedle) {
    const FoldFlags both{true, true}, caseOnly{true, false}, none{false, false};
    struct {
        const char* key;
        FoldFlags fold;
        const char* text;  // a form the key matches
    } cases[] = {
        {"Shinkansen", both, "ｓｈＩＮＫＡＮＳＥＮ"},
        {"Shinkansen", both, "sHiNkAnSeN"},
        {"Shinkansen", both, "shｉnKａnsen"},  // widths mixed
        {"Shinkansen", caseOnly, "SHINKANSEN"},
        {"ネットワーク", both, "ﾈｯﾄﾜｰｸ"},
        {"ネットワーク", both, "ネｯトﾜーク"},
        {"サーバー", both, "ｻｰﾊﾞｰ"},
        {"日本語のテキスト", both, "日本語のテキスト"},
        {"東京Tower", both, "東京ｔｏｗｅｒ"},
        {"abc", none, "abc"},
    };
    for (const auto& c : cases) {
        const std::vector<LStr> needles = literalNeedles(systemSjis(c.key), c.fold);
        EXPECT_FALSE(needles.empty()) << c.key;
        EXPECT_TRUE(holdsOne(needles, systemSjis(c.text))) << c.key << " in " << c.text;
    }
    // Voiced kana may match two half-width characters: nothing to scan for.
    EXPECT_TRUE(literalNeedles(systemSjis("ガギ"), both).empty());
}

}  // namespace

TEST(LiteralNeedles, EveryMatchOfAPatternHoldsANeedle) {
    const uint32_t both = RexIgnoreCase | RexIgnoreWidth;
    struct {
        const char* pattern;
        uint32_t flags;
        const char* text;  // "": the pattern offers no needles
    } cases[] = {
        {"カーネル|ドライバ|モジュール", both, "ﾄﾞﾗｲﾊﾞ"},
        {"日本(語|人)", both, "日本人"},
        {"ab+c", both, "xAbBbC"},
        {"(a|bc)d", both, "Ａd"},
        {"Kernel|ドライバ", RexIgnoreCase, "kERNEL"},
        {"x{@iz}ネットワーク", RexIgnoreCase, "Xﾈｯﾄﾜｰｸ"},  // folds part of itself
        {"x*", both, ""},
        {"a{@ign( )}bc", both, ""},
    };
    for (const auto& c : cases) {
        const LRexPtr rex = compileRex(systemSjis(c.pattern), c.flags);
        const std::vector<LStr> needles = patternNeedles(*rex);
        if (*c.text == '\0')
            EXPECT_TRUE(needles.empty()) << c.pattern;
        else
            EXPECT_TRUE(holdsOne(needles, systemSjis(c.text))) << c.pattern;
    }
    // Without width folding each katakana word is a needle of its own.
    EXPECT_EQ(patternNeedles(*compileRex(systemSjis("カーネル|ドライバ"), RexIgnoreCase)).size(),
              2u);
}

// Compiling search strings: stored forms, patterns, fuzzy tolerance and
// fallback, and the index signatures, which must admit every block that
// holds a hit.
#include "search/search_string.h"

#include <gtest/gtest.h>

#include "common/capture_sink.h"
#include "common/system_charset.h"
#include "search/record_test.h"
#include "search/stable_grams.h"
#include "text/regularize.h"

constexpr SearchType kRegex = SearchType::Regex;

static SearchStringResult compile(std::string_view text, const SearchKeys& keys) {
    return compileSearchString(text, keys, nullptr, 0);
}

static bool patternFinds(const TSchStr& str, std::string_view text) {
    return str.schRex && findRex(text, str.schRex.get()) != nullptr;
}

// Whether a block holding text passes the index test for sig.
static bool blockAdmits(std::string_view blockText, const GramSignature& sig) {
    LStr regular;
    regularize(blockText, kIndexFolding, regular);
    return signatureTest(signatureOf(regular.view()).complemented(), sig, 0);
}

TEST(SearchString, StoredFormAndPattern) {
    struct Case {
        const char* text;
        SearchKeys keys;
        const char* stored;
        const char* found;     // a text the pattern must find
        const char* notFound;  // one it must not
    } cases[] = {
        // Ignore case lowers ASCII letters only; ア (83 41) keeps its bytes.
        {"AB\x83\x41", {}, "ab\x83\x41", "xAb\x83\x41", "xAc"},
        // A normal string is a literal: its specials match themselves.
        {"a.b", {}, "a.b", "xa.by", "axb"},
        {"a.b", {.fieldMatch = true}, "a.b", "a.b", "xa.b"},
        {"a.b", {.type = kRegex}, "a.b", "axb", "ab"},
        {"a.b", {.type = kRegex, .literalOnce = true}, "a.b", "a.b", "axb"},
        // The regex keeps the text as typed: lowered, \W would become \w.
        {"\\W+", {.type = kRegex}, "\\w+", "--", "ab"},
        {"X\\D", {.type = kRegex}, "x\\d", "x-", "x1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        auto r = compile(c.text, c.keys);
        ASSERT_TRUE(r.str);
        EXPECT_EQ(r.str->schStr.view(), c.stored);
        EXPECT_TRUE(patternFinds(*r.str, c.found)) << c.found;
        EXPECT_FALSE(patternFinds(*r.str, c.notFound)) << c.notFound;
    }
}

TEST(SearchString, FuzzyToleranceAndFallback) {
    struct Case {
        std::string text;
        int minRate;
        bool field;
        int tolBits;
        bool fallback;
    } cases[] = {
        {"abcdefgh", 75, false, 4, false},
        {"abcdefgh", 100, false, 0, false},
        {sj("日本語の文章です"), 75, false, 4, false},  // characters, not bytes
        {"abc", 75, false, 2, true},
        {"ab", 75, true, 2, true},  // no gram at all: no signature to keep
    };
    for (const Case& c : cases) {
        auto r = compile(c.text,
                         {.type = SearchType::Fuzzy, .fieldMatch = c.field, .minRate = c.minRate});
        EXPECT_EQ(r.str->tolBits, c.tolBits) << c.text << " " << c.minRate;
        EXPECT_EQ(r.fuzzyFallback, c.fallback) << c.text;
    }
    // Fuzzy signatures cover the whole regularised form.
    auto r = compile("processing data", {.type = SearchType::Fuzzy});
    EXPECT_EQ(*r.str->regulSig, signatureOf("processdata"));
}

TEST(StableGrams, Segments) {
    struct Case {
        std::string literal;
        GramContext context;
        std::string segments;
    } cases[] = {
        // An open edge word keeps the letters no longer word can lose.
        {"processing", {}, "[process]"},
        {"ations", {}, ""},
        // Inner words are stemmed as in any text; closed edges too.
        {"a processing b", {}, "[aprocessb]"},
        {"ations", {false, false, false}, "[ation]"},
        {sj("ations 日本"), {true, false, false}, sj("[日本]")},
        {"big data", {true, true, false}, "[bigdat]"},
        {sj("ｒｕｎｓ"), {}, "[runs]"},  // full-width letters fold and are never stemmed
        // With either width allowed, letters may be unstemmed or stemmed.
        {"ab12cd", {true, true, true}, "[12]"},
        // ｰ and ー regularise differently (the full-width one is a symbol).
        {sj("ｶｰﾃﾝ"), {false, false, false}, sj("[ｶｰﾃﾝ]")},
        {sj("ｶｰﾃﾝ"), {false, false, true}, sj("[ｶ][ﾃﾝ]")},
        {sj("カーテン"), {false, false, true}, sj("[ｶ][ﾃﾝ]")},
    };
    for (const Case& c : cases) {
        std::string joined;
        for (const LStr& s : stableSegments(c.literal, c.context))
            joined += "[" + std::string(s.view()) + "]";
        EXPECT_EQ(joined, c.segments) << c.literal;
    }
}

// The index never hides a hit: a block holding text in which the search
// finds the string admits the string's signatures.
TEST(SearchString, SignatureAdmitsBlocksHoldingTheString) {
    const SearchKeys width{.ignoreWidth = true, .useIndex = true};
    const SearchKeys regex{.type = kRegex, .useIndex = true};
    const SearchKeys literal{.type = kRegex, .stem = true, .useIndex = true, .literalOnce = true};
    struct Case {
        std::string search, block;
        SearchKeys keys;
    } cases[] = {
        {"happy", sj("ｈａｐｐｙ"), width},
        {sj("ｈａｐｐｙ"), "happy", width},
        {sj("ｶｰﾃﾝ"), sj("カーテン"), width},
        {"ations", "public relations", regex},
        {"processi", "processing", regex},
        {"processi", "processing", literal},
        {sj("[a-z]+ation日"), sj("relation日"), regex},
        {"runs? fast", "he runs fast", regex},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.search + " in " + c.block);
        auto r = compile(c.search, c.keys);
        ASSERT_TRUE(patternFinds(*r.str, c.block));
        EXPECT_TRUE(!r.str->regulSig || blockAdmits(c.block, *r.str->regulSig));
        bool anyLiteral = r.str->literalSigs.empty();
        for (const auto& sig : r.str->literalSigs) anyLiteral |= blockAdmits(c.block, sig);
        EXPECT_TRUE(anyLiteral);
    }
}

// Every substring of text whose record test matches block must have a
// signature block admits; returns how many substrings were checked.
static int checkEverySubstring(std::string_view text, std::string_view block,
                               const SearchKeys& keys) {
    int checked = 0;
    for (size_t from = 0; from < text.size(); ++from) {
        for (size_t n = 3; n <= 16 && from + n <= text.size(); ++n) {
            auto str = compile(text.substr(from, n), keys).str;
            if (!str->regulSig || !RecordTester(keys, *str, nullptr, nullptr).matches(block))
                continue;
            ++checked;
            EXPECT_TRUE(blockAdmits(block, *str->regulSig)) << "[" << text.substr(from, n) << "]";
        }
    }
    return checked;
}

TEST(SearchString, SignatureOfEverySubstringAdmitsTheTextsItMatches) {
    CaptureSink quiet;  // symbol-only pieces report an empty stem form
    const std::string texts[] = {
        "The Stations were running quickly; relations studied 2024 happily.",
        "processing processes, classes and matching ied-ations",
        sj("日本語 processing 2024年 happy"),
    };
    const SearchKeys keys[] = {
        {.useIndex = true},
        {.words = true, .useIndex = true},
        {.stem = true, .useIndex = true},
        {.ignoreCase = false, .stem = true, .useIndex = true},
    };
    int checked = 0;
    for (const std::string& text : texts)
        for (const SearchKeys& k : keys) checked += checkEverySubstring(text, text, k);
    // With ignore width, words written partly in full width are never stemmed.
    checked += checkEverySubstring(texts[0],
                                   sj("Ｔhe ＳtａtｉoＮs ｗeｒe ｒuｎnｉnｇ ｑuｉcｋlｙ; "
                                      "ｒeｌaｔiｏnｓ ｓtｕdｉeｄ 2024 ｈaｐpｉlｙ."),
                                   {.ignoreWidth = true, .useIndex = true});
    EXPECT_GT(checked, 1000);
}

TEST(SearchString, SignaturesStillRejectBlocksWithoutTheString) {
    auto r = compile(sj("日本語の文章"), {.useIndex = true});
    EXPECT_TRUE(blockAdmits(sj("x日本語の文章y"), *r.str->regulSig));
    EXPECT_FALSE(blockAdmits(sj("英語の文"), *r.str->regulSig));
    auto w = compile("processing data", {.words = true, .useIndex = true});
    EXPECT_EQ(*w.str->regulSig, signatureOf("processdata"));
    EXPECT_FALSE(blockAdmits("unrelated words", *w.str->regulSig));
    EXPECT_FALSE(compile("ab", {.useIndex = true}).str->regulSig);  // no gram at all
}

TEST(RegexSignature, CompiledPatterns) {
    const SearchKeys regex{.type = kRegex, .useIndex = true};
    auto r = compile(sj("(日本|英語)文章"), regex);
    ASSERT_EQ(r.str->literalSigs.size(), 2u);
    EXPECT_EQ(r.str->literalSigs[0], signatureOf(sj("日本文章")));
    EXPECT_TRUE(r.str->regulSig);
    EXPECT_TRUE(compile("abc|.*", regex).str->literalSigs.empty());
    EXPECT_FALSE(compile(".*", regex).str->regulSig);
    EXPECT_FALSE(compile(sj("日本語"), {.type = kRegex}).str->regulSig);  // no index, no signature
    // Ignorable text between pieces is unknown to the requirement tree.
    EXPECT_FALSE(compile(sj("{@ign(x)}日本語"), regex).str->regulSig);
    // Width folding switched on inside the pattern drops letter grams.
    EXPECT_FALSE(compile("{@iz}relational", regex).str->regulSig);
}

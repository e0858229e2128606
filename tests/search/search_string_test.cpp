// Compiling search strings: stored forms, patterns, fuzzy tolerance and
// fallback, and the index signatures, which must admit every block that
// holds a hit.
#include "search/search_string.h"

#include <gtest/gtest.h>

#include <string>

#include "common/capture_sink.h"
#include "pattern/searcher.h"
#include "search/record_test.h"
#include "search/stable_grams.h"
#include "text/regularize.h"

namespace {

struct Options {
    SearchType type = SearchType::Normal;
    bool icase = true;
    bool width = false;
    bool stem = false;
    bool words = false;
    bool field = false;
    bool index = false;
    bool literalOnce = false;
    int minRate = 75;
};

SearchKeys settingsFor(const Options& o) {
    return SearchKeys{o.type,  o.icase, o.width,   o.stem,       o.words,
                      o.field, o.index, o.minRate, o.literalOnce};
}

SearchStringResult compile(std::string_view text, const Options& o) {
    return compileSearchString(text, settingsFor(o), nullptr, 0);
}

bool patternFinds(const TSchStr& str, std::string_view text) {
    return str.schRex && findRex(text, str.schRex.get()) != nullptr;
}

// Whether a block holding text passes the index test for sig.
bool blockAdmits(std::string_view blockText, const GramSignature& sig) {
    LStr regular;
    regularize(blockText, kIndexFolding, regular);
    return signatureTest(signatureOf(regular.view()).complemented(), sig, 0);
}

std::string joined(const std::vector<LStr>& segments) {
    std::string out;
    for (const LStr& s : segments) out += "[" + std::string(s.view()) + "]";
    return out;
}

}  // namespace

TEST(SearchString, StoredFormAndPattern) {
    struct Case {
        const char* text;
        Options options;
        const char* stored;
        const char* found;     // a text the pattern must find
        const char* notFound;  // one it must not
    } cases[] = {
        // Ignore case lowers ASCII letters only; "ア" (0x83 0x41) keeps its bytes.
        {"AB\x83\x41", {}, "ab\x83\x41", "xAb\x83\x41", "xAc"},
        {"ABC", {.icase = false}, "ABC", "ABC", "abc"},
        // A normal string is a literal: its specials match themselves.
        {"a.b", {}, "a.b", "xa.by", "axb"},
        {"a.b", {.field = true}, "a.b", "a.b", "xa.b"},
        {"a.b", {.type = SearchType::Regex}, "a.b", "axb", "ab"},
        {"a.b", {.type = SearchType::Regex, .literalOnce = true}, "a.b", "a.b", "axb"},
        // The regex keeps the text as typed: lowered, \W would become \w.
        {"\\W+", {.type = SearchType::Regex}, "\\w+", "--", "ab"},
        {"X\\D", {.type = SearchType::Regex}, "x\\d", "x-", "x1"},
        {"cat", {.words = true}, "cat", "a cat.", "cats"},
        {"abc", {.width = true}, "abc", "\x82\x81\x82\x82\x82\x83", "ab"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        auto r = compile(c.text, c.options);
        ASSERT_TRUE(r.str);
        EXPECT_EQ(r.str->schStr.view(), c.stored);
        EXPECT_TRUE(patternFinds(*r.str, c.found)) << c.found;
        EXPECT_FALSE(patternFinds(*r.str, c.notFound)) << c.notFound;
    }
}

TEST(SearchString, RegularAndStemForms) {
    auto r = compile("Running, quickly!", {.stem = true, .index = true});
    EXPECT_EQ(r.str->schRegulStr.view(), "runnquick");
    EXPECT_EQ(r.str->schStemStr.view(), "runnquick");
    // Without index, fuzzy or stemming no forms or signatures are made.
    auto plain = compile("Running", {});
    EXPECT_TRUE(plain.str->schRegulStr.empty());
    EXPECT_TRUE(plain.str->schStemStr.empty());
    EXPECT_FALSE(plain.str->regulSig);
}

TEST(SearchString, EmptyStemFormGivesMessageLine) {
    CaptureSink sink;
    auto r = compile("!? \x81\x45", {.stem = true});
    ASSERT_TRUE(r.str);
    EXPECT_TRUE(r.str->schStemStr.empty());
    ASSERT_EQ(sink.messages().size(), 1u);
    EXPECT_EQ(sink.messages()[0].number, 0);
    EXPECT_FALSE(r.defective) << "a note, not a defect";
    sink.clear();
    compile("abc", {.stem = true});
    EXPECT_TRUE(sink.messages().empty());
}

TEST(SearchString, FuzzyToleranceAndFallback) {
    struct Case {
        const char* text;
        int minRate;
        bool field;
        int tolBits;
        bool fallback;
    } cases[] = {
        {"abcdefgh", 75, false, 4, false},
        {"abcdefgh", 100, false, 0, false},
        // Double-byte characters count once: 8 characters.
        {"\x93\xFA\x96\x7B\x8C\xEA\x82\xCC\x95\xB6\x8F\xCD\x82\xC5\x82\xB7", 75, false, 4, false},
        {"abc", 75, false, 2, true},
        {"abc", 75, true, 2, false},
        {"ab", 75, true, 2, true},  // no gram at all: no signature to keep
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " " + std::to_string(c.minRate));
        Options o{.type = SearchType::Fuzzy, .field = c.field, .minRate = c.minRate};
        auto r = compile(c.text, o);
        EXPECT_EQ(r.str->tolBits, c.tolBits);
        EXPECT_EQ(r.fuzzyFallback, c.fallback);
        EXPECT_EQ(r.str->regulSig.has_value(), !c.fallback);
        EXPECT_EQ(r.str->fuzzyInForce(settingsFor(o)), !c.fallback);
    }
    // Fuzzy signatures cover the whole regularised form.
    auto r = compile("processing data", {.type = SearchType::Fuzzy});
    EXPECT_EQ(*r.str->regulSig, signatureOf("processdata"));
}

TEST(SearchString, SignatureWithoutBitsIsDropped) {
    EXPECT_FALSE(compile("ab", {.index = true}).str->regulSig);
    EXPECT_FALSE(compile("\x81\x40\x81\x40", {.index = true}).str->regulSig);
    EXPECT_TRUE(compile("\x93\xFA\x96\x7B", {.index = true}).str->regulSig);
}

TEST(StableGrams, Segments) {
    struct Case {
        const char* literal;
        GramContext context;
        const char* segments;
    } cases[] = {
        // An open edge word keeps the letters no longer word can lose.
        {"processing", {}, "[process]"},
        {"ations", {}, ""},
        // Inner words are stemmed as in any text; closed edges too.
        {"a processing b", {}, "[aprocessb]"},
        {"ations", {false, false, false}, "[ation]"},
        {"ations \x93\xFA\x96\x7B", {true, false, false}, "[\x93\xFA\x96\x7B]"},
        {"big data", {true, true, false}, "[bigdat]"},
        // Full-width letters fold and are never stemmed.
        {"\x82\x92\x82\x95\x82\x8E\x82\x93", {}, "[runs]"},
        // With either width allowed, letters may be unstemmed or stemmed.
        {"ab12cd", {true, true, true}, "[12]"},
        // ｰ and ー regularise differently (the full-width one is a symbol).
        {"\xB6\xB0\xC3\xDD", {false, false, false}, "[\xB6\xB0\xC3\xDD]"},
        {"\xB6\xB0\xC3\xDD", {false, false, true}, "[\xB6][\xC3\xDD]"},
        {"\x83\x4A\x81\x5B\x83\x65\x83\x93", {false, false, true}, "[\xB6][\xC3\xDD]"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(joined(stableSegments(c.literal, c.context)), c.segments) << c.literal;
}

// The index never hides a hit: a block holding text in which the plain
// search finds the string admits the string's signature.
TEST(SearchString, SignatureAdmitsBlocksHoldingTheString) {
    struct Case {
        const char* search;
        const char* block;
        Options options;
    } cases[] = {
        {"\x93\xFA\x96\x7B processi", "\x93\xFA\x96\x7B processing", {.index = true}},
        {"happy", "\x82\x88\x82\x81\x82\x90\x82\x90\x82\x99", {.width = true, .index = true}},
        {"\x82\x88\x82\x81\x82\x90\x82\x90\x82\x99", "happy", {.width = true, .index = true}},
        {"\xB6\xB0\xC3\xDD", "\x83\x4A\x81\x5B\x83\x65\x83\x93", {.width = true, .index = true}},
        {"ations", "public relations", {.type = SearchType::Regex, .index = true}},
        {"processi", "processing", {.type = SearchType::Regex, .index = true}},
        {"processi",
         "processing",
         {.type = SearchType::Regex, .stem = true, .index = true, .literalOnce = true}},
        {"[a-z]+ation\x93\xFA", "relation\x93\xFA", {.type = SearchType::Regex, .index = true}},
        {"runs? fast", "he runs fast", {.type = SearchType::Regex, .index = true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.search) + " in " + c.block);
        auto r = compile(c.search, c.options);
        ASSERT_TRUE(patternFinds(*r.str, c.block));
        if (r.str->regulSig) {
            EXPECT_TRUE(blockAdmits(c.block, *r.str->regulSig));
        }
        bool anyLiteral = r.str->literalSigs.empty();
        for (const auto& sig : r.str->literalSigs) anyLiteral |= blockAdmits(c.block, sig);
        EXPECT_TRUE(anyLiteral);
    }
}

// Every substring of text, searched as a normal string, must admit block
// whenever it finds a hit there. Catches any gram a text can lose to stemming.
static void checkEverySubstring(std::string_view text, std::string_view block, const Options& o) {
    for (size_t from = 0; from < text.size(); ++from) {
        for (size_t n = 3; n <= 14 && from + n <= text.size(); ++n) {
            std::string_view s = text.substr(from, n);
            auto r = compile(s, o);
            if (!patternFinds(*r.str, block) || !r.str->regulSig) continue;
            EXPECT_TRUE(blockAdmits(block, *r.str->regulSig)) << "[" << s << "] words=" << o.words;
        }
    }
}

TEST(SearchString, SignatureOfEverySubstringAdmitsItsText) {
    for (bool words : {false, true}) {
        for (std::string_view text :
             {"The stations were running quickly; relations studied happily.",
              "processing processes, classes and matching ied-ations",
              "\x93\xFA\x96\x7B\x8C\xEA processing 2024\x94\x4E happy"})
            checkEverySubstring(text, text, {.words = words, .index = true});
    }
}

// With ignore width, a string typed in ASCII finds words written partly in
// full-width letters, which regularisation never stems.
TEST(SearchString, SignatureAdmitsOtherWidthBlocks) {
    const std::string_view text = "The stations were running; relations studied 2024 happily.";
    std::string mixed;  // every second letter full-width
    int letters = 0;
    for (char ch : text) {
        bool letter = (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z');
        int code = ch >= 'a' ? 0x8281 + (ch - 'a') : 0x8260 + (ch - 'A');
        mixed += letter && letters++ % 2 ? std::string{char(code >> 8), char(code & 0xFF)}
                                         : std::string(1, ch);
    }
    checkEverySubstring(text, mixed, {.width = true, .index = true});
}

// The stem comparison matches whole words only, so a stemmed string keeps
// all grams of its regularised form: every text it matches still admits them.
TEST(SearchString, StemSignatureAdmitsEveryMatchedText) {
    CaptureSink quiet;  // symbol-only pieces report an empty stem form
    int checked = 0;
    const char* texts[] = {
        "The Stations were running quickly; relations studied happily.",
        "processing processes, classes and matching ied-ations",
    };
    for (bool icase : {true, false}) {
        SearchKeys settings = settingsFor({.icase = icase, .stem = true, .index = true});
        for (std::string_view text : texts) {
            for (size_t from = 0; from < text.size(); ++from) {
                for (size_t n = 3; n <= 16 && from + n <= text.size(); ++n) {
                    auto str = compileSearchString(text.substr(from, n), settings, nullptr, 0).str;
                    RecordTester tester(settings, *str, nullptr, nullptr);
                    if (!str->regulSig || !tester.matches(text)) continue;
                    ++checked;
                    EXPECT_TRUE(blockAdmits(text, *str->regulSig))
                        << "[" << text.substr(from, n) << "] icase=" << icase;
                }
            }
        }
    }
    EXPECT_GT(checked, 100);
}

TEST(SearchString, SignatureStillRejectsBlocksWithoutTheString) {
    auto r = compile("\x93\xFA\x96\x7B\x8C\xEA\x82\xCC\x95\xB6\x8F\xCD", {.index = true});
    ASSERT_TRUE(r.str->regulSig);
    EXPECT_TRUE(
        blockAdmits("x\x93\xFA\x96\x7B\x8C\xEA\x82\xCC\x95\xB6\x8F\xCDy", *r.str->regulSig));
    EXPECT_FALSE(blockAdmits("\x89\x70\x8C\xEA\x82\xCC\x95\xB6", *r.str->regulSig));
    auto w = compile("processing data", {.words = true, .index = true});
    ASSERT_TRUE(w.str->regulSig);
    EXPECT_EQ(*w.str->regulSig, signatureOf("processdata"));
    EXPECT_FALSE(blockAdmits("unrelated words", *w.str->regulSig));
}

TEST(RegexSignature, CompiledPatterns) {
    Options regex{.type = SearchType::Regex, .index = true};
    auto r = compile("(\x93\xFA\x96\x7B|\x89\x70\x8C\xEA)\x95\xB6\x8F\xCD", regex);
    ASSERT_EQ(r.str->literalSigs.size(), 2u);
    EXPECT_EQ(r.str->literalSigs[0], signatureOf("\x93\xFA\x96\x7B\x95\xB6\x8F\xCD"));
    EXPECT_TRUE(r.str->regulSig);

    EXPECT_TRUE(compile("abc|.*", regex).str->literalSigs.empty());
    EXPECT_FALSE(compile(".*", regex).str->regulSig);
    // Without the index no signature is derived.
    EXPECT_FALSE(compile("\x93\xFA\x96\x7B\x8C\xEA", {.type = SearchType::Regex}).str->regulSig);
    // Ignorable text between pieces is unknown to the requirement tree.
    EXPECT_FALSE(compile("{@ign(x)}\x93\xFA\x96\x7B\x8C\xEA", regex).str->regulSig);
    // Width folding switched on inside the pattern drops letter grams.
    auto wide = compile("{@iz}relational", regex);
    EXPECT_FALSE(wide.str->regulSig);
}

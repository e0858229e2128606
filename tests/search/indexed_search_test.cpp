// Index-assisted search: which blocks of a file are read for a search
// string, and when the index is not used at all.
#include "search/indexed_search.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/capture_sink.h"
#include "common/temp_dir.h"
#include "index/ix_cache.h"
#include "pattern/first_bytes.h"
#include "pattern/searcher.h"
#include "search/search_string.h"
#include "text/regularize.h"

namespace {

struct Range {
    int64_t start, length;
    int32_t line;
    friend bool operator==(const Range&, const Range&) = default;
};

std::ostream& operator<<(std::ostream& os, const Range& r) {
    return os << "{" << r.start << "," << r.length << "," << r.line << "}";
}

// Three blocks of 300 bytes (two 150-byte lines each); only the second holds
// "needle".
std::string threeBlocks() {
    auto line = [](const std::string& word) {
        return word + std::string(149 - word.size(), ' ') + "\n";
    };
    return line("alpha") + line("beta") + line("gamma needle") + line("delta") + line("omega") +
           line("zeta");
}

// The signature of a text as blocks store it: regularised in index mode.
GramSignature indexSig(std::string_view text) {
    LStr regular;
    regularize(text, kIndexFolding, regular);
    return signatureOf(regular);
}

TSchStr normalString(std::string_view text) {
    TSchStr s;
    s.schStr = text;
    regularize(text, kIndexFolding, s.schRegulStr);
    s.regulSig = signatureOf(s.schRegulStr);
    return s;
}

class IndexedSearch : public ::testing::Test {
protected:
    IndexedSearch() : separator_("[\\n]"), cache_(tmp.path("ix/")) {
        table_ = buildStartByteTable(*separator_.rex(), 0);
        file = tmp.write("docs/f.txt", threeBlocks());
    }
    IndexedFileSearch run(const TSchStr* current, int32_t strings = 1, bool regex = false) {
        IndexedFileSearch r;
        r.cache = &cache_;
        r.separator = {separator_.rex(), &table_};
        r.current = current;
        r.stringCount = strings;
        r.regex = regex;
        r.open = [this] {
            ++opens;
            return true;
        };
        r.searchRange = [this](int64_t start, int64_t length, int32_t line) {
            searched.push_back({start, length, line});
            return 1;
        };
        return r;
    }

    TempDir tmp;
    std::string file;
    int opens = 0;
    std::vector<Range> searched;

private:
    LRexSearcher separator_;
    LRexStartTable table_{};
    TIxCache cache_;
};

TEST_F(IndexedSearch, ReadsOnlyBlocksThatCanHoldTheString) {
    TSchStr s = normalString("needle");
    IndexedOutcome out = runIndexedSearch(run(&s), file);
    EXPECT_FALSE(out.wholeFile);
    EXPECT_EQ(out.blocks, 3);
    EXPECT_EQ(searched, (std::vector<Range>{{300, 300, 3}}));
    EXPECT_EQ(out.hits, 1);
    EXPECT_EQ(opens, 1);
}

TEST_F(IndexedSearch, ShortOrMissingSignatureFallsBackToTheWholeFile) {
    TSchStr shortOne = normalString("ne");
    EXPECT_TRUE(runIndexedSearch(run(&shortOne), file).wholeFile);
    TSchStr none;
    none.schRegulStr = "needle";
    EXPECT_TRUE(runIndexedSearch(run(&none), file).wholeFile);
    EXPECT_TRUE(runIndexedSearch(run(&none, 1, true), file).wholeFile);
    EXPECT_TRUE(searched.empty());
}

TEST_F(IndexedSearch, UnindexableFileFallsBackOrIsSkipped) {
    TSchStr s = normalString("needle");
    std::string missing = tmp.path("docs/none.txt");
    EXPECT_TRUE(runIndexedSearch(run(&s), missing).wholeFile);

    CaptureSink sink;
    IndexedOutcome fuzzy = runFuzzyIndexedSearch(run(&s), missing);
    EXPECT_FALSE(fuzzy.wholeFile);
    ASSERT_EQ(sink.messages().size(), 1u);
    // The skip notice names the file.
    EXPECT_NE(sink.messages()[0].text.find(missing + ": "), std::string::npos);
}

TEST_F(IndexedSearch, RegexNeedsOneOfItsAlternatives) {
    TSchStr s;
    s.literalSigs = {indexSig("omega"), indexSig("needle")};
    runIndexedSearch(run(&s, 1, true), file);
    EXPECT_EQ(searched, (std::vector<Range>{{300, 300, 3}, {600, 300, 5}}));

    // Too many alternatives to be worth testing: every block is read.
    searched.clear();
    s.literalSigs.assign(11, indexSig("xylophone"));
    runIndexedSearch(run(&s, 1, true), file);
    EXPECT_EQ(searched.size(), 3u);
}

// A block stored as lacking exactly the first `missing` bits of sig.
TIxBlock blockLacking(const GramSignature& sig, int missing) {
    TIxBlock block;
    for (int bit = 0, seen = 0; bit < kSignatureBits && seen < missing; ++bit)
        if (sig.test(bit)) {
            block.sig.set(bit);
            ++seen;
        }
    return block;
}

TEST(FuzzyBlocks, ToleranceCountsMissingBits) {
    TSchStr s = normalString("fuzzy matching text");
    s.tolBits = 2;
    IndexedFileSearch run;
    run.current = &s;
    run.stringCount = 1;
    ASSERT_GE(s.regulSig->count(), 3);
    EXPECT_TRUE(fuzzyBlockAdmitted(blockLacking(*s.regulSig, 2), run));
    EXPECT_FALSE(fuzzyBlockAdmitted(blockLacking(*s.regulSig, 3), run));
    // With two search strings no block is skipped.
    run.stringCount = 2;
    EXPECT_TRUE(fuzzyBlockAdmitted(blockLacking(*s.regulSig, 3), run));
}

}  // namespace

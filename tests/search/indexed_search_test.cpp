// Index-assisted search: which blocks of a file are read for a search
// string, and when the index is not used at all.
#include "search/indexed_search.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "common/capture_sink.h"
#include "common/temp_dir.h"
#include "index/ix_cache.h"
#include "pattern/first_bytes.h"
#include "pattern/searcher.h"
#include "search/search_string.h"
#include "text/regularize.h"

using Ranges = std::vector<std::tuple<int64_t, int64_t, int32_t>>;  // start, length, line

static TSchStr normalString(std::string_view text) {
    TSchStr s;
    s.schStr = text;
    regularize(text, kIndexFolding, s.schRegulStr);
    s.regulSig = signatureOf(s.schRegulStr);
    return s;
}

// A file of three 300-byte blocks (two 150-byte lines each); only the second
// holds "needle".
class IndexedSearch : public ::testing::Test {
protected:
    IndexedSearch() : separator_("[\\n]"), cache_(tmp.path("ix/")) {
        table_ = buildStartByteTable(*separator_.rex(), 0);
        std::string text;
        for (std::string word : {"alpha", "beta", "gamma needle", "delta", "omega", "zeta"})
            text += word + std::string(149 - word.size(), ' ') + "\n";
        file = tmp.write("docs/f.txt", text);
    }
    IndexedFileSearch run(const TSchStr* current, bool regex = false) {
        IndexedFileSearch r;
        r.cache = &cache_;
        r.separator = {separator_.rex(), &table_};
        r.current = current;
        r.stringCount = 1;
        r.regex = regex;
        r.open = [this] { return ++opens > 0; };
        r.searchRange = [this](int64_t start, int64_t length, int32_t line) {
            searched.emplace_back(start, length, line);
            return 1;
        };
        return r;
    }

    TempDir tmp;
    std::string file;
    int opens = 0;
    Ranges searched;

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
    EXPECT_EQ(searched, (Ranges{{300, 300, 3}}));
    EXPECT_EQ(out.hits, 1);
    EXPECT_EQ(opens, 1);
}

TEST_F(IndexedSearch, ShortOrMissingSignatureFallsBackToTheWholeFile) {
    TSchStr shortOne = normalString("ne");
    EXPECT_TRUE(runIndexedSearch(run(&shortOne), file).wholeFile);
    TSchStr none;
    none.schRegulStr = "needle";
    EXPECT_TRUE(runIndexedSearch(run(&none), file).wholeFile);
    EXPECT_TRUE(runIndexedSearch(run(&none, true), file).wholeFile);
    EXPECT_TRUE(searched.empty());
}

TEST_F(IndexedSearch, UnindexableFileFallsBackOrIsSkipped) {
    TSchStr s = normalString("needle");
    std::string missing = tmp.path("docs/none.txt");
    EXPECT_TRUE(runIndexedSearch(run(&s), missing).wholeFile);
    CaptureSink sink;
    EXPECT_FALSE(runFuzzyIndexedSearch(run(&s), missing).wholeFile);
    ASSERT_EQ(sink.messages().size(), 1u);
    EXPECT_NE(sink.messages()[0].text.find(missing + ": "), std::string::npos);
}

// Past 2 GiB the index cannot hold the offsets: one message, then the whole
// file is read, by a fuzzy search too.
TEST_F(IndexedSearch, FileTooLargeForTheIndexIsReadWhole) {
    TSchStr s = normalString("needle");
    const std::string big = tmp.write("docs/big.txt", "needle\n");
    std::filesystem::resize_file(big, int64_t(1) << 31);
    CaptureSink sink;
    EXPECT_TRUE(runIndexedSearch(run(&s), big).wholeFile);
    EXPECT_TRUE(searched.empty());
    EXPECT_FALSE(runFuzzyIndexedSearch(run(&s), big).wholeFile);
    EXPECT_EQ(searched, (Ranges{{0, INT64_MAX, 1}}));
    EXPECT_EQ(sink.messages().size(), 2u);  // one a run
}

// A regular expression needs one of its alternatives; admitted blocks close
// to each other are read as one range.
TEST_F(IndexedSearch, RegexNeedsOneOfItsAlternatives) {
    const struct {
        std::vector<std::string_view> alternatives;
        Ranges ranges;
    } cases[] = {
        {{"omega", "needle"}, {{300, 600, 3}}},
        {{"alpha", "omega"}, {{0, 900, 1}}},
        // Too many alternatives to be worth testing: every block is read.
        {std::vector<std::string_view>(11, "xylophone"), {{0, 900, 1}}},
    };
    for (const auto& c : cases) {
        TSchStr s;
        for (std::string_view a : c.alternatives)
            s.literalSigs.push_back(*normalString(a).regulSig);
        searched.clear();
        runIndexedSearch(run(&s, true), file);
        EXPECT_EQ(searched, c.ranges) << c.alternatives[0];
    }
}

// Admitted blocks far apart are read one by one; the blocks between are not.
TEST_F(IndexedSearch, FarApartBlocksAreReadSeparately) {
    std::string text;
    for (int i = 0; i < 40; ++i)
        text +=
            (i % 39 ? std::string("filler") : std::string("needle")) + std::string(143, ' ') + "\n";
    const std::string far = tmp.write("docs/far.txt", text);
    TSchStr s = normalString("needle");
    const IndexedOutcome out = runIndexedSearch(run(&s), far);
    EXPECT_EQ(searched, (Ranges{{0, 300, 1}, {5700, 300, 39}}));
    EXPECT_EQ(out.blocksSearched, 2);
}

// The wide rows alone (the stored-size bits of the strings cleared) pick the
// blocks; a file where none can hold the string is not opened.
TEST_F(IndexedSearch, WideRowsAloneSelectTheBlocks) {
    const struct {
        std::vector<std::string_view> strings;  // more than one: regex alternatives
        Ranges ranges;
    } cases[] = {
        {{"needle"}, {{300, 300, 3}}},
        {{"xylophone"}, {}},
        {{"omega", "needle"}, {{300, 600, 3}}},
        {{"xylophone", "quartz"}, {}},
    };
    for (const auto& c : cases) {
        auto wideOnly = [](std::string_view text) {
            GramSignature sig = *normalString(text).regulSig;
            sig.words = {};
            return sig;
        };
        TSchStr s = normalString(c.strings[0]);
        const bool regex = c.strings.size() > 1;
        s.regulSig = wideOnly(c.strings[0]);
        if (regex) {
            s.regulSig.reset();
            for (std::string_view a : c.strings) s.literalSigs.push_back(wideOnly(a));
        }
        searched.clear();
        opens = 0;
        runIndexedSearch(run(&s, regex), file);
        EXPECT_EQ(searched, c.ranges) << c.strings[0];
        EXPECT_EQ(opens, c.ranges.empty() ? 0 : 1) << c.strings[0];
    }
}

// The index file cut short by another program after it was opened: a file
// whose blocks can no longer be read is read whole, not passed over.
TEST_F(IndexedSearch, BlocksCutFromTheIndexFileLeaveTheFileToBeReadWhole) {
    const std::string other = tmp.path("docs/g.txt");
    std::filesystem::copy_file(file, other);
    TSchStr s = normalString("needle");
    IndexedFileSearch search = run(&s);
    {
        TIxCache building(tmp.path("ix/"));
        search.cache = &building;
        runIndexedSearch(search, file);
        runIndexedSearch(search, other);
    }
    TIxCache reading(tmp.path("ix/"));
    search.cache = &reading;
    searched.clear();
    EXPECT_FALSE(runIndexedSearch(search, file).wholeFile);
    EXPECT_EQ(searched, (Ranges{{300, 300, 3}}));
    for (const auto& item : std::filesystem::recursive_directory_iterator(tmp.path("ix")))
        if (item.path().extension() == ".qfd") std::filesystem::resize_file(item.path(), 64);
    searched.clear();
    EXPECT_TRUE(runIndexedSearch(search, other).wholeFile);
    EXPECT_TRUE(searched.empty());
}

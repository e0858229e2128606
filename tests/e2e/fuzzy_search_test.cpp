// qf --type=fuzzy end to end: hits with their inserted and missing pieces,
// the rate in the heading, whole fields, the fallback of short strings,
// decoded files and the index folder. How windows are
// rated and accepted is pinned by the matcher's own tests.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/temp_dir.h"
#include "e2e/search_fixture.h"

using namespace e2e;

namespace {

// A piece only in the record, and one only in the search string.
std::string ins(std::string_view text) {
    return marker(4) + std::string(text) + marker(0);
}
std::string del(std::string_view text) {
    return marker(5) + std::string(text) + marker(0);
}
// The separator of a fuzzy heading: the rate between two separators.
std::string rated(int rate, std::string_view separator = ": ") {
    return std::string(separator) + std::to_string(rate) + "%" + std::string(separator);
}
// この全文探索機能は速い searched for 全文検索機能, as shown (83%).
std::string changedRecord() {
    return sj("この") + hit(sj("全文") + ins(sj("探")) + del(sj("検")) + sj("索機能")) +
           sj("は速い\n");
}

class FuzzySearch : public ::testing::Test {
protected:
    // A fuzzy search for the UTF-8 string s, the index in a temporary folder.
    QfResult run(std::vector<std::string> options, std::string_view s,
                 const std::string& folder) const {
        options.insert(options.begin(), {"--type=fuzzy", "--set", "ixfDir=" + ix.path("ix")});
        options.push_back(std::string(s));
        return search(options, folder, cache);
    }
    std::string headings(std::string_view s, const std::string& folder) const {
        return folderLine(folder) + stringLine(sj(s));
    }
    // A new folder holding only a.txt with the bytes, for one case.
    std::string folderWith(std::string_view bytes) {
        const std::string folder = "case" + std::to_string(++folders_);
        docs.write(folder + "/a.txt", bytes);
        return docs.path(folder);
    }

    TempDir docs;
    TempDir ix;
    TempDir cache;  // its own, so that no other test's run fills it
    int folders_ = 0;
};

TEST_F(FuzzySearch, OneFileSearchedForOneString) {
    // Two characters are too few for fuzzy matching: 全x文 is no hit. As a
    // whole field, 全文検索です rates 4 of 6.
    const std::string twoHits = hit(sj("全文") + ins(sj("探")) + del(sj("検")) + sj("索機能")) +
                                sj("と") + hit(sj("全文検索機能")) + "\n";
    const std::string field2 = "2\t" + hit(sj("全文検") + ins(sj("査")) + del(sj("索"))) + "\n";
    struct Case {
        const char* text;  // UTF-8
        std::vector<std::string> options;
        const char* s;
        std::string out;        // after the headings
        std::string note = {};  // before them
    } cases[] = {
        {"この全文探索機能は速い\n",
         {},
         "全文検索機能",
         resultLine("a.txt(1)", changedRecord(), rated(83)) + summary(1, 1, 1)},
        {"全文探索機能と全文検索機能\n",
         {},
         "全文検索機能",
         resultLine("a.txt(1)", twoHits, rated(100)) + summary(2, 1, 1)},
        {"全文検索\n全x文\n",
         {},
         "全文",
         resultLine("a.txt(1)", hit(sj("全文")) + sj("検索\n"), rated(100)) + summary(1, 1, 1),
         messageLine(sj("検索文字列が短いため、ファジー検索ではなく通常検索を行います。"))},
        {"1\t全文検索\n2\t全文検査\n3\t全文検索です\n",
         {"--field-match"},
         "全文検索",
         resultLine("a.txt(1)", "1\t" + hit(sj("全文検索")) + "\n", rated(100)) +
             resultLine("a.txt(2)", field2, rated(75)) + summary(2, 1, 1)},
    };
    for (const Case& c : cases) {
        const std::string dir = folderWith(sj(c.text));
        QfResult r = run(c.options, c.s, dir);
        EXPECT_EQ(r.out, c.note + headings(c.s, dir) + c.out) << c.text << r.err;
    }
}

TEST_F(FuzzySearch, DecodedFilesAreRatedLikeShiftJisOnesWithTheIndexInItsFolder) {
    // Index blocks of a decoded file refer to its decoded text, so the hit
    // on line 3 lies where it does in the Shift-JIS copy; the second run
    // reads the kept index.
    const std::string text = "一行目\n二行目の文\nこの全文探索機能は速い\n";
    for (const std::string& bytes : {sj(text), text, "\xEF\xBB\xBF" + text}) {
        const std::string dir = folderWith(bytes);
        for (const char* pass : {"built", "reused"})
            EXPECT_EQ(run({}, "全文検索機能", dir).out,
                      headings("全文検索機能", dir) +
                          resultLine("a.txt(3)", changedRecord(), rated(83)) + summary(1, 1, 1))
                << bytes << pass;
    }
    EXPECT_TRUE(ix.exists("ix"));
    EXPECT_FALSE(cache.exists("VeloSoft")) << "the default cache folder stays untouched";
}

}  // namespace

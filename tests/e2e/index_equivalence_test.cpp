// Searching with the index must give exactly the bytes the same search gives
// without it, on the run that builds the index and on the runs that reuse it.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <memory>
#include <sstream>

#include "common/temp_dir.h"
#include "e2e/search_fixture.h"

using namespace e2e;

namespace {

// Words of the generated texts: stemmed endings, case and width variants.
const std::vector<std::string> kWords = [] {
    std::vector<std::string> words;
    std::istringstream all(
        "processing|processed|process|Processing|relations|relational|RELATIONS|running|runner|"
        "runs|station|nation|co-operation|x-ray|abc|2024年|123|東京|東京都|大阪|京都|検索|索引|"
        "文字列|データ|ＰＲＯＣＥＳＳＩＮＧ|ｒｕｎｎｉｎｇ|Ｒｅｌａｔｉｏｎｓ|ﾌﾟﾛｸﾞﾗﾑ|ｶﾀｶﾅ|、|。|"
        "　|（注）|!?|\t");
    for (std::string word; std::getline(all, word, '|');) words.push_back(word);
    return words;
}();

// Text of lines lines from a fixed generator; most lines are short, some
// run past a block (300 bytes) and a few past the record limit (10000).
std::string corpusText(uint32_t state, int lines, const char* lineEnd, bool mixedEnds) {
    auto next = [&state](uint32_t bound) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % bound;
    };
    std::string text;
    for (int i = 0; i < lines; ++i) {
        uint32_t kind = next(100);
        int words = kind < 2    ? 1500 + int(next(500))
                    : kind < 12 ? 60 + int(next(80))
                                : 1 + int(next(10));
        for (int w = 0; w < words; ++w) {
            if (w > 0 && next(3) != 0) text += ' ';
            text += kWords[next(kWords.size())];
        }
        text += mixedEnds && next(2) ? "\r\n" : lineEnd;
        if (next(10) == 0) text += lineEnd;  // an empty line now and then
    }
    return sj(text);
}

class IndexEquivalence : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        corpus_ = std::make_unique<TempDir>();
        corpus_->write("data/ja.txt", corpusText(1, 400, "\r\n", false));
        corpus_->write("data/en.txt", corpusText(2, 300, "\n", false));
        corpus_->write("data/a/mixed.txt", corpusText(3, 500, "\n", true));
        corpus_->write("data/a/deep/long.txt", corpusText(4, 120, "\r\n", false));
        corpus_->write("data/a/deep/other.log", corpusText(5, 50, "\n", false));
        corpus_->write("data/b/short.txt", sj("processing\nrelations\nrunning\n東京\n"));
        corpus_->write("data/b/empty.txt", "");
        corpus_->write("data/b/tiny.txt", "ab");
        corpus_->write("data/b/noend.txt", sj("最後の行 running relations"));
    }
    static void TearDownTestSuite() { corpus_.reset(); }

    static std::string data() { return corpus_->path("data"); }
    std::string ixDir() const { return ix_.path("ix"); }
    // qf -r with the arguments, with or without the index.
    QfResult run(std::vector<std::string> args, bool useIndex) const {
        args.insert(args.begin(), {"-r", "--set", "ixfDir=" + ixDir()});
        if (useIndex) args.insert(args.begin(), "--index");
        return search(args);
    }

    struct Query {
        std::vector<std::string> args;  // options, then the search string (UTF-8)
        bool hits = true;               // the corpus holds it
    };
    // Runs each query over the data without the index, then with it, and
    // compares the bytes: the first query builds the index, the others reuse it.
    void expectSameWithIndex(const std::vector<Query>& queries) const {
        for (const Query& q : queries) {
            std::vector<std::string> args = q.args;
            args.push_back(data());
            const QfResult plain = run(args, false);
            const QfResult indexed = run(args, true);
            const std::string name = q.args.back();
            EXPECT_EQ(plain.exitCode, q.hits ? 0 : 1) << name << plain.err;
            EXPECT_EQ(indexed.exitCode, plain.exitCode) << name;
            EXPECT_TRUE(indexed.out == plain.out) << name;
            EXPECT_EQ(indexed.err, plain.err) << name;
        }
    }

    static inline std::unique_ptr<TempDir> corpus_;
    TempDir ix_;
};

TEST_F(IndexEquivalence, SearchesFindTheSameWithAndWithoutTheIndex) {
    // Stemming turns "processing" into "process" in blocks; voiced kana are
    // not decomposed; "ab" is too short for the index.
    std::vector<Query> queries;
    for (const char* s :
         {"processi", "runni", "ations", "elation", "processing", "RELATIONS", "東京", "京都",
          "文字列", "索引 データ", "ｒｕｎｎｉ", "ＰＲＯＣ", "ing", "ab", "2024年", "最後の行"})
        queries.push_back({{s}});
    for (const char* s :
         {"proc(ess|edure)", "run+ing", "[a-z]+ations", "processi|zzzz", "東京都?", "検.",
          "^process", "relations$", "Ｐ[Ａ-Ｚ]+", "データ.*索引", "[^a-z]nation"})
        queries.push_back({{"--type=regex", s}});
    // An option and a string, split at the first blank.
    auto withOption = [&queries](std::string q, bool hits) {
        queries.push_back({{q.substr(0, q.find(' ')), q.substr(q.find(' ') + 1)}, hits});
    };
    for (const char* q : {"--match-case Processing", "-w PROC", "-w ﾌﾟﾛｸﾞﾗﾑ", "--words run",
                          "--words runs", "--stem relation", "--stem 東京　都", "-c station"})
        withOption(q, true);
    for (const char* q : {"--match-case PROCESSING", "-w プログラム", "-r zyxwvu"})
        withOption(q, false);
    expectSameWithIndex(queries);
}

TEST_F(IndexEquivalence, AnotherRecordSeparatorDoesNotReadOldBlocks) {
    EXPECT_EQ(run({"ネットワーク", data()}, true).exitCode, 1);  // builds the index
    const std::vector<std::string> args = {"--set", "recSeparEsc=[。!?]", "ations", data()};
    const QfResult plain = run(args, false);
    EXPECT_EQ(plain.exitCode, 0);
    for (int i = 0; i < 2; ++i) EXPECT_TRUE(run(args, true).out == plain.out) << i;
    EXPECT_TRUE(run({"ations", data()}, true).out == run({"ations", data()}, false).out);
}

// Occurrences of an Shift-JIS fragment in a run's output.
size_t countOf(const std::string& text, const std::string& fragment) {
    size_t n = 0;
    for (size_t at = text.find(fragment); at != std::string::npos; at = text.find(fragment, at + 1))
        ++n;
    return n;
}

// Offsets past 2^31: hits after that point are found once, on the right
// line; the index refuses the file with one message and reads it whole, and
// no later run calls anything broken. Slow: each run reads a sparse 2 GiB file.
TEST_F(IndexEquivalence, FilesBeyondTwoGibibytesAreSearchedToTheirEnd) {
    TempDir corpus;
    const std::string path = corpus.write("d/big.txt", "first needle\nsecond\n");
    {
        std::ofstream out(path, std::ios::binary | std::ios::in);
        out.seekp((int64_t(1) << 31) + 100);
        out << "\nlate needle\nlast\n";
    }
    for (const char* pass : {"built", "reused"}) {
        const QfResult r = run({"needle", corpus.path("d")}, true);
        EXPECT_EQ(countOf(r.out, "big.txt(4): "), 1u) << pass << r.out;
        EXPECT_EQ(countOf(r.out, hit("needle")), 2u) << pass;
        EXPECT_EQ(countOf(r.out, sj("索引に収まらない")), 1u) << pass;
        EXPECT_EQ(countOf(r.out, sj("壊れ")), 0u) << pass;
    }
}

}  // namespace

// Searching with the index must give exactly the bytes the same search gives
// without it, on the run that builds the index and on the runs that reuse
// it. The corpus mixes Shift-JIS and ASCII, CR LF and LF, short lines and
// records longer than a block or the record limit, English words whose
// endings stemming removes, and full-width and half-width forms.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>

#include "common/temp_dir.h"
#include "e2e/search_fixture.h"

using namespace e2e;
namespace fs = std::filesystem;

namespace {

// UTF-8 words of the generated texts.
const char* const kWords[] = {
    "processing",
    "processed",
    "process",
    "Processing",
    "relations",
    "relational",
    "RELATIONS",
    "running",
    "runner",
    "runs",
    "station",
    "nation",
    "co-operation",
    "x-ray",
    "abc",
    "2024年",
    "123",
    "東京",
    "東京都",
    "大阪",
    "京都",
    "検索",
    "索引",
    "文字列",
    "データ",
    "ＰＲＯＣＥＳＳＩＮＧ",
    "ｒｕｎｎｉｎｇ",
    "Ｒｅｌａｔｉｏｎｓ",
    "ﾌﾟﾛｸﾞﾗﾑ",
    "ｶﾀｶﾅ",
    "、",
    "。",
    "　",
    "（注）",
    "!?",
    "\t",
};

// A small deterministic generator, the same on every platform.
class Lcg {
public:
    explicit Lcg(uint32_t seed) : state_(seed) {}
    uint32_t next(uint32_t bound) {
        state_ = state_ * 1664525u + 1013904223u;
        return (state_ >> 8) % bound;
    }

private:
    uint32_t state_;
};

// Text of lines lines; most are short, some run past a block (300 bytes)
// and a few past the record limit (10000 bytes).
std::string corpusText(uint32_t seed, int lines, const char* lineEnd, bool mixedEnds) {
    Lcg rng(seed);
    std::string text;
    for (int i = 0; i < lines; ++i) {
        uint32_t kind = rng.next(100);
        int words = kind < 2    ? 1500 + int(rng.next(500))
                    : kind < 12 ? 60 + int(rng.next(80))
                                : 1 + int(rng.next(10));
        for (int w = 0; w < words; ++w) {
            if (w > 0 && rng.next(3) != 0) text += ' ';
            text += kWords[rng.next(std::size(kWords))];
        }
        text += mixedEnds && rng.next(2) ? "\r\n" : lineEnd;
        if (rng.next(10) == 0) text += lineEnd;  // an empty line now and then
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

    static std::string data(std::string_view sub = "") {
        return corpus_->path("data" + std::string(sub));
    }
    std::string ixDir() const { return ix_.path("ix"); }
    // qf -r with the arguments, with or without the index.
    QfResult run(std::vector<std::string> args, bool useIndex) const {
        args.insert(args.begin(), {"-r", "--set", "ixfDir=" + ixDir()});
        if (useIndex) args.insert(args.begin(), "--index");
        return search(args);
    }
    // The index files under the index folder with their modification times.
    std::map<std::string, fs::file_time_type> indexFiles() const {
        std::map<std::string, fs::file_time_type> files;
        if (!fs::exists(ixDir())) return files;
        for (const auto& e : fs::recursive_directory_iterator(ixDir()))
            if (e.path().extension() == ".qfd") files[e.path().string()] = e.last_write_time();
        return files;
    }

    static inline std::unique_ptr<TempDir> corpus_;
    TempDir ix_;
};

struct Query {
    std::vector<std::string> args;  // options, then the search string (UTF-8)
    bool hits = true;               // the corpus holds it
};

// Runs each query without the index, then twice with it (building, then
// reusing it), and compares the bytes.
void expectSameWithIndex(const std::vector<Query>& queries,
                         const std::function<QfResult(std::vector<std::string>, bool)>& run) {
    for (const Query& q : queries) {
        std::string name;
        for (const std::string& a : q.args) name += a + " ";
        const QfResult plain = run(q.args, false);
        const QfResult built = run(q.args, true);
        const QfResult reused = run(q.args, true);
        EXPECT_EQ(plain.exitCode, q.hits ? 0 : 1) << name << plain.err;
        EXPECT_EQ(built.exitCode, plain.exitCode) << name;
        EXPECT_TRUE(built.out == plain.out) << "index built: " << name;
        EXPECT_TRUE(reused.out == plain.out) << "index reused: " << name;
        EXPECT_EQ(built.err, plain.err) << name;
    }
}

TEST_F(IndexEquivalence, NormalSearchesFindTheSameWithAndWithoutTheIndex) {
    const std::vector<Query> queries = {
        {{"processi"}},  // stemming turns "processing" into "process" in blocks
        {{"runni"}},
        {{"ations"}},
        {{"elation"}},
        {{"processing"}},
        {{"RELATIONS"}},
        {{"--match-case", "Processing"}},
        {{"--match-case", "PROCESSING"}, false},
        {{"東京"}},
        {{"京都"}},
        {{"文字列"}},
        {{"索引 データ"}},
        {{"ｒｕｎｎｉ"}},  // full-width letters
        {{"ＰＲＯＣ"}},
        {{"-w", "PROC"}},
        {{"-w", "ﾌﾟﾛｸﾞﾗﾑ"}},
        {{"-w", "プログラム"}, false},  // voiced kana are not decomposed
        {{"ing"}},
        {{"ab"}},  // too short for the index
        {{"2024年"}},
        {{"--words", "run"}},  // after a kanji
        {{"--words", "runs"}},
        {{"--stem", "relation"}},
        {{"--stem", "東京　都"}},
        {{"-c", "station"}},
        {{"最後の行"}},
        {{"zyxwvu"}, false},
    };
    expectSameWithIndex(queries, [this](std::vector<std::string> a, bool ix) {
        a.push_back(data());
        return run(a, ix);
    });
}

TEST_F(IndexEquivalence, RegularExpressionsFindTheSameWithAndWithoutTheIndex) {
    const std::vector<Query> queries = {
        {{"proc(ess|edure)"}}, {{"run+ing"}},   {{"[a-z]+ations"}}, {{"processi|zzzz"}},
        {{"東京|大阪"}},       {{"東京都?"}},   {{"検."}},          {{"^process"}},
        {{"relations$"}},      {{"[0-9]+年"}},  {{"Ｐ[Ａ-Ｚ]+"}},   {{"runni"}},
        {{"x-ray|co-op"}},     {{"(ing|ed) "}}, {{"データ.*索引"}}, {{"[^a-z]nation"}},
    };
    expectSameWithIndex(queries, [this](std::vector<std::string> a, bool ix) {
        a.insert(a.begin(), "--type=regex");
        a.push_back(data());
        return run(a, ix);
    });
}

TEST_F(IndexEquivalence, TwoFoldersAndASeparatorOfSentences) {
    const std::vector<Query> queries = {{{"processi"}}, {{"東京"}}, {{"ations"}}};
    expectSameWithIndex(queries, [this](std::vector<std::string> a, bool ix) {
        a.insert(a.begin(), {"--set", "recSeparEsc=[。\\n]"});
        a.push_back(data("/b"));
        a.push_back(data("/a"));
        return run(a, ix);
    });
}

TEST_F(IndexEquivalence, AnotherRecordSeparatorDoesNotReadOldBlocks) {
    EXPECT_EQ(run({"ネットワーク", data()}, true).exitCode, 1);  // builds the index
    const std::vector<std::string> args = {"--set", "recSeparEsc=[。!?]", "ations", data()};
    const QfResult plain = run(args, false);
    EXPECT_EQ(plain.exitCode, 0);
    EXPECT_TRUE(run(args, true).out == plain.out);
    EXPECT_TRUE(run(args, true).out == plain.out);
    EXPECT_TRUE(run({"ations", data()}, true).out == run({"ations", data()}, false).out);
}

TEST_F(IndexEquivalence, IndexFilesAreMadeOnceAndRebuiltForChangedFiles) {
    TempDir corpus;
    corpus.write("d/a.txt", sj("東京タワー\nprocessing\n"));
    corpus.write("d/sub/b.txt", sj("大阪城\n"));
    auto runIn = [&](const char* what) { return run({what, corpus.path("d")}, true); };
    EXPECT_EQ(runIn("東京").exitCode, 0);
    EXPECT_TRUE(fs::exists(ixDir() + "/.quillfind-index"));
    const auto first = indexFiles();
    ASSERT_EQ(first.size(), 2u);
    for (const auto& [path, time] : first)
        EXPECT_NE(path.find(corpus.path("d")), std::string::npos) << path;

    EXPECT_EQ(runIn("大阪").exitCode, 0);
    EXPECT_EQ(indexFiles(), first) << "nothing changed, nothing is rewritten";

    corpus.write("d/sub/b.txt", sj("大阪城\n名古屋城\n"));
    QfResult r = runIn("名古屋");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.out.find(hit(sj("名古屋"))), std::string::npos);
    const auto second = indexFiles();
    for (const auto& [path, time] : second) {
        const bool sub = path.find("/sub.qfd") != std::string::npos;
        EXPECT_EQ(time != first.at(path), sub) << path;
    }
}

}  // namespace

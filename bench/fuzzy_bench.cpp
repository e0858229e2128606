// Fuzzy matching over generated Japanese lines: throughput of the record test
// and the hit collection, and how many windows the gram signature lets
// through to the alignment (aligned_fraction = windows aligned / windows),
// after the texts sharing too few characters with the string were rejected
// (rejected_fraction = texts rejected / texts).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "base/lstr.h"
#include "base/lwstr.h"
#include "japanese_text.h"
#include "search/fuzzy_match.h"
#include "text/encoding.h"
#include "text/sjis.h"

namespace {

constexpr size_t kTextUnits = 512 * 1024;  // about 1 MB of Shift-JIS

struct Corpus {
    LStr text;
    std::vector<std::string_view> records;
};

const Corpus& corpus() {
    static const Corpus c = [] {
        Corpus out;
        wideToMb(generateJapanese(kTextUnits, 4711), out.text, kCodePageAnsi);
        std::string_view rest = out.text.view();
        while (!rest.empty()) {
            const size_t end = std::min(rest.find('\n'), rest.size() - 1) + 1;
            out.records.push_back(rest.substr(0, end));
            rest.remove_prefix(end);
        }
        return out;
    }();
    return c;
}

// Ten characters from the middle of a line, one of them replaced: a string
// the corpus holds with one difference.
LStr mutatedKey() {
    const std::string_view line = corpus().records[corpus().records.size() / 2];
    size_t pos = 0;
    for (int i = 0; i < 10; ++i) pos += charLength(line, pos);
    const size_t third =
        pos + charLength(line, pos) + charLength(line, pos + charLength(line, pos));
    size_t end = pos;
    for (int i = 0; i < 10; ++i) end += charLength(line, end);
    LStr key(line.substr(pos, third - pos));
    key.append("\x82\x9F");  // the third character becomes ぁ
    key.append(line.substr(third + charLength(line, third), end - third - charLength(line, third)));
    return key;
}

FuzzyOptions optionsFor(int minRate) {
    FuzzyOptions o;
    o.minRate = minRate;
    o.tolBits = (100 - minRate) * 10 / 100 + 2;  // as compiled for ten characters
    return o;
}

void reportStats(benchmark::State& state, const FuzzyMatcher& matcher, int64_t hits) {
    const FuzzyStats& s = matcher.stats();
    const double windows = double(std::max<int64_t>(s.windows, 1));
    state.counters["aligned_fraction"] = double(s.passed) / windows;
    state.counters["alignments_per_window"] = double(s.alignments) / windows;
    state.counters["rejected_fraction"] =
        double(s.rejected) / double(std::max<int64_t>(s.texts, 1));
    state.counters["hits"] = double(hits) / double(std::max<int64_t>(state.iterations(), 1));
    state.SetBytesProcessed(int64_t(state.iterations()) * corpus().text.length());
}

// The record test and, for records that pass it, the collection: what a
// run does per record.
void BM_FuzzyRun(benchmark::State& state) {
    FuzzyMatcher matcher(mutatedKey().view(), optionsFor(int(state.range(0))));
    int64_t hits = 0;
    for (auto _ : state) {
        HitList found;
        for (std::string_view record : corpus().records)
            if (matcher.matches(record)) matcher.collect(record, found);
        hits += int64_t(found.size());
        benchmark::DoNotOptimize(found.data());
    }
    reportStats(state, matcher, hits);
}
BENCHMARK(BM_FuzzyRun)->Arg(75)->Arg(60)->Unit(benchmark::kMillisecond);

// A string the corpus does not resemble: almost every window should end at
// the signature.
void BM_FuzzyRunAbsent(benchmark::State& state) {
    LStr key;
    wideToMb(u"ＸＹＺｑｕｉｌｌ検索ＷＶ", key, kCodePageAnsi);
    FuzzyMatcher matcher(key.view(), optionsFor(int(state.range(0))));
    int64_t hits = 0;
    for (auto _ : state) {
        for (std::string_view record : corpus().records) hits += matcher.matches(record);
    }
    reportStats(state, matcher, hits);
}
BENCHMARK(BM_FuzzyRunAbsent)->Arg(75)->Arg(60)->Unit(benchmark::kMillisecond);

// The Shift-JIS files under QF_FUZZY_CORPUS (a folder, read recursively),
// cut into lines; empty when the variable is not set.
const Corpus& fileCorpus() {
    static const Corpus c = [] {
        Corpus out;
        const char* root = std::getenv("QF_FUZZY_CORPUS");
        if (!root) return out;
        std::vector<std::filesystem::path> files;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
            if (entry.is_regular_file()) files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        for (const auto& file : files) {
            std::ifstream in(file, std::ios::binary);
            const std::string bytes((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
            out.text.append(bytes);
        }
        std::string_view rest = out.text.view();
        while (!rest.empty()) {
            const size_t end = std::min(rest.find('\n'), rest.size() - 1) + 1;
            out.records.push_back(rest.substr(0, end));
            rest.remove_prefix(end);
        }
        return out;
    }();
    return c;
}

// A word of the benchmark corpus with one changed character (UTF-8 in
// QF_FUZZY_WORD, default ファイルジステム), searched line by line over the
// files of QF_FUZZY_CORPUS. Skipped without the corpus.
void BM_FuzzyCorpus(benchmark::State& state) {
    const Corpus& c = fileCorpus();
    if (c.records.empty()) {
        state.SkipWithError("QF_FUZZY_CORPUS is not set");
        return;
    }
    const char* word = std::getenv("QF_FUZZY_WORD");
    LWStr wide;
    mbToWide(word ? word : "ファイルジステム", wide, kCodePageUtf8);
    LStr key;
    wideToMb(wide.view(), key, kCodePageAnsi);
    const int32_t minRate = int32_t(state.range(0));
    FuzzyOptions options;
    options.minRate = minRate;
    // As compiled for a string of this many characters.
    options.tolBits = (100 - minRate) * int32_t(wide.length()) / 100 + 2;
    FuzzyMatcher matcher(key.view(), options);
    int64_t hits = 0;
    for (auto _ : state) {
        for (std::string_view record : c.records) hits += matcher.matches(record);
    }
    reportStats(state, matcher, hits);
    const FuzzyStats& s = matcher.stats();
    state.counters["windows_per_record"] = double(s.windows) / double(c.records.size()) /
                                           double(std::max<int64_t>(state.iterations(), 1));
    state.SetBytesProcessed(int64_t(state.iterations()) * c.text.length());
}
BENCHMARK(BM_FuzzyCorpus)->Arg(75)->Arg(60)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

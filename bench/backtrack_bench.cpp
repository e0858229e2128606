// Patterns that backtrack exponentially without the failure memo, searched
// once in a line of 30, 1,000 and 10,000 characters that holds no match;
// each search should take well under half a second. A few ordinary regular
// expressions on the same lines show what the memo costs where it is idle.
#include <benchmark/benchmark.h>

#include <string>

#include "pattern/searcher.h"

namespace {

void searchLine(benchmark::State& state, const char* pattern, char fill) {
    const std::string line(size_t(state.range(0)), fill);
    LRexSearcher s(pattern);
    for (auto _ : state) benchmark::DoNotOptimize(s.search(line));
}

#define QF_BACKTRACK_BENCH(name, pattern, fill) \
    void name(benchmark::State& state) {        \
        searchLine(state, pattern, fill);       \
    }                                           \
    BENCHMARK(name)->Arg(30)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)

QF_BACKTRACK_BENCH(BM_AltStar, "(a|aa)*c", 'a');
QF_BACKTRACK_BENCH(BM_LazyAltStar, "(a|aa)*?c", 'a');
QF_BACKTRACK_BENCH(BM_StarStar, "(a*)*b", 'a');
QF_BACKTRACK_BENCH(BM_PlusPlusPlus, "(x+x+)+y", 'x');
QF_BACKTRACK_BENCH(BM_OverlappingAlt, "(?:a|ab|b)*c", 'a');
QF_BACKTRACK_BENCH(BM_AnchoredNested, "^(a+)+$d", 'a');
QF_BACKTRACK_BENCH(BM_PlainClassRun, "[a-z]+c", 'a');
QF_BACKTRACK_BENCH(BM_GroupRun, "(ab|a)+c", 'a');

}  // namespace

BENCHMARK_MAIN();

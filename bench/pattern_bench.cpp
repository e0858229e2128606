// Throughput of the pattern engine on 64 MB of generated Shift-JIS text:
// a literal, a case-insensitive literal, a class with repetition, an
// alternation of five words, and record cutting at line ends.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "pattern/first_bytes.h"
#include "pattern/next_match.h"
#include "pattern/parser.h"
#include "pattern/record_reader.h"
#include "pattern/searcher.h"
#include "text/memory_stream.h"

namespace {

// Japanese words (Shift-JIS) and ASCII words, joined into CR LF lines.
const std::string& corpus() {
    static const std::string text = [] {
        const char* words[] = {
            "\x93\x8C\x8B\x9E",                  // 東京
            "\x91\xE5\x8D\xE3",                  // 大阪
            "\x8C\x9F\x8D\xF5",                  // 検索
            "\x95\xB6\x8E\x9A\x97\xF1",          // 文字列
            "\x82\xB1\x82\xEA\x82\xCD",          // これは
            "\x82\xC5\x82\xB7\x81\x42",          // です。
            "\x83\x65\x83\x4C\x83\x58\x83\x67",  // テキスト
            "\x83\x5C\x83\x74\x83\x67",          // ソフト
            "index",
            "Search",
            "record",
            "2024",
            "pattern",
            "the",
            "of",
        };
        constexpr size_t kSize = size_t(64) << 20;
        std::mt19937 rng(12345);
        std::uniform_int_distribution<size_t> pick(0, std::size(words) - 1);
        std::string s;
        s.reserve(kSize + 64);
        int column = 0;
        while (s.size() < kSize) {
            s += words[pick(rng)];
            if (++column % 12 == 0) {
                s += "\r\n";
            } else if (rng() % 3 == 0) {
                s += ' ';
            }
        }
        s += "Quillfind\r\n";
        return s;
    }();
    return text;
}

void countAll(benchmark::State& state, const char* pattern, uint32_t flags) {
    const std::string& text = corpus();
    LRexSearcher s(pattern, flags);
    int64_t found = 0;
    for (auto _ : state) {
        found = 0;
        int32_t pos = 0;
        for (;;) {
            int32_t at = s.search(text, {.from = pos});
            if (at < 0) break;
            ++found;
            pos = nextSearchStart(text, at, s.matchLen());
        }
        benchmark::DoNotOptimize(found);
    }
    state.counters["matches"] = double(found);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}

void BM_Literal(benchmark::State& state) {
    countAll(state, "Quillfind", 0);
}
void BM_LiteralJapanese(benchmark::State& state) {
    countAll(state, "\x95\xB6\x8E\x9A\x97\xF1\x83\x5C", 0);  // 文字列ソ
}
void BM_LiteralIgnoreCase(benchmark::State& state) {
    countAll(state, "quillfind", RexIgnoreCase);
}
void BM_ClassRepetition(benchmark::State& state) {
    countAll(state, "[0-9]+ind", 0);
}
void BM_FiveWordAlternation(benchmark::State& state) {
    countAll(state, "Quillfind|zebra|\x91\xE5\x8D\xE3\x83\x5C|elephant|xylophone", 0);
}

void BM_RecordCutting(benchmark::State& state) {
    const std::string& text = corpus();
    LRexPtr separator = compileRex("\\n");
    LRexStartTable table = buildStartByteTable(*separator, 0);
    int64_t records = 0;
    for (auto _ : state) {
        LMemSrm stream(text);
        LStr record;
        records = 0;
        for (;;) {
            record.truncate(0);
            int32_t n = readUntilRex(stream, separator.get(), 100, &table, record, 10000);
            if (n == 0 && record.empty()) break;
            ++records;
        }
        benchmark::DoNotOptimize(records);
    }
    state.counters["records"] = double(records);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}

BENCHMARK(BM_Literal)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LiteralJapanese)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LiteralIgnoreCase)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClassRepetition)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FiveWordAlternation)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecordCutting)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

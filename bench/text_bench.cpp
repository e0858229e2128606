// Throughput of the text layer on generated Japanese text: UTF-8 to Shift-JIS
// and back through UTF-16, and gram signatures of record blocks.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "index/gram_signature.h"
#include "japanese_text.h"
#include "base/lstr.h"
#include "base/lwstr.h"
#include "text/encoding.h"

namespace {

constexpr size_t kTextUnits = 2 * 1024 * 1024;  // about 4 MB of Shift-JIS
constexpr size_t kBlockBytes = 256;             // a record block of the index

// Kana, common kanji, ASCII words and punctuation in proportions like those
// of ordinary Japanese prose, with a line end every 40 to 80 characters.

const std::u16string& sampleWide() {
    static const std::u16string text = generateJapanese(kTextUnits, 12345);
    return text;
}

const LStr& sampleShiftJis() {
    static const LStr text = [] {
        LStr out;
        wideToMb(sampleWide(), out, kCodePageAnsi);
        return out;
    }();
    return text;
}

const LStr& sampleUtf8() {
    static const LStr text = [] {
        LStr out;
        wideToMb(sampleWide(), out, kCodePageUtf8);
        return out;
    }();
    return text;
}

void BM_Utf8ToShiftJis(benchmark::State& state) {
    const LStr& in = sampleUtf8();
    for (auto _ : state) {
        LWStr wide;
        mbToWide(in.view(), wide, kCodePageUtf8);
        LStr out;
        wideToMb(wide.view(), out, kCodePageAnsi);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * in.length());
}
BENCHMARK(BM_Utf8ToShiftJis)->Unit(benchmark::kMillisecond);

void BM_ShiftJisToUtf8(benchmark::State& state) {
    const LStr& in = sampleShiftJis();
    for (auto _ : state) {
        LWStr wide;
        mbToWide(in.view(), wide, kCodePageAnsi);
        LStr out;
        wideToMb(wide.view(), out, kCodePageUtf8);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * in.length());
}
BENCHMARK(BM_ShiftJisToUtf8)->Unit(benchmark::kMillisecond);

void BM_BlockSignatures(benchmark::State& state) {
    std::string_view text = sampleShiftJis().view();
    for (auto _ : state) {
        for (size_t pos = 0; pos + kBlockBytes <= text.size(); pos += kBlockBytes) {
            GramSignature sig = signatureOf(text.substr(pos, kBlockBytes));
            benchmark::DoNotOptimize(sig);
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
BENCHMARK(BM_BlockSignatures)->Unit(benchmark::kMillisecond);

void BM_SignatureTest(benchmark::State& state) {
    std::string_view text = sampleShiftJis().view();
    std::vector<GramSignature> blocks;
    for (size_t pos = 0; pos + kBlockBytes <= text.size(); pos += kBlockBytes)
        blocks.push_back(signatureOf(text.substr(pos, kBlockBytes)).complemented());
    GramSignature search = signatureOf(text.substr(1000, 12));
    int tolerance = int(state.range(0));
    for (auto _ : state) {
        int passed = 0;
        for (const GramSignature& block : blocks) passed += signatureTest(block, search, tolerance);
        benchmark::DoNotOptimize(passed);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(blocks.size()));
}
BENCHMARK(BM_SignatureTest)->Arg(0)->Arg(2);

}  // namespace

BENCHMARK_MAIN();

// Building an entry: how records are gathered into blocks, where blocks
// begin, and what their signatures hold.
#include "index/create_index.h"

#include <gtest/gtest.h>

#include <array>

#include "common/temp_dir.h"
#include "index/ix_cache.h"
#include "ix_test_support.h"
#include "support/stop_flag.h"
#include "text/regularize.h"

namespace {

using namespace ixtest;

using Span = std::array<int32_t, 3>;  // a block's pos, len and line

// Lines of the given lengths, each counting its line end.
std::string linesOf(std::initializer_list<int> lengths, std::string_view end = "\n") {
    std::string text;
    for (int n : lengths) text += std::string(n - end.size(), 'k') + std::string(end);
    return text;
}

class CreateIndex : public ::testing::Test {
protected:
    TIxEntry build(const std::string& text, const char* separator = "[\\n]", int result = 0) {
        path = tmp.write("f.txt", text);
        TIxEntry entry;
        EXPECT_EQ(createIndex(entry, path, LineSeparator(separator).get()), result);
        return entry;
    }
    std::vector<Span> spans(const std::string& text, const char* separator = "[\\n]") {
        std::vector<Span> out;
        for (const TIxBlock& b : build(text, separator).blocks.all())
            out.push_back({b.pos, b.len, b.line});
        return out;
    }
    TempDir tmp;
    std::string path;
};

TEST_F(CreateIndex, GathersWholeRecordsUpTo200And300Bytes) {
    // A block fills to 300 exactly; one byte past 300 starts a new block, even
    // when the first is short; a block holding more than 200 is closed (exactly
    // 200 still takes more); a long first record forms a block of its own.
    const std::pair<std::string, std::vector<Span>> cases[] = {
        {linesOf({150, 150, 150}), {{0, 300, 1}, {300, 150, 3}}},
        {linesOf({100, 200}), {{0, 300, 1}}},
        {linesOf({100, 201}), {{0, 100, 1}, {100, 201, 2}}},
        {linesOf({200, 50, 60}), {{0, 250, 1}, {250, 60, 3}}},
        {linesOf({201, 50}), {{0, 201, 1}, {201, 50, 2}}},
        {linesOf({400, 10}), {{0, 400, 1}, {400, 10, 2}}},
        {std::string(1000, 'a'), {{0, 1000, 1}}},
        {"", {{0, 0, 1}}}};
    for (const auto& [text, blocks] : cases) EXPECT_EQ(spans(text), blocks) << text.size();
    // Records end after their whole separator; CR LF counts one line.
    EXPECT_EQ(spans(linesOf({150, 150, 150}, "\r\n"), "\\n"),
              (std::vector<Span>{{0, 300, 1}, {300, 150, 3}}));
}

TEST_F(CreateIndex, SignatureIsOfTheRegularisedTextComplemented) {
    const std::pair<std::string, std::string> cases[] = {
        {"a-b c!\n", "abc"},                         // symbols and blanks vanish
        {"\x8A\xBF\x8E\x9A\n", "\x8A\xBF\x8E\x9A"},  // two kanji: one four-byte gram
        {"\x81\x40xyz\x81\x41\n", "xyz"},            // full-width blank and comma dropped
    };
    for (const auto& [text, regularised] : cases) {
        TIxEntry entry = build(text);
        ASSERT_EQ(entry.blocks.size(), 1) << text;
        EXPECT_EQ(entry.blocks.all()[0].sig, signatureOf(regularised).complemented()) << text;
    }
    // An empty file's one block may hold anything.
    EXPECT_EQ(build("").blocks.all().at(0).sig.count(), kSignatureBits);
}

// Blocks cut by the line separator come out the same whether its runs are
// measured directly or matched by the pattern, and every block's signature
// and wide row bits are those of its own regular text.
TEST_F(CreateIndex, LineRecordsGiveTheSameBlocksAndBitsOfTheirText) {
    std::string text;
    for (int i = 0; i < 400; ++i) {
        text += std::string(size_t(i * 37 % 290), char('a' + i % 26));
        text += i % 5 ? "\x8A\xBF\x82\xA0\x83\x41 Word" : "\x81\x40\x82\x60";
        text += std::string(size_t(1 + i % 3), i % 2 ? '\n' : '\r');
        if (i % 97 == 0) text += std::string(130, '\n');
    }
    const LineSeparator lines("[\\x0A\\x0D]+");
    IxRecordSeparator direct = lines.get();
    direct.lineRuns = true;
    path = tmp.write("f.txt", text);
    TIxEntry byPattern, byRuns;
    ASSERT_EQ(createIndex(byPattern, path, lines.get()), 0);
    ASSERT_EQ(createIndex(byRuns, path, direct), 0);
    const std::vector<TIxBlock> blocks = byRuns.blocks.all(), expected = byPattern.blocks.all();
    ASSERT_EQ(blocks.size(), expected.size());
    ASSERT_TRUE(byRuns.wide.present());
    for (size_t i = 0; i < blocks.size(); ++i) {
        const TIxBlock& b = blocks[i];
        EXPECT_EQ(Span({b.pos, b.len, b.line}),
                  Span({expected[i].pos, expected[i].len, expected[i].line}))
            << i;
        LStr regular;
        regularize(std::string_view(text).substr(size_t(b.pos), size_t(b.len)), kIndexFolding,
                   regular);
        const GramSignature sig = signatureOf(regular.view());
        EXPECT_EQ(b.sig, sig.complemented()) << i;
        EXPECT_EQ(expected[i].sig, b.sig) << i;
        for (int r = 0; r < kWideBits; ++r) {
            const bool set = byRuns.wide.row(r)[i / 64] >> (i % 64) & 1;
            ASSERT_EQ(set, bool(sig.wide.words[size_t(r / 64)] >> (r % 64) & 1))
                << "block " << i << " row " << r;
        }
    }
}

TEST_F(CreateIndex, MissingFileOrStopFlagFailsTheBuild) {
    TIxEntry entry;
    EXPECT_NE(createIndex(entry, tmp.path("none.txt"), LineSeparator().get()), 0);
    stopFlag().store(1);
    entry = build(linesOf({100, 100, 100}), "[\\n]", 1);
    stopFlag().store(0);
    EXPECT_TRUE(entry.blocks.empty());
}

}  // namespace

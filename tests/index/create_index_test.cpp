// Building an entry: how records are gathered into blocks, where blocks
// begin, and what their signatures hold.
#include "index/create_index.h"

#include <gtest/gtest.h>

#include <array>

#include "common/temp_dir.h"
#include "index/ix_cache.h"
#include "ix_test_support.h"
#include "support/stop_flag.h"

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

TEST_F(CreateIndex, MissingFileOrStopFlagFailsTheBuild) {
    TIxEntry entry;
    EXPECT_NE(createIndex(entry, tmp.path("none.txt"), LineSeparator().get()), 0);
    stopFlag().store(1);
    entry = build(linesOf({100, 100, 100}), "[\\n]", 1);
    stopFlag().store(0);
    EXPECT_TRUE(entry.blocks.empty());
}

}  // namespace

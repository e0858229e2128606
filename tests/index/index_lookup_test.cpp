// The index lookup: entries are reused while their file keeps its size and
// write time, rebuilt otherwise, and a cache moving to another folder's
// index file writes the one it held.
#include "index/index_lookup.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>

#include "common/temp_dir.h"
#include "index/index_marker.h"
#include "index/ix_cache.h"
#include "index/ix_file.h"
#include "index/ix_paths.h"
#include "ix_test_support.h"
#include "support/path_utils.h"

namespace {

using namespace ixtest;

class IndexLookup : public ::testing::Test {
protected:
    TIxEntry* lookup(const std::string& source) {
        return ixLookup(*cache, source, separator.get());
    }
    TempDir tmp;
    std::string ix = tmp.path("ix/");
    LineSeparator separator;
    std::optional<TIxCache> cache{std::in_place, ix};
};

TEST_F(IndexLookup, ReusesAnEntryWhileSizeAndTimeStay) {
    std::string path = tmp.write("src/a.txt", "alpha beta\n");
    setWriteTime(path, 1600000000, 123456700);
    ASSERT_NE(lookup(path), nullptr);
    EXPECT_EQ(cache->find("a.txt")->lastWrite % 10000000, 1234567u);  // to the 100 ns unit
    const std::tuple<std::string, int64_t, bool> steps[] = {
        {"gamma delt\n", 1600000000, true},   // same size, other time
        {"delta gamm\n", 1600000000, false},  // other text, same size and time
        {"delta gamm\n", 1600000001, true},
        {"gamma delta\n", 1600000001, true},
    };
    for (const auto& [text, seconds, rebuilt] : steps) {
        const GramSignature before = cache->find("a.txt")->blocks.all().at(0).sig;
        tmp.write("src/a.txt", text);
        setWriteTime(path, seconds);
        cache->dirty = false;
        TIxEntry* entry = lookup(path);
        ASSERT_NE(entry, nullptr) << text;
        EXPECT_EQ(entry->blocks.all().at(0).sig != before, rebuilt) << text << seconds;
        EXPECT_EQ(cache->dirty, rebuilt) << text << seconds;
        EXPECT_EQ(entry->size, text.size());
        EXPECT_EQ(entry->lastWrite, fileWriteTime(path));
    }
}

TEST_F(IndexLookup, MovingToAnotherFolderWritesTheFirstIndexFile) {
    std::string a = tmp.write("one/a.txt", "first folder\n");
    std::string a2 = tmp.write("one/b.txt", "same folder\n");
    std::string b = tmp.write("two/c.txt", "second folder\n");
    auto indexFileOf = [&](const std::string& source) {
        return std::string(ixIndexFileOf(ix, source).view());
    };
    ASSERT_TRUE(lookup(a) && lookup(a2));
    EXPECT_FALSE(std::filesystem::exists(indexFileOf(a)));
    ASSERT_TRUE(lookup(b) && std::filesystem::exists(indexFileOf(a)));
    EXPECT_EQ(cache->count(), 1);
    cache.reset();  // the second one is written when the cache goes
    for (const std::string& source : {a, a2, b}) {
        TIxCache check;
        loadIndexFile(check, source, indexFileOf(source));
        EXPECT_NE(check.find(std::string(namePart(source).view())), nullptr) << source;
        EXPECT_EQ(check.dir, std::string(dirPart(source, false).view()));
    }
    EXPECT_TRUE(hasIndexMarker(ix));
}

// A file of more blocks than memory keeps: they spill to a nameless file
// while built, come back in order, and reach the index file whole.
TEST_F(IndexLookup, LongFilesSpillTheirBlocksAndWriteThemWhole) {
    const int lines = int(IxBlockList::kMemoryBlocks) * 2 + 100;
    std::string text;
    for (int i = 0; i < lines; ++i) text += std::to_string(i) + std::string(300, 'x') + "\n";
    const std::string path = tmp.write("src/long.txt", text);
    TIxEntry expected;
    ASSERT_EQ(createIndex(expected, path, separator.get()), 0);
    auto spans = [](const TIxEntry& entry) {
        std::vector<std::array<int32_t, 3>> out;
        for (const TIxBlock& b : entry.blocks.all()) out.push_back({b.pos, b.len, b.line});
        return out;
    };
    TIxEntry* entry = lookup(path);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(spans(*entry), spans(expected));
    EXPECT_LT(entry->blocks.inMemory(), IxBlockList::kMemoryBlocks);
    EXPECT_EQ(entry->blocks.all().back().sig, expected.blocks.all().back().sig);
    const std::string ixFile(ixIndexFileOf(ix, path).view());
    cache.reset();
    TIxCache check;
    loadIndexFile(check, path, ixFile);
    ASSERT_NE(check.find("long.txt"), nullptr);
    EXPECT_EQ(spans(*check.find("long.txt")), spans(expected));
    auto files = std::filesystem::directory_iterator(std::filesystem::path(ixFile).parent_path());
    EXPECT_EQ(std::distance(begin(files), end(files)), 1);  // the spill left no name behind
}

}  // namespace

// The index lookup: entries are reused while their file keeps its size and
// write time, rebuilt otherwise, and a cache moving to another folder's
// index file writes the one it held.
#include "index/index_lookup.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <map>
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
        const StoredSignature before = cache->find("a.txt")->blocks.all().at(0).sig;
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
    using Blocks = std::vector<std::pair<std::array<int32_t, 3>, StoredSignature>>;
    auto blocksOf = [](const TIxEntry& entry) {
        Blocks out;
        for (const TIxBlock& b : entry.blocks.all()) out.push_back({{b.pos, b.len, b.line}, b.sig});
        return out;
    };
    // Two files, so the second spills after the first in the same file.
    std::map<std::string, Blocks> expected;
    std::string path;
    for (const char* name : {"a.txt", "b.txt"}) {
        std::string text;
        for (int i = 0; i < int(IxBlockList::kMemoryBlocks) * 2 + 100; ++i)
            text += name + std::to_string(i * 7) + std::string(300, 'x') + "\n";
        path = tmp.write(std::string("src/") + name, text);
        TIxEntry alone;
        ASSERT_EQ(createIndex(alone, path, separator.get()), 0);
        expected[name] = blocksOf(alone);
        TIxEntry* entry = lookup(path);
        ASSERT_NE(entry, nullptr);
        EXPECT_LT(entry->blocks.inMemory(), IxBlockList::kMemoryBlocks);
    }
    for (const auto& [name, blocks] : expected) EXPECT_TRUE(blocksOf(*cache->find(name)) == blocks);
    const std::string ixFile(ixIndexFileOf(ix, path).view());
    cache.reset();
    TIxCache check;
    loadIndexFile(check, path, ixFile);
    for (const auto& [name, blocks] : expected) {
        ASSERT_NE(check.find(name), nullptr);
        EXPECT_TRUE(blocksOf(*check.find(name)) == blocks) << name;
    }
    auto files = std::filesystem::directory_iterator(std::filesystem::path(ixFile).parent_path());
    // The spill left no name behind: the index file and its rows file.
    EXPECT_EQ(std::distance(begin(files), end(files)), 2);
}

}  // namespace

// The index lookup: entries are reused while their file keeps its size and
// write time, rebuilt otherwise, and a cache moving to another folder's
// index file writes the one it held.
#include "index/index_lookup.h"

#include <gtest/gtest.h>

#include <string>

#include "common/capture_sink.h"
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
    std::string ixDir() const { return tmp.path("ix/"); }
    std::string indexFileOf(const std::string& source) const {
        return std::string(ixIndexFileOf(ixDir(), source).view());
    }
    TempDir tmp;
    LineSeparator separator;
};

TEST_F(IndexLookup, ReusesAnEntryWhileSizeAndTimeStay) {
    std::string path = tmp.write("src/a.txt", "alpha beta\n");
    setWriteTime(path, 1600000000);
    TIxCache cache(ixDir());
    ASSERT_NE(ixLookup(cache, path, separator.get()), nullptr);
    struct Step {
        const char* what;
        std::string text;
        int64_t seconds;
        bool rebuilt;
    } steps[] = {
        {"other text, same size and time", "gamma delt\n", 1600000000, false},
        {"time", "gamma delt\n", 1600000001, true},
        {"size", "gamma delta\n", 1600000001, true},
    };
    for (const Step& c : steps) {
        const GramSignature before = cache.find("a.txt")->blocks.at(0).sig;
        tmp.write("src/a.txt", c.text);
        setWriteTime(path, c.seconds);
        cache.dirty = false;
        TIxEntry* entry = ixLookup(cache, path, separator.get());
        ASSERT_NE(entry, nullptr) << c.what;
        EXPECT_EQ(entry->blocks.at(0).sig != before, c.rebuilt) << c.what;
        EXPECT_EQ(cache.dirty, c.rebuilt) << c.what;
        EXPECT_EQ(entry->size, c.text.size()) << c.what;
    }
}

TEST_F(IndexLookup, MovingToAnotherFolderWritesTheFirstIndexFile) {
    std::string a = tmp.write("one/a.txt", "first folder\n");
    std::string a2 = tmp.write("one/b.txt", "same folder\n");
    std::string b = tmp.write("two/c.txt", "second folder\n");
    {
        TIxCache cache(ixDir());
        ASSERT_NE(ixLookup(cache, a, separator.get()), nullptr);
        ASSERT_NE(ixLookup(cache, a2, separator.get()), nullptr);
        EXPECT_FALSE(std::filesystem::exists(indexFileOf(a)));
        ASSERT_NE(ixLookup(cache, b, separator.get()), nullptr);
        EXPECT_TRUE(std::filesystem::exists(indexFileOf(a)));
        EXPECT_EQ(cache.count(), 1);
    }
    // The second one is written when the cache goes.
    for (const std::string& source : {a, a2, b}) {
        TIxCache check;
        loadIndexFile(check, source, indexFileOf(source));
        EXPECT_NE(check.find(std::string(namePart(source).view())), nullptr) << source;
        EXPECT_EQ(check.dir, std::string(dirPart(source, false).view()));
    }
    EXPECT_TRUE(hasIndexMarker(ixDir()));
}

TEST_F(IndexLookup, StaleEntryThatCannotBeRebuiltIsRemoved) {
    std::string path = tmp.write("src/a.txt", "text\n");
    TIxCache cache(ixDir());
    ASSERT_NE(ixLookup(cache, path, separator.get()), nullptr);
    cache.dirty = false;
    std::filesystem::remove(path);
    EXPECT_EQ(ixLookup(cache, path, separator.get()), nullptr);
    EXPECT_EQ(cache.find("a.txt"), nullptr);
    EXPECT_FALSE(cache.dirty);  // removing a failed entry alone writes nothing
}

}  // namespace

// The shared index caches of a run on several threads: which files share a
// cache, when a cache is written back, and lookups from several threads.
#include "index/ix_cache_set.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "common/temp_dir.h"
#include "index/ix_file.h"
#include "index/ix_paths.h"
#include "ix_test_support.h"
#include "support/path_utils.h"

namespace {

using namespace ixtest;

class IxCacheSetTest : public ::testing::Test {
protected:
    std::string indexFileOf(const std::string& source) const {
        return std::string(ixIndexFileOf(ix, source).view());
    }
    ino_t inode(const std::string& path) const {
        struct stat st {};
        return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
    }
    TIxEntry* lookup(const IxFileRef& file, const std::string& source) {
        return ixLookupShared(file, source, separator.get());
    }

    TempDir tmp;
    std::string ix = tmp.path("ix");
    LineSeparator separator;
};

// Walk order: which files get the cache of the file before, a cache still
// held elsewhere, or a new one (which they load first).
TEST_F(IxCacheSetTest, FilesOfOneIndexFileShareACache) {
    struct Step {
        const char* file;
        int cache;  // which cache (numbered as they are made)
        bool first;
        bool dropOthers;  // the earlier files let go of their caches first
    };
    const Step steps[] = {
        {"one/a.txt", 0, true, false},  {"one/b.txt", 0, false, false},
        {"two/c.txt", 1, true, false},  {"one/d.txt", 0, false, false},
        {"one/e.txt", 0, false, true},  {"two/f.txt", 2, true, true},
        {"HONMON.txt", 3, true, false}, {"two/g.txt", 2, false, false},
    };
    IxCacheSet set(ix);
    std::vector<IxFileRef> held;
    std::vector<const SharedIxCache*> made;
    for (const Step& step : steps) {
        if (step.dropOthers) held.clear();
        IxFileRef file = set.cacheOf(tmp.write(step.file, "x\n"));
        if (file.first) made.push_back(file.cache.get());
        ASSERT_LT(size_t(step.cache), made.size()) << step.file;
        EXPECT_EQ(file.cache.get(), made[size_t(step.cache)]) << step.file;
        EXPECT_EQ(file.first, step.first) << step.file;
        EXPECT_EQ(file.source, tmp.path(step.file));
        EXPECT_EQ(file.cache->ixPath(), indexFileOf(tmp.path(step.file)));
        held.push_back(std::move(file));
    }
}

// A cache is written when its last holder lets it go (the walker included);
// a new cache of that index file loads what was written and, finding every
// entry current, writes nothing. A first file that never looks up lets the
// next one load.
TEST_F(IxCacheSetTest, ACacheIsWrittenWhenItsLastHolderGoes) {
    const std::string a = tmp.write("one/a.txt", "alpha\n"), b = tmp.write("one/b.txt", "beta\n");
    const std::string c = tmp.write("two/c.txt", "gamma\n");
    IxCacheSet set(ix);
    IxFileRef fileA = set.cacheOf(a), fileB = set.cacheOf(b);
    fileA.cache->passFirst();
    fileA = {};
    ASSERT_NE(lookup(fileB, b), nullptr);
    IxFileRef fileC = set.cacheOf(c);  // the walker moves on
    EXPECT_FALSE(std::filesystem::exists(indexFileOf(b)));
    fileB = {};
    const ino_t written = inode(indexFileOf(b));
    ASSERT_NE(written, 0u);
    TIxCache check;
    loadIndexFile(check, b, indexFileOf(b));
    EXPECT_EQ(check.count(), 1);

    IxFileRef again = set.cacheOf(b);
    EXPECT_TRUE(again.first);
    ASSERT_NE(lookup(again, b), nullptr);
    again = {};
    fileC = {};
    set.dropCurrent();
    EXPECT_EQ(inode(indexFileOf(b)), written);
    EXPECT_FALSE(std::filesystem::exists(indexFileOf(c)));  // never looked up
}

// A later file of a cache waits for the first file to load it, so what the
// load reports goes with the first file, as on one thread.
TEST_F(IxCacheSetTest, LaterFilesWaitForTheFirstToLoad) {
    const std::string a = tmp.write("one/a.txt", "alpha\n"), b = tmp.write("one/b.txt", "beta\n");
    IxCacheSet set(ix);
    IxFileRef fileA = set.cacheOf(a), fileB = set.cacheOf(b);
    ASSERT_TRUE(fileA.first);
    std::atomic<bool> done{false};
    std::jthread later([&] {
        LineSeparator own;
        ixLookupShared(fileB, b, own.get());
        done = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(done);
    ASSERT_NE(lookup(fileA, a), nullptr);
    later.join();
    EXPECT_TRUE(done);
}

// Threads build the entries of big files (their blocks spill) at once; each
// entry is what one build alone makes, and all are written.
TEST_F(IxCacheSetTest, ThreadsBuildEntriesAtOnce) {
    constexpr int kFiles = 8;
    std::vector<std::string> sources;
    for (int i = 0; i < kFiles; ++i) {
        std::string text;
        for (int line = 0; line < 6000; ++line)
            text += "line " + std::to_string(line * (i + 3)) + " of file " + std::to_string(i) +
                    " with some words to fill it\n";
        sources.push_back(tmp.write("big/f" + std::to_string(i) + ".txt", text));
    }
    IxCacheSet set(ix);
    std::vector<IxFileRef> files;
    for (const std::string& source : sources) files.push_back(set.cacheOf(source));
    set.dropCurrent();
    std::vector<TIxEntry*> entries(kFiles);
    {
        std::vector<std::jthread> threads;
        for (int t = 0; t < 4; ++t)
            threads.emplace_back([&, t] {
                // A compiled pattern is one thread's, as each search thread
                // compiles its own separator.
                LineSeparator own;
                for (int i = t; i < kFiles; i += 4)
                    entries[size_t(i)] =
                        ixLookupShared(files[size_t(i)], sources[size_t(i)], own.get());
            });
    }
    for (int i = 0; i < kFiles; ++i) {
        ASSERT_NE(entries[size_t(i)], nullptr) << i;
        TIxEntry alone;
        ASSERT_EQ(createIndex(alone, sources[size_t(i)], separator.get()), 0);
        const std::vector<TIxBlock> want = alone.blocks.all(),
                                    got = entries[size_t(i)]->blocks.all();
        ASSERT_GT(want.size(), IxBlockList::kMemoryBlocks);
        ASSERT_EQ(got.size(), want.size()) << i;
        for (size_t k = 0; k < want.size(); ++k) {
            EXPECT_EQ(got[k].pos, want[k].pos) << i << " " << k;
            EXPECT_TRUE(got[k].sig == want[k].sig) << i << " " << k;
        }
    }
    files.clear();
    TIxCache check;
    loadIndexFile(check, sources[0], indexFileOf(sources[0]));
    EXPECT_EQ(check.count(), kFiles);
}

}  // namespace

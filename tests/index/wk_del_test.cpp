// The deletion worker: stale data goes, current data stays, and nothing is
// deleted outside what the program itself made.
#include "index/wk_del.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>

#include "common/capture_sink.h"
#include "common/temp_dir.h"
#include "index/index_lookup.h"
#include "index/index_marker.h"
#include "index/index_separator.h"
#include "index/ix_cache.h"
#include "index/ix_file.h"
#include "index/ix_messages.h"
#include "index/ix_paths.h"
#include "ix_test_support.h"
#include "support/event.h"
#include "support/stop_flag.h"

namespace {

using namespace ixtest;
namespace fs = std::filesystem;

std::string deletedLine(int deleted, int examined) {
    return std::string(formatText(ixtext::kFilesDeleted, deleted, examined).view());
}

// An index folder with index data of live and vanished sources, converted
// texts, and a user's own file.
class DeletionWorker : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ensureIndexFolder(ix));
        liveA = tmp.write("src/a.txt", "kept entry\n");
        liveB = tmp.write("src/b.txt", "entry of a deleted file\n");
        gone = tmp.write("deep/er/x.txt", "folder that goes\n");
        {
            TIxCache cache(ix);
            for (const std::string& f : {liveA, liveB, gone})
                ASSERT_NE(ixLookup(cache, f, sep.get()), nullptr);
        }
        fs::remove(liveB);
        fs::remove_all(tmp.path("deep"));
        orphan = convertedText(tmp.path("src/gone.rtf"));
        userFile = tmp.write("ix/notes.txt", "mine");
    }
    std::string convertedText(const std::string& document) const {
        std::string text = std::string(ixMirrorPath(ix, document).view()) + ".txt";
        return tmp.write(text.substr(tmp.path().size() + 1), "text");
    }
    std::string indexFileOf(const std::string& source) const {
        return std::string(ixIndexFileOf(ix, source).view());
    }
    bool hasEntry(const std::string& source) const {
        TIxCache cache;
        loadIndexFile(cache, liveA, indexFileOf(liveA));
        return cache.find(std::string(fs::path(source).filename())) != nullptr;
    }

    TempDir tmp;
    std::string ix = tmp.path("ix/");
    LineSeparator sep;
    std::string liveA, liveB, gone, orphan, userFile;
};

TEST_F(DeletionWorker, RemovesStaleDataAndKeepsCurrentData) {
    CaptureSink sink;
    TWkDel(false, ix).run();
    EXPECT_FALSE(fs::exists(orphan));
    // The folders emptied on the way go too.
    EXPECT_FALSE(fs::exists(fs::path(indexFileOf(gone)).parent_path()));
    EXPECT_TRUE(fs::exists(userFile));
    EXPECT_TRUE(hasEntry(liveA));
    EXPECT_FALSE(hasEntry(liveB));
    // The rows file goes with its index file and stays with a pruned one.
    EXPECT_TRUE(fs::exists(std::string(ixRowsFileOf(indexFileOf(liveA)).view())));
    EXPECT_EQ(texts(sink), (Texts{deletedLine(2, 3),
                                  std::string(formatText(ixtext::kFilesChanged, 1, 3, 1).view())}));
}

// Data made at the very time its source was written is current; a source
// one 100 ns unit newer is not.
TEST_F(DeletionWorker, DataAsNewAsItsSourceIsCurrent) {
    const std::string doc = tmp.write("src/doc.rtf", "{\\rtf1 x}");
    const std::string text = convertedText(doc);
    for (int64_t sourceNs : {0, 100}) {
        CaptureSink sink;
        for (const std::string& data : {text, indexFileOf(liveA)})
            setWriteTime(data, 1500000000, 700);
        for (const std::string& source : {doc, liveA})
            setWriteTime(source, 1500000000, 700 + sourceNs);
        TWkDel(false, ix).run();
        EXPECT_EQ(fs::exists(text), sourceNs == 0) << sourceNs;
        EXPECT_EQ(hasEntry(liveA), sourceNs == 0) << sourceNs;
    }
}

// Run on its own thread, as the program does.
TEST_F(DeletionWorker, DeleteAllHeedsTheStopFlagAndTakesOnlyWhatTheProgramMade) {
    CaptureSink sink;
    stopFlag().store(1);
    TWkDel(true, ix).run();
    stopFlag().store(0);
    EXPECT_TRUE(fs::exists(orphan));
    EXPECT_EQ(texts(sink), (Texts{messageLine(ixtext::kStopped), deletedLine(0, 0)}));
    sink.clear();
    LEvent done;
    ASSERT_TRUE(startDeletionWorker(true, ix, [&done] { done.set(); }));
    ASSERT_TRUE(done.wait(10000));
    for (const std::string& f : {orphan, indexFileOf(liveA), ix + "x_"})
        EXPECT_FALSE(fs::exists(f)) << f;
    EXPECT_TRUE(fs::exists(userFile));
    EXPECT_TRUE(hasIndexMarker(ix));
    EXPECT_EQ(texts(sink), Texts{deletedLine(3, 3)});
}

// A damaged index file is the program's and goes; a "*.qfd" that does not
// begin like one is somebody else's and stays, in either mode.
TEST_F(DeletionWorker, OnlyFilesThatBeginLikeIndexFilesAreDeleted) {
    const std::string bad = std::string(ixMirrorPath(ix, tmp.path("src2")).view()) + ".qfd";
    for (bool deleteAll : {false, true}) {
        for (const std::string& bytes : {std::string("text"), header(3) + tmp.path("src")}) {
            const bool foreign = bytes == "text";
            tmp.write(bad.substr(tmp.path().size() + 1), bytes);  // no folder line end
            CaptureSink sink;
            TWkDel(deleteAll, ix).run();
            EXPECT_EQ(fs::exists(bad), foreign) << bytes << deleteAll;
            const Texts got = texts(sink);
            EXPECT_EQ(std::count(got.begin(), got.end(), messageLine(ixtext::kIllegalHeader, bad)),
                      foreign ? 1 : 0);
            fs::remove(bad);
        }
    }
}

// Every way of cleaning the index folder, against a link placed under it
// that points at a user's folder of look-alike files (or at one of them).
TEST(DeletionWorkerSafety, NoCleanUpFollowsALink) {
    struct Shape {
        const char* link;  // below the index folder
        const char* target;
    } shapes[] = {
        {"x_user", "outside"},                      // named like a mirror root
        {"x_", "outside"},                          // the mirror root itself
        {"x_self/home/docs", "outside"},            // a folder inside the mirror tree
        {"x_self/home/docs.qfd", "outside/a.qfd"},  // an index file
    };
    enum Cleaning { kOld, kAll, kSeparatorChange };
    for (const Shape& shape : shapes) {
        for (Cleaning cleaning : {kOld, kAll, kSeparatorChange}) {
            TempDir tmp;
            const std::string ix = tmp.path("ix/");
            ASSERT_TRUE(ensureIndexFolder(ix));
            const std::string stale = header(3) + tmp.path("gone") + "\r\nZ";
            const std::string own = tmp.write("ix/x_self/own.qfd", stale);
            const std::string outside[] = {tmp.write("outside/a.qfd", stale),
                                           tmp.write("outside/b.txt", "text"),
                                           tmp.write("outside/sub/c.qfd", stale)};
            const fs::path link = ix + shape.link;
            fs::create_directories(link.parent_path());
            fs::create_symlink(tmp.path(shape.target), link);
            CaptureSink sink;
            if (cleaning == kSeparatorChange)
                matchIndexSeparator(ix, "[\\n]");
            else
                TWkDel(cleaning == kAll, ix).run();
            const std::string where = std::string(shape.link) + " " + std::to_string(cleaning);
            EXPECT_FALSE(fs::exists(own)) << where;  // the clean-up did run
            for (const std::string& f : outside) EXPECT_TRUE(fs::exists(f)) << f << " " << where;
            EXPECT_TRUE(fs::is_symlink(link)) << where;
        }
    }
}

// Writing the index goes no more through a link than cleaning it does: the
// index file of a source under a linked mirror folder is not written at all.
TEST(DeletionWorkerSafety, IndexWritesDoNotFollowALink) {
    for (const char* linked : {"x_", "x_/tmp"}) {
        TempDir tmp;
        const std::string ix = tmp.path("ix/");
        ASSERT_TRUE(ensureIndexFolder(ix));
        fs::create_directories(fs::path(ix + linked).parent_path());
        fs::create_directory(tmp.path("outside"));
        fs::create_symlink(tmp.path("outside"), ix + linked);
        const std::string source = tmp.write("src/a.txt", "text\n");
        {
            CaptureSink sink;
            TIxCache cache(ix);
            ixLookup(cache, source, LineSeparator().get());
        }
        EXPECT_TRUE(fs::is_empty(tmp.path("outside"))) << linked;
    }
}

// Temporary files of the program's own pattern that a killed write left
// behind go; a fresh one may be a running search's and stays unless
// everything goes; other "*.tmp" files stay.
TEST(DeletionWorkerSafety, LeftOverTemporaryFilesGo) {
    struct Case {
        const char* name;
        int ageMinutes;
        bool goesOld, goesAll;
    } cases[] = {
        {"ix/x_/d/a.qfd.0badcafe.tmp", 61, true, true},
        {"ix/x_/d/a.qfr.0badcafe.tmp", 61, true, true},
        {"ix/x_/d/b.txt.01234567.tmp", 59, false, true},
        {"ix/x_/d/notes.tmp", 61, false, false},
        {"ix/x_/d/c.qfd.0BADCAFE.tmp", 61, false, false},
        {"ix/x_/d/c.qfd.0badcaf.tmp", 61, false, false},
        {"ix/x_/d/c.doc.0badcafe.tmp", 61, false, false},
        {"ix/top.qfd.0badcafe.tmp", 61, false, false},  // not under a mirror root
    };
    for (bool deleteAll : {false, true}) {
        TempDir tmp;
        ASSERT_TRUE(ensureIndexFolder(tmp.path("ix")));
        for (const Case& c : cases)
            setWriteTime(tmp.write(c.name, "partial"), std::time(nullptr) - c.ageMinutes * 60);
        CaptureSink sink;
        TWkDel(deleteAll, tmp.path("ix")).run();
        for (const Case& c : cases)
            EXPECT_EQ(tmp.exists(c.name), !(deleteAll ? c.goesAll : c.goesOld))
                << c.name << " deleteAll=" << deleteAll;
    }
}

TEST(DeletionWorkerSafety, FolderWithoutMarkerIsLeftAlone) {
    TempDir tmp;
    std::string ix = tmp.path("mine/");
    std::string user = tmp.write("mine/diary.txt", "mine");
    std::string lookalike = tmp.write("mine/x_/home/notes.txt", "also mine");
    std::string qfd = tmp.write("mine/x_/home.qfd", header(3) + "/home\r\nZ");
    CaptureSink sink;
    TWkDel(true, ix).run();
    for (const std::string& f : {user, lookalike, qfd}) EXPECT_TRUE(fs::exists(f)) << f;
    EXPECT_EQ(texts(sink), (Texts{messageLine(ixtext::kNotOurFolder, ix), deletedLine(0, 0)}));
    EXPECT_TRUE(ensureIndexFolder(ix) && !hasIndexMarker(ix));  // in use: not made ours
}

}  // namespace

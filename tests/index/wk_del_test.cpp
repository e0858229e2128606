// The deletion worker: stale data goes, current data stays, and nothing is
// deleted outside what the program itself made.
#include "index/wk_del.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/capture_sink.h"
#include "common/temp_dir.h"
#include "index/index_lookup.h"
#include "index/index_marker.h"
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

std::string changedLine(int changed, int examined, int entries) {
    return std::string(formatText(ixtext::kFilesChanged, changed, examined, entries).view());
}

// An index folder with index files for a live folder, a folder that is gone
// and converted texts of documents that are current, gone or newer.
class DeletionWorker : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ensureIndexFolder(ix));
        liveA = tmp.write("src/a.txt", "kept entry\n");
        liveB = tmp.write("src/b.txt", "entry of a deleted file\n");
        gone = tmp.write("deep/er/x.txt", "folder that goes\n");
        {
            TIxCache cache(ix);
            for (const std::string& f : {liveA, liveB})
                ASSERT_NE(ixLookup(cache, f, sep.get()), nullptr);
            ASSERT_NE(ixLookup(cache, gone, sep.get()), nullptr);
        }
        fs::remove(liveB);
        fs::remove_all(tmp.path("deep"));

        current = convertedText("src/doc.rtf", 1000000000, 1500000000);
        newer = convertedText("src/new.rtf", 1600000000, 1500000000);
        orphan = mirrorOf(tmp.path("src/gone.rtf")) + ".txt";
        writeFile(orphan);
        userFile = ix + "notes.txt";
        writeFile(userFile);
    }

    std::string mirrorOf(const std::string& source) const {
        return std::string(ixMirrorPath(ix, source).view());
    }
    static void writeFile(const std::string& path) {
        fs::create_directories(fs::path(path).parent_path());
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::fputs("text", f);
        std::fclose(f);
    }
    // A document and its converted text with the given write times.
    std::string convertedText(const std::string& document, int64_t docTime, int64_t textTime) {
        std::string doc = tmp.write(document, "{\\rtf1 x}");
        setWriteTime(doc, docTime);
        std::string text = mirrorOf(doc) + ".txt";
        writeFile(text);
        setWriteTime(text, textTime);
        return text;
    }
    std::string indexFileOf(const std::string& source) const {
        return std::string(ixIndexFileOf(ix, source).view());
    }

    TempDir tmp;
    std::string ix = tmp.path("ix/");
    LineSeparator sep;
    std::string liveA, liveB, gone, current, newer, orphan, userFile;
};

TEST_F(DeletionWorker, RemovesStaleDataAndKeepsCurrentData) {
    CaptureSink sink;
    TWkDel worker(false, ix);
    worker.run();

    EXPECT_TRUE(fs::exists(current));
    EXPECT_FALSE(fs::exists(newer));
    EXPECT_FALSE(fs::exists(orphan));
    EXPECT_FALSE(fs::exists(indexFileOf(gone)));
    // The folders emptied on the way are gone, the index folder stays.
    EXPECT_FALSE(fs::exists(fs::path(indexFileOf(gone)).parent_path()));
    EXPECT_TRUE(hasIndexMarker(ix));
    EXPECT_TRUE(fs::exists(userFile));

    TIxCache pruned;
    loadIndexFile(pruned, liveA, indexFileOf(liveA));
    EXPECT_NE(pruned.find("a.txt"), nullptr);
    EXPECT_EQ(pruned.find("b.txt"), nullptr);

    EXPECT_EQ(worker.filesExamined, 5);
    EXPECT_EQ(worker.filesDeleted, 3);
    EXPECT_EQ(worker.filesChanged, 1);
    EXPECT_EQ(worker.entriesDeleted, 1);
    EXPECT_EQ(texts(sink), (std::vector<std::string>{deletedLine(3, 5), changedLine(1, 5, 1)}));
}

TEST_F(DeletionWorker, PruningComparesWithTheIndexFilesOwnTime) {
    // An entry whose file changed before the index file was last written
    // survives; the next search rebuilds it.
    std::string indexFile = indexFileOf(liveA);
    setWriteTime(liveA, 1500000000);
    setWriteTime(indexFile, 1500000001);
    TWkDel worker(false, ix);
    worker.run();
    TIxCache pruned;
    loadIndexFile(pruned, liveA, indexFile);
    EXPECT_NE(pruned.find("a.txt"), nullptr);

    // The first run rewrote the file (b.txt went); make it old again.
    setWriteTime(indexFile, 1500000001);
    setWriteTime(liveA, 1500000002);
    TWkDel again(false, ix);
    again.run();
    TIxCache repruned;
    loadIndexFile(repruned, liveA, indexFile);
    EXPECT_EQ(repruned.find("a.txt"), nullptr);
}

TEST_F(DeletionWorker, DeleteAllTakesOnlyWhatTheProgramMade) {
    CaptureSink sink;
    TWkDel worker(true, ix);
    worker.run();
    for (const std::string& f : {current, newer, orphan, indexFileOf(liveA)})
        EXPECT_FALSE(fs::exists(f)) << f;
    EXPECT_TRUE(fs::exists(userFile));
    EXPECT_TRUE(hasIndexMarker(ix));
    EXPECT_FALSE(fs::exists(ix + "x_"));  // emptied mirror folders removed
    EXPECT_EQ(texts(sink), std::vector<std::string>{deletedLine(5, 5)});
}

TEST_F(DeletionWorker, IllegalIndexFileIsReportedAndDeleted) {
    std::string bad = mirrorOf(tmp.path("src2")) + ".qfd";
    writeFile(bad);
    CaptureSink sink;
    TWkDel worker(false, ix);
    worker.run();
    EXPECT_FALSE(fs::exists(bad));
    EXPECT_EQ(texts(sink).front(),
              messageLine("illegal index file (illegal header): '" + bad + "'"));
}

TEST_F(DeletionWorker, StopFlagEndsTheWalk) {
    CaptureSink sink;
    stopFlag().store(1);
    TWkDel worker(true, ix);
    worker.run();
    stopFlag().store(0);
    EXPECT_TRUE(fs::exists(current));
    EXPECT_EQ(worker.filesExamined, 0);
    EXPECT_EQ(texts(sink),
              (std::vector<std::string>{messageLine(ixtext::kStopped), deletedLine(0, 0)}));
}

TEST(DeletionWorkerSafety, FolderWithoutMarkerIsLeftAlone) {
    TempDir tmp;
    std::string ix = tmp.path("mine/");
    std::string user = tmp.write("mine/diary.txt", "mine");
    std::string lookalike = tmp.write("mine/x_/home/notes.txt", "also mine");
    std::string qfd = tmp.write("mine/x_/home.qfd", "QF  0003      \r\n/home\r\nZ");
    CaptureSink sink;
    TWkDel worker(true, ix);
    worker.run();
    for (const std::string& f : {user, lookalike, qfd}) EXPECT_TRUE(fs::exists(f)) << f;
    EXPECT_EQ(texts(sink),
              (std::vector<std::string>{messageLine(ixErrorText(ixtext::kNotOurFolder, ix)),
                                        deletedLine(0, 0)}));
}

TEST(IndexFolderMarker, MarksOnlyFoldersTheProgramCanOwn) {
    TempDir tmp;
    EXPECT_TRUE(ensureIndexFolder(tmp.path("new/ix/")));
    EXPECT_TRUE(hasIndexMarker(tmp.path("new/ix/")));
    fs::create_directories(tmp.path("empty"));
    EXPECT_TRUE(ensureIndexFolder(tmp.path("empty")));
    EXPECT_TRUE(hasIndexMarker(tmp.path("empty")));
    tmp.write("used/file.txt", "x");
    EXPECT_TRUE(ensureIndexFolder(tmp.path("used")));
    EXPECT_FALSE(hasIndexMarker(tmp.path("used")));
}

TEST(DeletionWorkerThread, RunsOnItsOwnAndSignalsTheEnd) {
    TempDir tmp;
    std::string ix = tmp.path("ix/");
    ASSERT_TRUE(ensureIndexFolder(ix));
    std::string stale = tmp.write("ix/x_/nowhere/a.rtf.txt", "t");
    CaptureSink sink;
    LEvent done;
    ASSERT_TRUE(startDeletionWorker(false, ix, [&done] { done.set(); }));
    ASSERT_TRUE(done.wait(10000));
    EXPECT_FALSE(fs::exists(stale));
}

}  // namespace

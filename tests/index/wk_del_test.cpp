// The deletion worker: stale data goes, current data stays, and nothing is
// deleted outside what the program itself made.
#include "index/wk_del.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <string>

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
    // The converted text of a document, written into the index folder.
    std::string convertedText(const std::string& document) const {
        std::string text = std::string(ixMirrorPath(ix, document).view()) + ".txt";
        return tmp.write(text.substr(tmp.path().size() + 1), "text");
    }
    std::string indexFileOf(const std::string& source) const {
        return std::string(ixIndexFileOf(ix, source).view());
    }

    TempDir tmp;
    std::string ix = tmp.path("ix/");
    LineSeparator sep;
    std::string liveA, liveB, gone, orphan, userFile;
};

TEST_F(DeletionWorker, RemovesStaleDataAndKeepsCurrentData) {
    CaptureSink sink;
    TWkDel worker(false, ix);
    worker.run();

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

    EXPECT_EQ(texts(sink), (Texts{deletedLine(2, 3),
                                  std::string(formatText(ixtext::kFilesChanged, 1, 3, 1).view())}));
}

// Data made at the very time its source was written is current; a source
// one 100 ns unit newer is not.
TEST_F(DeletionWorker, DataAsNewAsItsSourceIsCurrent) {
    const std::string doc = tmp.write("src/doc.rtf", "{\\rtf1 x}");
    const std::string text = convertedText(doc);
    const std::string indexFile = indexFileOf(liveA);
    struct Case {
        int64_t sourceNs;  // past the data's own time
        bool current;
    } cases[] = {{0, true}, {100, false}};
    for (const Case& c : cases) {
        CaptureSink sink;
        setWriteTime(text, 1500000000, 700);
        setWriteTime(indexFile, 1500000000, 700);
        setWriteTime(doc, 1500000000, 700 + c.sourceNs);
        setWriteTime(liveA, 1500000000, 700 + c.sourceNs);
        TWkDel(false, ix).run();
        EXPECT_EQ(fs::exists(text), c.current) << c.sourceNs;
        TIxCache after;
        loadIndexFile(after, liveA, indexFile);
        EXPECT_EQ(after.find("a.txt") != nullptr, c.current) << c.sourceNs;
    }
}

TEST_F(DeletionWorker, DeleteAllTakesOnlyWhatTheProgramMade) {
    CaptureSink sink;
    TWkDel worker(true, ix);
    worker.run();
    for (const std::string& f : {orphan, indexFileOf(liveA)}) EXPECT_FALSE(fs::exists(f)) << f;
    EXPECT_TRUE(fs::exists(userFile));
    EXPECT_TRUE(hasIndexMarker(ix));
    EXPECT_FALSE(fs::exists(ix + "x_"));  // emptied mirror folders removed
    EXPECT_EQ(texts(sink), Texts{deletedLine(3, 3)});
}

TEST_F(DeletionWorker, IndexFilesWithoutAReadableHeaderAreDeleted) {
    const std::string bad = std::string(ixMirrorPath(ix, tmp.path("src2")).view()) + ".qfd";
    struct Case {
        const char* what;
        std::string bytes;
        Texts messages;
    } cases[] = {
        {"no header", "text", {messageLine(ixtext::kIllegalHeader, bad)}},
        {"folder line without end", header(3) + tmp.path("src"), {}},
    };
    for (const Case& c : cases) {
        tmp.write(bad.substr(tmp.path().size() + 1), c.bytes);
        CaptureSink sink;
        TWkDel(false, ix).run();
        EXPECT_FALSE(fs::exists(bad)) << c.what;
        Texts got = texts(sink);
        std::erase_if(got, [](const std::string& t) { return std::isdigit(t[0]); });  // counts
        EXPECT_EQ(got, c.messages) << c.what;
    }
}

TEST_F(DeletionWorker, StopFlagEndsTheWalk) {
    CaptureSink sink;
    stopFlag().store(1);
    TWkDel worker(true, ix);
    worker.run();
    stopFlag().store(0);
    EXPECT_TRUE(fs::exists(orphan));
    EXPECT_EQ(texts(sink), (Texts{messageLine(ixtext::kStopped), deletedLine(0, 0)}));
}

TEST(DeletionWorkerSafety, FolderWithoutMarkerIsLeftAlone) {
    TempDir tmp;
    std::string ix = tmp.path("mine/");
    std::string user = tmp.write("mine/diary.txt", "mine");
    std::string lookalike = tmp.write("mine/x_/home/notes.txt", "also mine");
    std::string qfd = tmp.write("mine/x_/home.qfd", "QF  0003      \r\n/home\r\nZ");
    CaptureSink sink;
    TWkDel(true, ix).run();
    for (const std::string& f : {user, lookalike, qfd}) EXPECT_TRUE(fs::exists(f)) << f;
    EXPECT_EQ(texts(sink), (Texts{messageLine(ixtext::kNotOurFolder, ix), deletedLine(0, 0)}));
}

TEST(IndexFolderMarker, MarksOnlyFoldersTheProgramCanOwn) {
    TempDir tmp;
    fs::create_directories(tmp.path("empty"));
    tmp.write("used/file.txt", "x");
    const std::pair<const char*, bool> cases[] = {
        {"new/ix/", true}, {"empty", true}, {"used", false}};
    for (const auto& [folder, marked] : cases) {
        EXPECT_TRUE(ensureIndexFolder(tmp.path(folder))) << folder;
        EXPECT_EQ(hasIndexMarker(tmp.path(folder)), marked) << folder;
    }
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

// The record separator an index folder remembers: index files go when it
// changes, everything else stays, and an unmarked folder is never touched.
#include "index/index_separator.h"

#include <gtest/gtest.h>

#include "common/capture_sink.h"
#include "common/temp_dir.h"
#include "index/index_marker.h"

namespace {

class IndexSeparator : public ::testing::Test {
protected:
    // An index folder with two index files, a converted text and a user's
    // own file beside the mirror roots.
    void SetUp() override {
        ix = dir.path("ix");
        ASSERT_TRUE(ensureIndexFolder(ix));
        dir.write("ix/x_/data/docs.qfd", "QF  0003      \r\n/data/docs\r\nZ");
        dir.write("ix/x_/data/docs/sub.qfd", "QF  0003      \r\n/data/docs/sub\r\nZ");
        dir.write("ix/x_/data/docs/report.doc.txt", "converted text\n");
        dir.write("ix/mine.qfd", "the user's own\n");
    }
    TempDir dir;
    std::string ix;
    CaptureSink sink;
};

TEST_F(IndexSeparator, IndexFilesGoWhenTheSeparatorChanges) {
    struct Step {
        const char* separator;
        int dropped;
    } steps[] = {
        {"[\\x0A\\x0D]+", 2},  // nothing remembered yet: the files' separator is unknown
        {"[\\x0A\\x0D]+", 0},
        {"[\x81"
         "B\\n]",
         1},      // 。 or a line feed
        {"", 1},  // records cut by length only
        {"", 0},
    };
    for (const Step& s : steps) {
        dir.write("ix/x_/data/docs.qfd", "QF  0003      \r\n/data/docs\r\nZ");
        EXPECT_EQ(matchIndexSeparator(ix, s.separator), s.dropped) << s.separator;
        EXPECT_EQ(dir.exists("ix/x_/data/docs.qfd"), s.dropped == 0) << s.separator;
        EXPECT_EQ(dir.read("ix/" + std::string(kIndexSeparatorName)), s.separator);
    }
    EXPECT_FALSE(dir.exists("ix/x_/data/docs/sub.qfd"));
    EXPECT_EQ(dir.read("ix/x_/data/docs/report.doc.txt"), "converted text\n");
    EXPECT_EQ(dir.read("ix/mine.qfd"), "the user's own\n");
    EXPECT_TRUE(sink.messages().empty());
}

TEST_F(IndexSeparator, AFolderWithoutTheMarkerIsLeftAlone) {
    TempDir own;
    own.write("notes.txt", "mine\n");
    own.write("x_/data/docs.qfd", "QF  0003      \r\n/data/docs\r\nZ");
    EXPECT_EQ(matchIndexSeparator(own.path(), "[\\n]"), 0);
    EXPECT_TRUE(own.exists("x_/data/docs.qfd"));
    EXPECT_FALSE(own.exists(kIndexSeparatorName));
}

TEST_F(IndexSeparator, AMissingFolderIsCreatedMarkedAndRemembersTheSeparator) {
    const std::string fresh = dir.path("new/ix");
    EXPECT_EQ(matchIndexSeparator(fresh, "[\\n]"), 0);
    EXPECT_TRUE(hasIndexMarker(fresh));
    EXPECT_EQ(dir.read("new/ix/" + std::string(kIndexSeparatorName)), "[\\n]");
}

}  // namespace

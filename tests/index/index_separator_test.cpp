// The record separator an index folder remembers: index files go when it
// changes, everything else stays.
#include "index/index_separator.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/capture_sink.h"
#include "common/temp_dir.h"
#include "index/index_marker.h"
#include "ix_test_support.h"

namespace {

const std::string kDocsIndex = ixtest::header(3) + "/data/docs\r\nZ";
const std::string kSeparatorFile = kIndexSeparatorName;

TEST(IndexSeparator, IndexFilesGoWhenTheSeparatorChanges) {
    TempDir dir;
    CaptureSink sink;
    ASSERT_TRUE(ensureIndexFolder(dir.path("ix")));
    dir.write("ix/x_/data/docs/sub.qfd", ixtest::header(3) + "/data/docs/sub\r\nZ");
    dir.write("ix/x_/data/docs/report.doc.txt", "converted text\n");
    dir.write("ix/mine.qfd", "the user's own\n");
    dir.write("ix/x_/data/mine.qfd", "not an index file\n");
    const std::pair<const char*, int> steps[] = {
        {"[\\x0A\\x0D]+", 2},  // nothing remembered yet: the files' separator is unknown
        {"[\\x0A\\x0D]+", 0},
        {"[\x81\x42\\n]", 1},  // 。 or a line feed
        {"", 1},               // records cut by length only
        {"", 0},
    };
    for (const auto& [separator, dropped] : steps) {
        dir.write("ix/x_/data/docs.qfd", kDocsIndex);
        EXPECT_EQ(matchIndexSeparator(dir.path("ix"), separator), dropped) << separator;
        EXPECT_EQ(dir.exists("ix/x_/data/docs.qfd"), dropped == 0) << separator;
        EXPECT_EQ(dir.read("ix/" + kSeparatorFile), separator);
    }
    EXPECT_FALSE(dir.exists("ix/x_/data/docs/sub.qfd"));
    EXPECT_EQ(dir.read("ix/x_/data/docs/report.doc.txt"), "converted text\n");
    EXPECT_EQ(dir.read("ix/mine.qfd"), "the user's own\n");
    EXPECT_EQ(dir.read("ix/x_/data/mine.qfd"), "not an index file\n");
    EXPECT_TRUE(sink.messages().empty());
}

// A link standing where the marker or the separator file belongs is never
// written through, and a link does not make a folder the program's.
TEST(IndexSeparator, LinksInPlaceOfTheFolderFilesAreNotWrittenThrough) {
    for (const std::string& name : {std::string(kIndexMarkerName), kSeparatorFile}) {
        TempDir dir;
        const bool marked = name == kSeparatorFile;
        if (marked) {
            ASSERT_TRUE(ensureIndexFolder(dir.path("ix")));
        }
        const std::string user = dir.write("user.txt", "the user's own\n");
        std::filesystem::create_directories(dir.path("ix"));
        std::filesystem::create_symlink(user, dir.path("ix/" + name));
        CaptureSink sink;
        matchIndexSeparator(dir.path("ix"), "[\\n]");
        EXPECT_EQ(dir.read("user.txt"), "the user's own\n") << name;
        EXPECT_EQ(hasIndexMarker(dir.path("ix")), marked) << name;
        EXPECT_EQ(std::filesystem::is_symlink(dir.path("ix/" + name)), !marked) << name;
        if (marked) {
            EXPECT_EQ(dir.read("ix/" + name), "[\\n]");
        }
    }
}

}  // namespace

// Opening a file for search: the display name and the position it pushes,
// and a file that does not open.
#include "search/open_reader.h"

#include <gtest/gtest.h>

#include "common/temp_dir.h"
#include "support/source_position.h"

TEST(OpenReader, PushesTheDisplayNameWithTheRecordLine) {
    TempDir dir;
    dir.write("sub/a.txt", "one\ntwo\n");
    TReader reader;
    ASSERT_TRUE(openReader(reader, LStr(dir.path("sub/a.txt")), dir.path() + "/", false));
    EXPECT_EQ(std::string(reader.displayName().view()), "sub/a.txt");
    reader.setRecordLine(2);
    EXPECT_EQ(std::string(positionText().view()), "sub/a.txt(2)");
    reader.close();
    EXPECT_EQ(std::string(positionText().view()), "");
    EXPECT_FALSE(openReader(reader, LStr(dir.path("missing.txt")), "", false));
    EXPECT_FALSE(reader.isOpen());
    EXPECT_EQ(std::string(positionText().view()), "");
}

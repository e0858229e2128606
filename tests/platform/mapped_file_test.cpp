// A mapped file cut short by another program while it is read.
#include "platform/mapped_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "common/temp_dir.h"

TEST(MappedFileDeathTest, ReadPastAnEndCutShortStopsWithAMessage) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    TempDir dir;
    const std::string path = dir.write("x.qfd", std::string(3 * 4096, 'x'));
    std::shared_ptr<MappedFile> map = MappedFile::open(path);
    ASSERT_TRUE(map);
    EXPECT_EQ(map->data()[2 * 4096], 'x');
    ASSERT_EQ(::truncate(path.c_str(), 10), 0);
    EXPECT_EXIT(
        {
            volatile char c = map->data()[2 * 4096];
            (void)c;
        },
        testing::ExitedWithCode(2), "cut short");
}

// Reading through the read-ahead block gives the file's bytes at every
// position, whether a seek lands inside the block, outside it or at its end.
#include "text/read_ahead.h"

#include <gtest/gtest.h>

#include <string>

#include "common/temp_dir.h"
#include "text/file_stream.h"

TEST(ReadAhead, EveryReadGivesTheBytesAtItsPosition) {
    TempDir dir;
    std::string bytes;
    for (int i = 0; bytes.size() < 3 * size_t(LReadAhead::kBlock); ++i)
        bytes += std::to_string(i) + ",";
    LFile file(dir.write("a.txt", bytes), 'r', false);
    LReadAhead ahead(file);
    struct {
        int64_t seekTo;  // -2: no seek
        int32_t count;
    } steps[] = {
        {-2, 10},
        {5, 20},
        {-2, LReadAhead::kBlock},
        {100, 7},
        {-2, LReadAhead::kJumpBlock},  // across the short block read after a jump
        {LReadAhead::kBlock, 30},
        {LReadAhead::kBlock - 3, 9},
        {2 * LReadAhead::kBlock + 5, 2 * LReadAhead::kBlock},
        {0, 1},
    };
    int64_t at = 0;
    for (const auto& step : steps) {
        if (step.seekTo != -2) at = ahead.seek(step.seekTo);
        ASSERT_EQ(ahead.tell(), at);
        std::string got(size_t(step.count), '\0');
        int32_t total = 0;
        for (int32_t n;
             total < step.count && (n = ahead.read(got.data() + total, step.count - total)) > 0;)
            total += n;
        got.resize(size_t(total));
        EXPECT_EQ(got, bytes.substr(size_t(at), size_t(step.count))) << "at " << at;
        at += total;
    }
}

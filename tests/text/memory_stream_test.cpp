// Streams over memory: reads and seeks stay inside their bytes.
#include "text/memory_stream.h"

#include <gtest/gtest.h>

TEST(MemoryStream, ReadAndSeekStayInsideTheBytes) {
    LStr text("abcdef");
    LMemStream m(text);
    char buf[8] = {};
    EXPECT_EQ(m.read(buf, 4), 4);
    EXPECT_EQ(m.read(buf, 4), 2);
    EXPECT_EQ(m.read(buf, 4), 0);
    const std::pair<int32_t, int32_t> seeks[] = {{2, 2}, {6, 6}, {7, 6}, {0, 0}, {100, 0}, {-1, 6}};
    for (auto [to, expected] : seeks) EXPECT_EQ(m.seek(to), expected) << to;
    EXPECT_EQ(std::string(text.view()), "abcdef");  // the caller's bytes stay as they are
}

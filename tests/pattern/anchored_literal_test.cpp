// Searches limited to one start position for a pattern with a leading
// literal: a later occurrence of the literal must not count.
#include <gtest/gtest.h>

#include <string>

#include "pattern/searcher.h"

TEST(AnchoredLiteral, OnlyTheStartPositionCounts) {
    LRexSearcher s("abc");
    ASSERT_EQ(s.prefix(), "abc");
    const std::string text = "xxabc" + std::string(200, 'y') + "abc";
    EXPECT_EQ(s.search(text, 0, -1, 1, 0), -1);
    EXPECT_EQ(s.search(text, 2, -1, 1, 2), 2);
    EXPECT_EQ(s.search(text, 3, -1, 1, 3), -1);
    EXPECT_EQ(s.search(text, 205, -1, 1, 205), 205);
    EXPECT_EQ(s.search(text, 204, -1, 1, 0), 2);  // a range of starts finds the first
    EXPECT_EQ(s.search(text, -1, -1, 1, 3), 205);
    EXPECT_EQ(s.search(text, 205, 207, 1, 205), -1);  // the end cuts the literal
}

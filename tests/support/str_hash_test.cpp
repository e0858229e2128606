// strHash values and the string set built on it.
#include "support/str_hash.h"

#include <gtest/gtest.h>

#include <string>

#include "support/str_set.h"

TEST(StrHash, KnownValues) {
    EXPECT_EQ(strHash(""), 0u);
    EXPECT_EQ(strHash(static_cast<const char*>(nullptr)), 0u);
    EXPECT_EQ(strHash("a"), 97u);
    EXPECT_EQ(strHash("ab"), 97u + 98u * 23u);
    EXPECT_EQ(strHash("abcde"), 97u + 98u * 23 + 99u * 13 + 100u * 2 + 101u * 17);
    EXPECT_EQ(strHash("abcdef"), strHash("abcde") + 102u * 3);
    // Bytes are unsigned.
    EXPECT_EQ(strHash("\x82\xa0"), 0x82u + 0xa0u * 23);
}

TEST(StrHash, MultipliersWrapAfter169Bytes) {
    std::string s(169, '\0');
    s += 'a';  // position 169 uses the first multiplier again
    EXPECT_EQ(strHash(std::string_view(s)), 97u);
    std::string t(168, '\0');
    t += 'a';  // the last multiplier is 997
    EXPECT_EQ(strHash(std::string_view(t)), 97u * 997u);
}

TEST(LStrSet, ExactByteMembership) {
    LStrSet set;
    EXPECT_TRUE(set.add("abc"));
    EXPECT_FALSE(set.add("abc"));
    EXPECT_TRUE(set.add("ABC"));
    EXPECT_TRUE(set.add(std::string_view("ab\0c", 4)));
    EXPECT_TRUE(set.contains("ABC"));
    EXPECT_FALSE(set.contains("ab"));
    EXPECT_EQ(set.count(), 3);
    set.clear();
    EXPECT_FALSE(set.contains("abc"));
    EXPECT_EQ(set.count(), 0);
}

// strHash values (index files store them, so they must never change) and the
// string set built on it.
#include "support/str_hash.h"

#include <gtest/gtest.h>

#include <string>

#include "support/str_set.h"

TEST(StrHash, StoredValuesStayFixed) {
    struct Case {
        std::string text;
        uint32_t hash;
    } cases[] = {
        {"", 0},
        {"abcdef", 5861},
        {"\x82\xA0", 3810},                  // bytes count as unsigned
        {std::string(169, '\0') + "a", 97},  // the multipliers start over
    };
    for (const auto& c : cases) EXPECT_EQ(strHash(std::string_view(c.text)), c.hash) << c.text;
    EXPECT_EQ(strHash(static_cast<const char*>(nullptr)), 0u);
}

TEST(LStrSet, ExactByteMembership) {
    LStrSet set;
    EXPECT_TRUE(set.add("abc") && set.add("ABC") && set.add(std::string_view("ab\0c", 4)));
    EXPECT_FALSE(set.add("abc") || set.contains("ab"));
    EXPECT_EQ(set.count(), 3);
    set.clear();
    EXPECT_FALSE(set.contains("abc"));
}

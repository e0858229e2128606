// strHash values: index files store them, so they must never change.
#include "support/str_hash.h"

#include <gtest/gtest.h>

#include <string>

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

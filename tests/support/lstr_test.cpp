// LStr editing, growth and NUL termination.
#include "base/lstr.h"

#include <gtest/gtest.h>

#include <functional>

TEST(LStr, EveryWayToEmptyAStringLeavesItsTextEmpty) {
    const struct Case {
        const char* label;
        std::function<void(LStr&)> empty;
    } cases[] = {
        {"assign view", [](LStr& s) { s.assign(std::string_view()); }},
        {"assign \"\"", [](LStr& s) { s = ""; }},
        {"assign null", [](LStr& s) { s = static_cast<const char*>(nullptr); }},
        {"assign empty LStr", [](LStr& s) { s = LStr(); }},
        {"copy empty LStr",
         [](LStr& s) {
             LStr e;
             s = e;
         }},
        {"truncate", [](LStr& s) { s.truncate(0); }},
        {"erase", [](LStr& s) { s.erase(0); }},
        {"resize", [](LStr& s) { s.resize(0); }},
        {"clear", [](LStr& s) { s.clear(); }},
    };
    for (const auto& c : cases) {
        LStr s("old text");
        c.empty(s);
        EXPECT_TRUE(s.empty()) << c.label;
        EXPECT_STREQ(s.c_str(), "") << c.label;
    }
}

TEST(LStr, EditsKeepTheTextNulTerminated) {
    LStr s("ab");
    for (int i = 0; i < 11; ++i) {
        s.append(s.view());  // its own text, while it grows
        ASSERT_EQ(s.c_str()[s.length()], '\0');
    }
    EXPECT_EQ(s.length(), 2 << 11);
    EXPECT_EQ(s.view().substr(4093, 3), "bab");
    s.assign(s.view().substr(1, 3));
    EXPECT_EQ(s, "bab");
    s = "abcabc";
    s.insert(3, "--");
    s.insert(100, "!");
    EXPECT_EQ(s, "abc--abc!");
    s.erase(3, 2);
    EXPECT_EQ(s.replaceAll("bc", "XYZ"), 2);
    EXPECT_EQ(s, "aXYZaXYZ!");
    EXPECT_EQ(s.replaceAll("aa", "a"), 0);
    s.resize(11);
    EXPECT_EQ(s.view(), std::string_view("aXYZaXYZ!\0\0", 11));
}

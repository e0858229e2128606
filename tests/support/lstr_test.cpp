// LStr editing, growth and NUL termination.
#include "base/lstr.h"

#include <gtest/gtest.h>

#include <functional>

#include "support/ptr_array.h"

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

TEST(LStr, GrowthKeepsTheTextAndAnObservableCapacity) {
    LStr s;
    EXPECT_EQ(s.capacity(), 4);  // the smallest size class: 8 bytes less a 4-byte header
    int32_t lastCapacity = s.capacity();
    int growths = 0;
    for (int i = 0; i < 5000; ++i) {
        s.append(char('a' + i % 26));
        growths += s.capacity() != lastCapacity;
        lastCapacity = s.capacity();
        ASSERT_GT(s.capacity(), s.length());
        ASSERT_EQ(s.c_str()[s.length()], '\0');
    }
    EXPECT_LT(growths, 40);  // grows by a share of the length, not by a fixed step
    EXPECT_EQ(s[4999], char('a' + 4999 % 26));
    s.clear();
    EXPECT_EQ(s.capacity(), 4);
}

TEST(LStr, InsertEraseAndReplaceAll) {
    LStr s("abcabc");
    s.insert(3, "--");
    EXPECT_EQ(s, "abc--abc");
    s.insert(100, "!");
    EXPECT_EQ(s, "abc--abc!");
    s.erase(3, 2);
    EXPECT_EQ(s, "abcabc!");
    EXPECT_EQ(s.replaceAll("bc", "XYZ"), 2);
    EXPECT_EQ(s, "aXYZaXYZ!");
    EXPECT_EQ(s.replaceAll("aa", "a"), 0);
    s.resize(11);
    EXPECT_EQ(s.view(), std::string_view("aXYZaXYZ!\0\0", 11));
}

TEST(LStr, ItsOwnTextCanBeAppendedAndAssigned) {
    LStr s("ab");
    for (int i = 0; i < 10; ++i) s.append(s.view());
    EXPECT_EQ(s.length(), 2 << 10);
    s.assign(s.view().substr(1, 3));
    EXPECT_EQ(s, "bab");
}

TEST(LPtrArray, SlotAfterLastIsNull) {
    int a = 1, b = 2, c = 3;
    LPtrArray<int> list;
    EXPECT_EQ(list.data()[0], nullptr);
    list.add(&a);
    list.add(&c);
    list.insert(1, &b);
    ASSERT_EQ(list.count(), 3);
    EXPECT_EQ(*list[1], 2);
    EXPECT_EQ(list.data()[3], nullptr);
    EXPECT_EQ(list.removeAt(0), &a);
    EXPECT_EQ(list.data()[2], nullptr);
}

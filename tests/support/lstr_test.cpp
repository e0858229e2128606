// LStr growth, editing and NUL termination.
#include "base/lstr.h"

#include <gtest/gtest.h>

#include "support/ptr_array.h"

TEST(LStr, EmptyAndClearedStringsHoldOneNulInSmallestClass) {
    LStr s;
    ASSERT_NE(s.c_str(), nullptr);
    EXPECT_EQ(s.c_str()[0], '\0');
    EXPECT_EQ(s.capacity(), 4);  // 1 byte + 4-byte header rounds to 8
    s.assign(std::string(5000, 'a'));
    s.clear();
    EXPECT_EQ(s.capacity(), 4);
    EXPECT_EQ(s, "");
}

TEST(LStr, GrowthIsFiveQuartersRaisedToSizeClass) {
    struct Case {
        int needed;  // length after the append, NUL included
        int capacity;
    } cases[] = {
        {10, 12},      // 12 + 4 = 16
        {60, 76},      // 75 + 4 = 79 -> 80
        {200, 252},    // 250 + 4 -> 256 (step 16)
        {1000, 1276},  // 1250 + 4 -> 1280 (step 256)
        {4000, 8188},  // 5000 + 4 -> 8192 (step 4096)
    };
    for (const auto& c : cases) {
        LStr s;
        s.append(std::string(c.needed - 1, 'x'));
        EXPECT_EQ(s.capacity(), c.capacity) << "needed " << c.needed;
        EXPECT_EQ(s.c_str()[s.length()], '\0');
    }
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
    EXPECT_EQ(s.replaceAll("q", "r"), 0);
    EXPECT_EQ(s.replaceAll("aa", "a"), 0);
}

TEST(LStr, AppendOfItselfIsSafe) {
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
    EXPECT_EQ(list.count(), 2);
    EXPECT_EQ(list.data()[2], nullptr);
}

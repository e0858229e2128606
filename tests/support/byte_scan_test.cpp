// Word-at-a-time byte scans against plain loops, at every alignment and
// length around the word size.
#include "support/byte_scan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "support/needle_finder.h"

namespace {

// Random text over letters, starting at each of the first 9 offsets.
template <typename Check>
void forRandomTexts(unsigned seed, std::string_view letters, int rounds, Check check) {
    std::mt19937 rng(seed);
    for (int round = 0; round < rounds; ++round) {
        std::string text;
        for (size_t i = size_t(round % 40) + rng() % 300; i > 0; --i)
            text += letters[rng() % letters.size()];
        for (size_t start = 0; start <= std::min<size_t>(text.size(), 9); ++start)
            check(text.data() + start, text.data() + text.size());
    }
}

}  // namespace

TEST(ByteScan, FinderAndCounterAgreeWithPlainLoops) {
    // Bytes near the set members and with the high bit, where borrows between
    // bytes would show.
    const std::string_view alphabet("\n\r\x0B\x09\x80\x8A\x8D\xFF\x01\0ab", 12);
    const unsigned char members[] = {'\n', '\r', 0x8A, 0x00, 'b'};
    for (int setSize : {1, 2, 4, 5}) {
        std::array<bool, 256> set{};
        for (int i = 0; i < setSize; ++i) set[members[i]] = true;
        ByteSetFinder finder(set);
        forRandomTexts(3, alphabet, 300, [&](const char* p, const char* end) {
            auto inSet = [&](char c) { return set[static_cast<unsigned char>(c)]; };
            ASSERT_EQ(finder.find(p, end), std::find_if(p, end, inSet)) << setSize;
            ASSERT_EQ(countByte(p, end, '\n'), std::count(p, end, '\n'));
        });
    }
    // More than 255 hits in one summing block would overflow a byte lane.
    const std::string lineFeeds(5000, '\n');
    EXPECT_EQ(countByte(lineFeeds.data(), lineFeeds.data() + 5000, '\n'), 5000);
    EXPECT_EQ(countByte(lineFeeds.data(), lineFeeds.data() + 5000, '\r'), 0);
}

TEST(ByteScan, FindsByteStringsLikeFind) {
    for (const std::string needle : {"a", "ab", "\x93\x83", "aab", "\x83\x93\x83", "abba"}) {
        forRandomTexts(5, "ab\x93\x83", 200, [&](const char* p, const char* end) {
            ASSERT_EQ(findBytes(p, end, needle), std::search(p, end, needle.begin(), needle.end()))
                << needle;
        });
    }
}

TEST(ByteScan, NeedleSetsAreFoundWhereTheFirstOneBegins) {
    // Sets with shared leading pairs, a one-byte needle among longer ones, and
    // one with more leading pairs than are compared at once.
    std::vector<std::string> large;
    for (char a : std::string_view("ab\x82\x93"))
        for (char b : std::string_view("ab\x82\x93\x60")) large.push_back({a, b, 'a'});
    const std::vector<std::vector<std::string>> sets = {
        {"ab"}, {"ab", "aab", "ba"}, {"\x82\x93", "b", "\x82\x60" "a"}, {"aaaa", "abab"}, large};
    for (const auto& set : sets) {
        const NeedleFinder finder(std::vector<std::string_view>(set.begin(), set.end()));
        forRandomTexts(11, "ab\x82\x93\x60", 300, [&](const char* p, const char* end) {
            const char* first = end;
            for (const std::string& n : set)
                first = std::min(first, std::search(p, end, n.begin(), n.end()));
            ASSERT_EQ(finder.find(p, end), first) << set.front();
        });
    }
}

// Word-at-a-time byte scans against plain loops, at every alignment and
// length around the word size.
#include "support/byte_scan.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

TEST(ByteScan, FinderAndCounterAgreeWithPlainLoops) {
    std::mt19937 rng(3);
    // Bytes near the set members and with the high bit, where borrows between
    // bytes would show.
    const std::string alphabet(
        "\n\r\x0B\x09\x80\x8A\x8D\xFF\x01\x00"
        "ab",
        12);
    std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
    for (int setSize : {1, 2, 4, 5}) {
        std::array<bool, 256> set{};
        const unsigned char members[] = {'\n', '\r', 0x8A, 0x00, 'b'};
        for (int i = 0; i < setSize; ++i) set[members[i]] = true;
        ByteSetFinder finder(set);
        EXPECT_EQ(finder.size(), setSize);
        for (int round = 0; round < 300; ++round) {
            std::string text;
            const size_t size = size_t(round % 40) + size_t(rng() % 300);
            for (size_t i = 0; i < size; ++i) text += alphabet[pick(rng)];
            for (size_t start = 0; start < std::min<size_t>(text.size(), 9); ++start) {
                const char* p = text.data() + start;
                const char* end = text.data() + text.size();
                const char* expected = p;
                while (expected < end && !set[static_cast<unsigned char>(*expected)]) ++expected;
                ASSERT_EQ(finder.find(p, end), expected) << setSize << " " << round;
                int32_t lineFeeds = 0;
                for (const char* q = p; q < end; ++q) lineFeeds += *q == '\n';
                ASSERT_EQ(countByte(p, end, '\n'), lineFeeds);
            }
        }
    }
}

TEST(ByteScan, CountsLongRunsOfOneByte) {
    // More than 255 hits in one summing block would overflow a byte lane.
    const std::string text(5000, '\n');
    EXPECT_EQ(countByte(text.data(), text.data() + text.size(), '\n'), 5000);
    EXPECT_EQ(countByte(text.data(), text.data() + text.size(), '\r'), 0);
    const std::array<bool, 256> none{};
    EXPECT_EQ(ByteSetFinder(none).find(text.data(), text.data() + text.size()),
              text.data() + text.size());
}

TEST(ByteScan, FindsByteStringsLikeFind) {
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> pick(0, 3);
    const char letters[] = {'a', 'b', '\x93', '\x83'};
    for (const std::string needle : {"a", "ab", "\x93\x83", "aab", "\x83\x93\x83", "abba"}) {
        for (int round = 0; round < 200; ++round) {
            std::string text;
            const size_t size = size_t(round % 30) + size_t(rng() % 60);
            for (size_t i = 0; i < size; ++i) text += letters[pick(rng)];
            for (size_t start = 0; start <= std::min<size_t>(text.size(), 9); ++start) {
                const size_t at = std::string_view(text).find(needle, start);
                const char* expected =
                    at == std::string_view::npos ? text.data() + text.size() : text.data() + at;
                ASSERT_EQ(findBytes(text.data() + start, text.data() + text.size(), needle),
                          expected)
                    << needle << " in " << round;
            }
        }
    }
}

// Byte classes and character starts worked out a word at a time, against
// the byte table and the walk one byte after another.
#include "index/char_start_masks.h"

#include <gtest/gtest.h>

#include <array>
#include <random>

namespace {

// Starts and pair starts by walking the word: a byte after a pair's lead is
// its second byte, every other byte starts a character.
CharStartMasks walkedStarts(uint64_t pairLeads, bool firstStarts) {
    CharStartMasks m;
    bool starts = firstStarts;
    for (int i = 0; i < 64; ++i) {
        const bool pair = starts && (pairLeads >> i & 1);
        m.start |= uint64_t(starts) << i;
        m.pairStart |= uint64_t(pair) << i;
        starts = !pair;
    }
    return m;
}

TEST(CharStartMasks, ClassesAgreeWithTheByteTable) {
    // Four words hold every byte value; a short word (the end of a text),
    // classed byte by byte or whole, leaves the bits past its end clear.
    for (int first = 0; first < 256; first += 64) {
        std::array<unsigned char, 64> word{};
        for (int i = 0; i < 64; ++i) word[size_t(i)] = uint8_t(first + i);
        for (size_t count : {size_t(64), size_t(63), size_t(17), size_t(1)}) {
            const ByteClassMasks m = classifyBytes64(word.data(), count, first % 128 == 0);
            for (size_t i = 0; i < 64; ++i) {
                const bool in = i < count;
                EXPECT_EQ(m.lead >> i & 1, uint64_t(in && isLeadByte(word[i])))
                    << first + int(i) << " of " << count;
                EXPECT_EQ(m.nonZero >> i & 1, uint64_t(in && word[i] != 0))
                    << first + int(i) << " of " << count;
            }
        }
    }
}

TEST(CharStartMasks, StartsAgreeWithTheWalk) {
    // Dense random words: long runs of leads, of either parity and at
    // either end, are where the starts go wrong; a word may begin on a
    // second byte.
    std::mt19937_64 rng(99);
    for (int round = 0; round < 20000; ++round) {
        const uint64_t w = round < 3 ? ~uint64_t(0) : rng() | rng() | (round % 2 ? rng() : 0);
        const bool firstStarts = round % 3 != 0;
        const CharStartMasks got = charStarts64(w, firstStarts);
        const CharStartMasks want = walkedStarts(w, firstStarts);
        ASSERT_EQ(got.start, want.start) << std::hex << w << " " << firstStarts;
        ASSERT_EQ(got.pairStart, want.pairStart) << std::hex << w << " " << firstStarts;
    }
}

}  // namespace

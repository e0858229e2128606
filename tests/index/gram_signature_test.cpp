// Gram bits, signatures of texts and the block test with its tolerance.
#include "index/gram_signature.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "base/ctype_table.h"
#include "support/str_hash.h"

namespace {

int hashBit(std::string_view gram) {
    return int(strHash(gram) % kSignatureBits);
}

GramSignature withBits(std::initializer_list<int> bits) {
    GramSignature sig;
    for (int b : bits) sig.set(b);
    return sig;
}

TEST(GramBit, GramLengthFollowsCharacters) {
    // Text, position, the gram hashed there ("" for no bit): two double-byte
    // characters make four bytes, single and double three; a gram may straddle
    // the third byte or end with a lead byte; a NUL ends the text.
    // clang-format off
    const std::tuple<std::string_view, size_t, std::string_view> cases[] = {
        {"abc", 0, "abc"}, {"ab", 0, ""}, {"\x82\xA0\x82\xA2", 0, "\x82\xA0\x82\xA2"},
        {"a\x82\xA0z", 0, "a\x82\xA0"}, {"ab\x82\xA0", 0, "ab\x82\xA0"},
        {"\x82\xA0\x82", 0, "\x82\xA0\x82"}, {std::string_view("ab\0cd", 5), 0, ""},
        {std::string_view("ab\0cde", 6), 3, "cde"}};
    // clang-format on
    for (const auto& [text, pos, gram] : cases)
        EXPECT_EQ(gramBit(text, pos), gram.empty() ? -1 : hashBit(gram)) << text.substr(pos);
}

// A block's signature is worked out in one pass; it must hold exactly the
// bits of gramBit at every character start, whatever the bytes.
TEST(Signature, OnePassAgreesWithTheGramAtEveryCharacterStart) {
    const std::string_view pieces[] = {
        "a",        "Z",   "\x82\xA0", "\x8A", "\x81", "\xB1", std::string_view("\0", 1),
        "\x9F\x40", "\xE0"};
    uint32_t seed = 12345;
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        for (int n = int(seed % 9); n >= 0; --n) {
            seed = seed * 1103515245 + 12345;
            text += pieces[(seed >> 16) % std::size(pieces)];
        }
        StoredSignature expected;
        for (size_t pos = 0; pos < text.size();) {
            if (int bit = gramBit(text, pos); bit >= 0) expected.set(bit);
            pos += isLeadByte(text[pos]) && pos + 1 < text.size() && text[pos + 1] != 0 ? 2 : 1;
        }
        ASSERT_EQ(static_cast<const StoredSignature&>(signatureOf(text)), expected) << round;
    }
}

// The grams of a text found by walking it a character at a time.
std::vector<std::pair<int, uint32_t>> walkedGrams(std::string_view text) {
    std::vector<std::pair<int, uint32_t>> grams;
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    for (size_t pos = 0; pos + 2 < text.size();) {
        const bool pair0 = isLeadByte(p[pos]) && p[pos + 1] != 0;
        if (p[pos] != 0 && p[pos + 1] != 0 && p[pos + 2] != 0) {
            std::string gram(text.substr(pos, 3));
            const bool thirdStarts = pair0 || !isLeadByte(p[pos + 1]);
            if (thirdStarts && isLeadByte(p[pos + 2]) && pos + 3 < text.size() && p[pos + 3] != 0)
                gram += text[pos + 3];
            uint32_t packed = 0;
            for (size_t i = 0; i < gram.size(); ++i)
                packed |= uint32_t(uint8_t(gram[i])) << (8 * i);
            grams.emplace_back(hashBit(gram), packed);
        }
        pos += pair0 ? 2 : 1;
    }
    return grams;
}

// Texts long enough to cross several 64-byte words (hashed a word at a time
// where enough bytes follow): pairs straddle word edges, lead runs carry
// over, and NUL bytes break grams.
TEST(ForEachGram, AgreesWithTheCharacterWalkAcrossWords) {
    const std::string_view pieces[] = {"a",
                                       "Z9",
                                       "\x82\xA0",
                                       "\x8A",
                                       "\x81\x81\x81",
                                       "\xB1\xDF",
                                       "\n",
                                       "\x9F\x40",
                                       "\xE0",
                                       "\xFC\xFC",
                                       std::string_view("\0", 1),
                                       "\x88\x9F\x88\x9F\x88\x9F"};
    std::mt19937 rng(4242);
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        const size_t length = rng() % 300;
        while (text.size() < length) text += pieces[rng() % std::size(pieces)];
        const auto expected = walkedGrams(text);
        std::vector<std::pair<int, uint32_t>> got;
        forEachGram(text, [&](int bit, uint32_t packed) { got.emplace_back(bit, packed); });
        ASSERT_EQ(got, expected) << round << " length " << text.size();
        // Bytes readable past the end (here lead bytes and letters) are
        // hashed along with the text but give no gram.
        std::string padded = text;
        for (size_t i = 0; i < kHashedWordReach; ++i) padded += i % 3 ? '\x88' : 'q';
        got.clear();
        forEachGram(
            std::string_view(padded).substr(0, text.size()),
            [&](int bit, uint32_t packed) { got.emplace_back(bit, packed); }, kHashedWordReach);
        ASSERT_EQ(got, expected) << round << " padded, length " << text.size();
    }
}

TEST(SignatureTest, ToleranceCountsMissingGrams) {
    const GramSignature search = withBits({3, 40, 100, 200, 383});
    // Bits the block has no gram for, tolerance, whether it passes.
    // clang-format off
    const std::tuple<GramSignature, int, bool> cases[] = {
        {withBits({}), 0, true}, {withBits({5, 6}), 0, true}, {withBits({40}), 0, false},
        {withBits({383}), 0, false}, {withBits({40}), 1, true}, {withBits({40, 100}), 2, true},
        {withBits({40, 100, 383}), 2, false}, {withBits({3, 40, 100, 200, 383}), 5, true}};
    // clang-format on
    for (const auto& [stored, tolerance, pass] : cases)
        EXPECT_EQ(signatureTest(stored, search, tolerance), pass) << stored.count() << tolerance;
}

}  // namespace

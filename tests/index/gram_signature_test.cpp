// Gram bits, signatures of texts and the block test with its tolerance.
#include "index/gram_signature.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/str_hash.h"

namespace {

int hashBit(std::string_view gram) {
    return int(strHash(gram) % kSignatureBits);
}

std::vector<int> bitsOf(const GramSignature& sig) {
    std::vector<int> bits;
    for (int b = 0; b < kSignatureBits; ++b)
        if (sig.test(b)) bits.push_back(b);
    return bits;
}

std::vector<int> sorted(std::vector<int> v) {
    std::sort(v.begin(), v.end());
    v.erase(std::unique(v.begin(), v.end()), v.end());
    return v;
}

// A search signature with exactly the given bits, and a stored block
// signature lacking exactly the given bits.
GramSignature withBits(std::initializer_list<int> bits) {
    GramSignature sig;
    for (int b : bits) sig.set(b);
    return sig;
}

}  // namespace

TEST(GramBit, GramLengthFollowsCharacters) {
    struct Case {
        std::string_view text;
        size_t pos;
        std::string_view gram;  // empty: no bit
    } cases[] = {
        {"abc", 0, "abc"},
        {"abcd", 1, "bcd"},
        {"ab", 0, ""},
        {"abc", 1, ""},
        {"\x82\xA0\x82\xA2", 0, "\x82\xA0\x82\xA2"},  // two double-byte: four bytes
        {"a\x82\xA0z", 0, "a\x82\xA0"},               // single + double: three
        {"ab\x82\xA0", 0, "ab\x82\xA0"},              // straddles the third byte
        {"\x82\xA0\x82", 0, "\x82\xA0\x82"},          // a lead at the very end
        {"\x82\xA0\x82\xA2\x82\xA4", 2, "\x82\xA2\x82\xA4"},
        {std::string_view("ab\0cd", 5), 0, ""},  // a NUL ends the text
        {std::string_view("ab\0cde", 6), 3, "cde"},
    };
    for (const auto& c : cases) {
        int expected = c.gram.empty() ? -1 : hashBit(c.gram);
        EXPECT_EQ(gramBit(c.text, c.pos), expected) << c.text.substr(c.pos);
    }
}

TEST(Signature, BitsOfEveryCharacterStart) {
    EXPECT_EQ(bitsOf(signatureOf("abc")), std::vector<int>{hashBit("abc")});
    EXPECT_EQ(bitsOf(signatureOf("abcd")), sorted({hashBit("abc"), hashBit("bcd")}));
    EXPECT_EQ(bitsOf(signatureOf("\x82\xA0\x82\xA2")),
              std::vector<int>{hashBit("\x82\xA0\x82\xA2")});
    // Grams start only at character starts, never at a trail byte.
    std::string text =
        "\x8A\xBF\x8E\x9A"
        "ab";  // 漢字ab
    EXPECT_EQ(bitsOf(signatureOf(text)), sorted({hashBit("\x8A\xBF\x8E\x9A"), hashBit("\x8E\x9A"
                                                                                      "a")}));
}

TEST(Signature, ByteFormIsLittleEndianBitOrder) {
    GramSignature sig = withBits({0, 9, 31, 32, 383});
    uint8_t bytes[kSignatureBytes];
    sig.toBytes(bytes);
    EXPECT_EQ(bytes[0], 0x01);
    EXPECT_EQ(bytes[1], 0x02);
    EXPECT_EQ(bytes[3], 0x80);
    EXPECT_EQ(bytes[4], 0x01);
    EXPECT_EQ(bytes[47], 0x80);
    EXPECT_EQ(GramSignature::fromBytes(bytes), sig);
}

TEST(SignatureTest, ToleranceCountsMissingGrams) {
    GramSignature search = withBits({3, 40, 100, 200, 383});
    struct Case {
        std::initializer_list<int> lacking;  // bits the block has no gram for
        int tolerance;
        bool pass;
    } cases[] = {
        {{}, 0, true},
        {{5, 6}, 0, true},
        {{40}, 0, false},
        {{383}, 0, false},
        {{40}, 1, true},
        {{40, 100}, 1, false},
        {{40, 100}, 2, true},
        {{40, 100, 383}, 2, false},
        {{3, 40, 100, 200, 383}, 5, true},
        {{3, 40, 100, 200, 383}, 4, false},
    };
    for (const auto& c : cases) {
        GramSignature stored = withBits(c.lacking);
        EXPECT_EQ(signatureTest(stored, search, c.tolerance), c.pass)
            << "lacking " << c.lacking.size() << " tolerance " << c.tolerance;
    }
}

TEST(SignatureTest, EmptySearchPassesEveryBlock) {
    GramSignature all = GramSignature().complemented();
    for (int tolerance : {0, 1, 5}) EXPECT_TRUE(signatureTest(all, GramSignature(), tolerance));
}

TEST(SignatureTest, BlockHoldingTheTextPasses) {
    std::string block = "\x93\xFA\x96\x7B\x8C\xEA\x82\xCC\x95\xB6\x8F\xCD abc text";
    GramSignature stored = signatureOf(block).complemented();
    EXPECT_TRUE(signatureTest(stored, signatureOf("\x96\x7B\x8C\xEA\x82\xCC"), 0));
    EXPECT_TRUE(signatureTest(stored, signatureOf("c text"), 0));
    EXPECT_FALSE(signatureTest(stored, signatureOf("zzzzzz qqqq"), 0));
}

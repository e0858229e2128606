// Gram bits, signatures of texts and the block test with its tolerance.
#include "index/gram_signature.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "support/str_hash.h"

namespace {

int hashBit(std::string_view gram) {
    return int(strHash(gram) % kSignatureBits);
}

std::set<int> bitsOf(const GramSignature& sig) {
    std::set<int> bits;
    for (int b = 0; b < kSignatureBits; ++b)
        if (sig.test(b)) bits.insert(b);
    return bits;
}

// A search signature with exactly the given bits, or a stored block
// signature lacking exactly them.
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
        {"ab", 0, ""},
        {"\x82\xA0\x82\xA2", 0, "\x82\xA0\x82\xA2"},  // two double-byte: four bytes
        {"a\x82\xA0z", 0, "a\x82\xA0"},               // single + double: three
        {"ab\x82\xA0", 0, "ab\x82\xA0"},              // straddles the third byte
        {"\x82\xA0\x82", 0, "\x82\xA0\x82"},          // a lead at the very end
        {std::string_view("ab\0cd", 5), 0, ""},       // a NUL ends the text
        {std::string_view("ab\0cde", 6), 3, "cde"},
    };
    for (const auto& c : cases) {
        int expected = c.gram.empty() ? -1 : hashBit(c.gram);
        EXPECT_EQ(gramBit(c.text, c.pos), expected) << c.text.substr(c.pos);
    }
}

TEST(Signature, GramsStartAtEveryCharacterStartOnly) {
    EXPECT_EQ(bitsOf(signatureOf("abcd")), std::set<int>({hashBit("abc"), hashBit("bcd")}));
    // 漢字ab: never a gram from the trail byte of 漢.
    EXPECT_EQ(bitsOf(signatureOf("\x8A\xBF\x8E\x9A"
                                 "ab")),
              std::set<int>({hashBit("\x8A\xBF\x8E\x9A"), hashBit("\x8E\x9A"
                                                                  "a")}));
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
        {{40, 100}, 2, true},
        {{40, 100, 383}, 2, false},
        {{3, 40, 100, 200, 383}, 5, true},
    };
    for (const auto& c : cases) {
        GramSignature stored = withBits(c.lacking);
        EXPECT_EQ(signatureTest(stored, search, c.tolerance), c.pass)
            << "lacking " << c.lacking.size() << " tolerance " << c.tolerance;
    }
}

// The vector check agrees with the byte-by-byte decoder on every mix of
// valid, cut and malformed sequences, wherever they fall in a vector.
#include "text/utf8_validate.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "text/utf8_fast.h"

namespace {

TEST(Utf8Validate, AgreesWithTheDecoder) {
    // Sequences at the edges of their ranges, and pieces of them.
    // clang-format off
    const std::string pieces[] = {
        "a", "\n", "\xC2\x80", "\xDF\xBF", "\xE0\xA0\x80", "\xE3\x81\x82", "\xED\x9F\xBF",
        "\xEF\xBF\xBF", "\xF0\x90\x80\x80", "\xF4\x8F\xBF\xBF", "\xE0\x9F\x80", "\xED\xA0\x80",
        "\xF0\x8F\xBF\xBF", "\xF4\x90\x80\x80", "\xC0\xAF", "\xC1\xBF", "\xF5\x80\x80\x80",
        "\xFF", "\x80", "\xBF", "\xE3\x81", "\xF0\x90\x80", "\xC2"};
    // clang-format on
    std::mt19937 random(7);
    std::uniform_int_distribution<size_t> piece(0, std::size(pieces) - 1);
    std::uniform_int_distribution<int> length(0, 40);
    std::bernoulli_distribution valid(0.5);
    int invalid = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        // Half the texts from the first ten (valid) pieces, some of them with
        // one piece of any kind among them, so that each fault is met alone.
        const bool onlyValid = valid(random);
        const int count = length(random);
        const int odd = onlyValid && valid(random) ? count / 2 : -1;
        for (int n = 0; n < count; ++n)
            text += pieces[onlyValid && n != odd ? piece(random) % 10 : piece(random)];
        LStr decoded;
        bool decoderMultibyte = false;
        const bool expected = utf8ToNative(text, decoded, &decoderMultibyte);
        bool multibyte = false;
        ASSERT_EQ(isValidUtf8(text, &multibyte), expected) << ::testing::PrintToString(text);
        if (expected) {
            EXPECT_EQ(multibyte, decoderMultibyte);
        }
        invalid += !expected;
    }
    EXPECT_GT(invalid, 5000);
}

}  // namespace

// The table path from UTF-8 gives exactly what the general converter gives,
// for every character, and declines what it cannot take.
#include "text/utf8_fast.h"

#include <gtest/gtest.h>

#include <string>

#include "base/lwstr.h"
#include "support/message_service.h"
#include "text/encoding.h"

namespace {

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | c >> 6);
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | c >> 12);
        out += char(0x80 | (c >> 6 & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | c >> 18);
        out += char(0x80 | (c >> 12 & 0x3F));
        out += char(0x80 | (c >> 6 & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

std::string general(const std::string& utf8) {
    ConversionQuiet quiet;
    LWStr wide;
    mbToWide(utf8, wide, kCodePageUtf8);
    LStr out;
    wideToMb(wide.view(), out);
    return std::string(out.view());
}

TEST(Utf8Fast, EveryCharacterAsTheGeneralConverterGivesIt) {
    std::string all;
    for (char32_t c = 1; c < 0x10000; ++c)
        if (c < 0xD800 || c > 0xDFFF) appendUtf8(all, c);
    for (char32_t c : {0x1F600u, 0x10000u, 0x10FFFFu, 0x20B9Fu}) appendUtf8(all, c);
    LStr fast;
    ASSERT_TRUE(utf8ToNative(all, fast));
    EXPECT_EQ(std::string(fast.view()), general(all));
}

TEST(Utf8Fast, DeclinesWhatItCannotTake) {
    const char* cases[] = {
        "a\xE3\x81",         // cut
        "\xC0\xAF",          // overlong
        "\xED\xA0\x80",      // an encoded surrogate
        "\xF4\x90\x80\x80",  // beyond U+10FFFF
        "x{%u3042}",         // an escape, which names its unit
    };
    for (const char* text : cases) {
        LStr out("kept");
        EXPECT_FALSE(utf8ToNative(text, out)) << text;
        EXPECT_EQ(out.view(), "kept") << text;
    }
}

}  // namespace

// The table path from UTF-8 gives exactly what the general converter gives,
// for every character, and declines what it cannot take.
#include "text/utf8_fast.h"

#include <gtest/gtest.h>

#include <string>

#include "base/lwstr.h"
#include "common/system_charset.h"
#include "support/message_service.h"
#include "text/encoding.h"

namespace {

std::string general(const std::string& utf8) {
    ConversionQuiet quiet;
    LWStr wide;
    mbToWide(utf8, wide, kCodePageUtf8);
    LStr out;
    wideToMb(wide.view(), out);
    return std::string(out.view());
}

TEST(Utf8Fast, EveryCharacterAsTheGeneralConverterGivesIt) {
    std::u16string units;
    for (char32_t c = 1; c < 0x10000; ++c)
        if (c < 0xD800 || c > 0xDFFF) units += char16_t(c);
    units += u"\U0001F600\U00010000\U0010FFFF\U00020B9F";
    const std::string all = systemConverted(
        std::string_view(reinterpret_cast<const char*>(units.data()), units.size() * 2),
        Charset::kUtf16Le, Charset::kUtf8);
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

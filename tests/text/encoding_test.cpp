// Conversion between Shift-JIS / UTF-8 and UTF-16: agreement with the system
// converter on real text, the escape form in both directions, undecodable
// input and chunk boundaries.
#include "text/encoding.h"

#include <gtest/gtest.h>

#include <string>

#include "common/capture_sink.h"
#include "common/system_charset.h"

namespace {

std::u16string utf16(std::string_view utf8) {
    std::string bytes = systemConverted(utf8, Charset::kUtf8, Charset::kUtf16Le);
    return std::u16string(reinterpret_cast<const char16_t*>(bytes.data()), bytes.size() / 2);
}

std::u16string decoded(std::string_view text, int codePage = kCodePageAnsi) {
    LWStr out;
    mbToWide(text, out, codePage);
    return std::u16string(out.view());
}

std::string encoded(std::u16string_view units, int codePage = kCodePageAnsi) {
    LStr out;
    wideToMb(units, out, codePage);
    return std::string(out.view());
}

}  // namespace

TEST(Encoding, UnmappableUnitsBecomeEscapesAndDecodeBack) {
    // Best-fit substitutes are refused (yen sign, wave dash, em dash); each
    // half of a pair gets its own escape.
    const std::pair<std::u16string_view, std::string_view> cases[] = {
        {u"caf\u00E9!", "caf{%u00E9}!"},       {u"\u00A5\u301C\u2014", "{%u00A5}{%u301C}{%u2014}"},
        {u"\uFF5E\uFFE5", "\x81\x60\x81\x8F"}, {u"a\U0001F600b", "a{%uD83D}{%uDE00}b"},
        {u"\u3042\xD800", "\x82\xA0{%uD800}"},
    };
    CaptureSink sink;
    for (const auto& [units, cp932] : cases) {
        EXPECT_EQ(encoded(units), cp932);
        EXPECT_EQ(decoded(cp932), units);
    }
    EXPECT_EQ(encoded(u"x\xDC00\U0001F600", kCodePageUtf8), "x{%uDC00}\xF0\x9F\x98\x80");
    EXPECT_EQ(decoded("{%uD83D}{%uDE00}", kCodePageUtf8), u"\U0001F600");
    EXPECT_EQ(decoded("{%u}{%u12345}"), std::u16string(1, u'\0') + u"\u2345");
    EXPECT_TRUE(sink.messages().empty());
    // Every unit survives the trip out and back.
    std::u16string all;
    for (char16_t u = 1; u < 0x3100; u += 7) all += u;
    EXPECT_EQ(decoded(encoded(all)), all);
    EXPECT_EQ(decoded(encoded(all, kCodePageUtf8), kCodePageUtf8), all);
}

TEST(Encoding, EscapeWithoutSuffixWarnsAndTrailBytesStartNone) {
    CaptureSink sink;
    EXPECT_EQ(decoded("{%u3042 and more text after it"), u"\u3042<?> and more text after it");
    EXPECT_EQ(numberedTexts(sink), Texts{"35009 illegal escape sequence: {%u3042 and more tex"});
    // ボ is 0x83 0x7B; its trail byte is "{" but starts no escape.
    EXPECT_EQ(decoded("\x83\x7B%u0041}"), u"\u30DC%u0041}");
}

TEST(Encoding, UndecodableBytesBecomePlaceholders) {
    // A stray lead byte does not swallow the line end after it; cutting down
    // around a bad byte keeps a four-byte sequence whole.
    const std::tuple<std::string_view, int, std::u16string_view> cases[] = {
        {"a\x80\x62", kCodePageAnsi, u"a<?>b"},
        {"\xEB\x40\x82\xA0", kCodePageAnsi, u"<?>\u3042"},
        {"x\x81\nz", kCodePageAnsi, u"x<?>\nz"},
        {"tail\x82", kCodePageAnsi, u"tail<?>"},
        {"\xE3\x81", kCodePageUtf8, u"<?>"},
        {"\xF0\x9F\x8D\xA3\xFF", kCodePageUtf8, u"\U0001F363<?>"},
        {"\xED\xA0\x80z", kCodePageUtf8, u"<?>z"},
    };
    for (const auto& [text, codePage, wide] : cases) {
        CaptureSink sink;
        EXPECT_EQ(decoded(text, codePage), wide) << text;
        EXPECT_EQ(sink.messages().size(), 1u) << text;
    }
    CaptureSink sink;
    decoded("a\xFF", kCodePageUtf8);
    EXPECT_EQ(numberedTexts(sink), Texts{"35007 Cannot convert ASCII to Unicode: FFh"});
}

// Real text agrees with the system's converter, also where characters
// straddle the ends of the conversion chunks.
TEST(Encoding, TextAgreesWithSystemConverterAcrossChunkEnds) {
    CaptureSink sink;
    const std::string text =
        "吾輩は猫である。ＡＢＣ１２３　ﾊﾝｶｸｶﾀｶﾅ、～￥＄（）「」※①Ⅰ㈱ 表示・能力・ソフト \\ ~"
        "ΑΒΓΔ αβγδ Русский";
    for (size_t pad : {0u, 1997u, 1998u, 1999u, 2000u}) {
        const std::string mb = std::string(pad, 'a') + systemSjis(text);
        const std::u16string wide = std::u16string(pad, u'a') + utf16(text);
        EXPECT_EQ(decoded(mb), wide) << pad;
        EXPECT_EQ(encoded(wide), mb) << pad;
        // A four-byte sequence first, then three-byte ones.
        const std::string u8 = std::string(pad, 'a') + "\xF0\x9F\x8D\xA3" + text;
        const std::u16string u16 = std::u16string(pad, u'a') + u"\U0001F363" + utf16(text);
        EXPECT_EQ(decoded(u8, kCodePageUtf8), u16) << pad;
        EXPECT_EQ(encoded(u16, kCodePageUtf8), u8) << pad;
    }
    // A pair across the 1000-unit chunk end still reaches UTF-8 whole.
    std::u16string pairAtEnd = std::u16string(999, u'x') + u"\U0001F600";
    EXPECT_EQ(encoded(pairAtEnd, kCodePageUtf8), std::string(999, 'x') + "\xF0\x9F\x98\x80");
    EXPECT_TRUE(sink.messages().empty());
}

TEST(Encoding, OneBadCharacterInALongTextIsIsolated) {
    CaptureSink sink;
    std::string text;
    for (int i = 0; i < 300; ++i) text += systemSjis("日本語のテキスト。");
    const std::string head = text.substr(0, 1500), tail = text.substr(1500);
    EXPECT_EQ(decoded(head + "\x80" + tail), decoded(head) + u"<?>" + decoded(tail));
    EXPECT_EQ(sink.messages().size(), 1u);
    EXPECT_EQ(encoded(decoded(head) + u"\u00E9" + decoded(tail)), head + "{%u00E9}" + tail);
}

// Conversion between Shift-JIS / UTF-8 and UTF-16: agreement with the system
// converter on real text, the escape form in both directions, undecodable
// input and chunk boundaries.
#include "text/encoding.h"

#include <gtest/gtest.h>

#include <string>

#include "common/capture_sink.h"
#include "platform/iconv_converter.h"
#include "support/sink_texts.h"

namespace {

// Reference conversions straight through iconv.
std::string iconvBytes(const void* in, size_t bytes, Charset from, Charset to) {
    std::string out(bytes * 4 + 8, '\0');
    ConvertResult r = threadConverter(from, to).convert(in, bytes, out.data(), out.size());
    EXPECT_TRUE(r.complete);
    out.resize(r.outUsed);
    return out;
}

std::u16string utf16(std::string_view utf8) {
    std::string bytes = iconvBytes(utf8.data(), utf8.size(), Charset::kUtf8, Charset::kUtf16Le);
    return std::u16string(reinterpret_cast<const char16_t*>(bytes.data()), bytes.size() / 2);
}

std::string sjis(std::string_view utf8) {
    return iconvBytes(utf8.data(), utf8.size(), Charset::kUtf8, Charset::kCp932);
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

const char* const kSentences[] = {
    "吾輩は猫である。名前はまだ無い。",
    "ＡＢＣ１２３　ﾊﾝｶｸｶﾀｶﾅ、～￥＄（）「」※①Ⅰ㈱ 表示・能力・ソフト \\ ~",
    "ΑΒΓΔ αβγδ Русский",
};

}  // namespace

TEST(Encoding, JapaneseSentencesAgreeWithSystemConverter) {
    CaptureSink sink;
    for (const char* s : kSentences) {
        std::string mb = sjis(s);
        std::u16string wide = utf16(s);
        EXPECT_EQ(decoded(mb), wide) << s;
        EXPECT_EQ(encoded(wide), mb) << s;
        EXPECT_EQ(decoded(s, kCodePageUtf8), wide) << s;
        EXPECT_EQ(encoded(wide, kCodePageUtf8), s) << s;
    }
    EXPECT_TRUE(sink.messages().empty());
}

TEST(Encoding, UnmappableUnitsBecomeEscapes) {
    struct Case {
        std::u16string_view units;
        std::string_view cp932;
    } cases[] = {
        {u"caf\u00E9!", "caf{%u00E9}!"},
        // Best-fit substitutes are refused: yen sign, wave dash, em dash.
        {u"\u00A5\u301C\u2014", "{%u00A5}{%u301C}{%u2014}"},
        {u"\uFF5E\uFFE5", "\x81\x60\x81\x8F"},
        // Each half of a pair gets its own escape.
        {u"a\U0001F600b", "a{%uD83D}{%uDE00}b"},
        {u"\u3042\xD800", "\x82\xA0{%uD800}"},
    };
    for (const auto& c : cases) EXPECT_EQ(encoded(c.units), c.cp932);
    EXPECT_EQ(encoded(u"\U0001F600", kCodePageUtf8), "\xF0\x9F\x98\x80");
    EXPECT_EQ(encoded(u"x\xDC00y", kCodePageUtf8), "x{%uDC00}y");
}

TEST(Encoding, EscapesDecodeBack) {
    CaptureSink sink;
    EXPECT_EQ(decoded("caf{%u00E9}!"), u"caf\u00E9!");
    EXPECT_EQ(decoded("{%uD83D}{%uDE00}", kCodePageUtf8), u"\U0001F600");
    EXPECT_EQ(decoded("{%u}"), std::u16string(1, u'\0'));
    EXPECT_EQ(decoded("{%u12345}"), u"\u2345");
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
    struct Case {
        std::string_view text;
        int codePage;
        std::u16string_view wide;
    } cases[] = {
        {"a\x80"
         "b",
         kCodePageAnsi, u"a<?>b"},
        {"\xEB\x40\x82\xA0", kCodePageAnsi, u"<?>\u3042"},
        // A stray lead byte does not swallow the line end after it.
        {"x\x81\nz", kCodePageAnsi, u"x<?>\nz"},
        {"tail\x82", kCodePageAnsi, u"tail<?>"},
        {"\xE3\x81", kCodePageUtf8, u"<?>"},
        // Cutting down around the bad byte keeps the four-byte sequence whole.
        {"\xF0\x9F\x8D\xA3\xFF", kCodePageUtf8, u"\U0001F363<?>"},
        {"\xED\xA0\x80z", kCodePageUtf8, u"<?>z"},
    };
    for (const auto& c : cases) {
        CaptureSink sink;
        EXPECT_EQ(decoded(c.text, c.codePage), c.wide) << c.text;
        EXPECT_EQ(sink.messages().size(), 1u) << c.text;
    }
    CaptureSink sink;
    decoded("a\xFF", kCodePageUtf8);
    EXPECT_EQ(numberedTexts(sink), Texts{"35007 Cannot convert ASCII to Unicode: FFh"});
}

TEST(Encoding, CharactersStraddlingChunkEndsStayWhole) {
    CaptureSink sink;
    std::string utf8Text = "あいう漢字テキスト";
    for (size_t pad : {1997u, 1998u, 1999u, 2000u}) {
        std::string mb = std::string(pad, 'a') + sjis(utf8Text);
        std::u16string wide = std::u16string(pad, u'a') + utf16(utf8Text);
        EXPECT_EQ(decoded(mb), wide) << pad;
        EXPECT_EQ(encoded(wide), mb) << pad;
        // A four-byte sequence first, then three-byte ones.
        std::string u8 = std::string(pad, 'a') + "\xF0\x9F\x8D\xA3" + utf8Text;
        EXPECT_EQ(decoded(u8, kCodePageUtf8),
                  std::u16string(pad, u'a') + u"\U0001F363" + utf16(utf8Text))
            << pad;
    }
    // A pair across the 1000-unit chunk end still reaches UTF-8 whole.
    std::u16string pairAtEnd = std::u16string(999, u'x') + u"\U0001F600";
    EXPECT_EQ(encoded(pairAtEnd, kCodePageUtf8), std::string(999, 'x') + "\xF0\x9F\x98\x80");
    EXPECT_TRUE(sink.messages().empty());
}

TEST(Encoding, OneBadCharacterInALongTextIsIsolated) {
    CaptureSink sink;
    std::string good = sjis("日本語のテキスト。");
    std::string text;
    for (int i = 0; i < 300; ++i) text += good;
    std::u16string wide = decoded(text);
    std::string bad = text.substr(0, 1500) + "\x80" + text.substr(1500);
    std::u16string expected = decoded(text.substr(0, 1500)) + u"<?>" + decoded(text.substr(1500));
    EXPECT_EQ(decoded(bad), expected);
    EXPECT_EQ(sink.messages().size(), 1u);

    std::u16string units = wide.substr(0, 700) + u"\u00E9" + wide.substr(700);
    EXPECT_EQ(encoded(units),
              encoded(wide.substr(0, 700)) + "{%u00E9}" + encoded(wide.substr(700)));
}

TEST(Encoding, LengthsAppendAndCustomEscapes) {
    LWStr wide(u"<");
    mbToWide("abc\0def", -1, wide);  // up to the NUL, appended
    EXPECT_EQ(wide.view(), u"<abc");
    LStr mb;
    wideToMb(u"\u00E9", 1, mb, kCodePageAnsi, "&#x", ";");
    EXPECT_EQ(mb.view(), "&#x00E9;");
}

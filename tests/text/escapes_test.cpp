// Backslash escapes: decoding single escapes, unescaping whole texts (with
// their warnings) and the printable form.
#include "text/escapes.h"

#include <gtest/gtest.h>

#include <string>

#include "common/capture_sink.h"
#include "support/sink_texts.h"

TEST(DecodeEscape, TableOfEscapes) {
    struct Case {
        std::string_view after;
        std::string_view bytes;
        int consumed;
    } cases[] = {
        {"\\", "\\", 1},
        {"n", "\r\n", 1},
        {"t", "\t", 1},
        {"f", "\x0C", 1},
        {"xfFz", "\xFF", 3},
        {"X8140", "\x81\x40", 5},
        {"u3042", "\x30\x42", 5},
        {"u00411", std::string_view("\0A", 2), 5},
        {"q", "", 0},
        {"", "", 0},
    };
    for (const auto& c : cases) {
        CaptureSink sink;
        LStr out("<");
        EXPECT_EQ(decodeEscape(c.after, out), c.consumed) << c.after;
        EXPECT_EQ(out.view().substr(1), c.bytes) << c.after;
        EXPECT_TRUE(sink.messages().empty()) << c.after;
    }
}

TEST(DecodeEscape, BadHexDigitsWarnAndConsumeNothing) {
    for (std::string_view after : {"x4", "x", "xg1", "u30", "X12z45"}) {
        CaptureSink sink;
        LStr out;
        EXPECT_EQ(decodeEscape(after, out), 0) << after;
        EXPECT_TRUE(out.empty());
        EXPECT_EQ(sink.messages().size(), 1u) << after;
    }
    CaptureSink sink;
    LStr out;
    decodeEscape("xg1", out);
    EXPECT_EQ(numberedTexts(sink), Texts{"35000 illegal escape: '\\x'+67+31"});
}

TEST(Unescape, DecodesEscapesAndKeepsTrailBytesAndBadOnes) {
    struct Case {
        std::string_view in, out;
        size_t messages;
    } cases[] = {
        {"a\\nb", "a\r\nb", 0},
        {"x\\x41\\x42y", "xABy", 0},
        {"\\x00z", std::string_view("\0z", 2), 0},
        // 0x95 0x5C is one character (表); the n after it is plain text.
        {"\x95\x5Cn", "\x95\x5Cn", 0},
        {"\x95\x5C\\t\x83\x5C", "\x95\x5C\t\x83\x5C", 0},
        {"a\\qb", "a\\qb", 1},
        {"\\x4", "\\x4", 2},
        {"end\\", "end\\", 1},
    };
    for (const auto& c : cases) {
        CaptureSink sink;
        LStr text(c.in);
        EXPECT_EQ(unescape(text), c.in != c.out) << c.in;  // whether anything was decoded
        EXPECT_EQ(text.view(), c.out) << c.in;
        EXPECT_EQ(sink.messages().size(), c.messages) << c.in;
    }
}

TEST(Printable, ControlBytesBecomeEscapes) {
    struct Case {
        std::string_view in, out;
    } cases[] = {
        {"a\r\nb\tc", "a\\r\\nb\\tc"},
        {"\x01\x7F`", "\\x01\\x7F\\x60"},
        {"\x80\xA0\xFF", "\\x80\\xA0\\xFF"},
        {"\x82\xA0\xB1 _x9\\", "\x82\xA0\xB1 _x9\\"},
        {"\x81\x0A", "\x81\\n"},  // a lead byte without a valid trail stands alone
        {std::string_view("\0", 1), "\\x00"},
    };
    for (const auto& c : cases) {
        LStr out("old");
        printable(c.in, out);
        EXPECT_EQ(out.view(), c.out) << c.in;
    }
}

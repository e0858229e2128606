// Backslash escapes: decoding single escapes, unescaping whole texts (with
// their warnings) and the printable form.
#include "text/escapes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/capture_sink.h"
#include "support/sink_texts.h"

namespace {

std::string unescaped(std::string_view in) {
    LStr text(in);
    unescape(text);
    return std::string(text.view());
}

}  // namespace

TEST(DecodeEscape, TableOfEscapes) {
    struct Case {
        std::string_view after;
        std::string_view bytes;
        int consumed;
    } cases[] = {
        {"\\", "\\", 1},
        {"n", "\r\n", 1},
        {"r", "\r", 1},
        {"t", "\t", 1},
        {"a", "\x07", 1},
        {"e", "\x1B", 1},
        {"v", "\x0B", 1},
        {"f", "\x0C", 1},
        {"x41", "A", 3},
        {"xfFz", "\xFF", 3},
        {"X8140", "\x81\x40", 5},
        {"u3042", "\x30\x42", 5},
        {"u00411", std::string_view("\0A", 2), 5},
        {"q", "", 0},
        {"", "", 0},
        {"N", "", 0},
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
    struct Case {
        std::string_view after;
        const char* message;
    } cases[] = {
        {"x4", "illegal escape: '\\x'+34+00"},  {"x", "illegal escape: '\\x'+00+00"},
        {"xg1", "illegal escape: '\\x'+67+31"}, {"u30", "illegal escape: 'u30'"},
        {"X12z45", "illegal escape: 'X12z4'"},
    };
    for (const auto& c : cases) {
        CaptureSink sink;
        LStr out;
        EXPECT_EQ(decodeEscape(c.after, out), 0) << c.after;
        EXPECT_TRUE(out.empty());
        EXPECT_EQ(numberedTexts(sink), Texts{"35000 " + std::string(c.message)}) << c.after;
    }
}

TEST(Unescape, DecodesEveryEscape) {
    struct Case {
        std::string_view in, out;
    } cases[] = {
        {"a\\tb", "a\tb"},  {"a\\nb", "a\r\nb"},
        {"\\x41", "A"},     {"\\u3042", "\x30\x42"},
        {"\\\\n", "\\n"},   {"x\\x41\\x42y", "xABy"},
        {"plain", "plain"}, {"\\x00z", std::string_view("\0z", 2)},
    };
    for (const auto& c : cases) {
        CaptureSink sink;
        EXPECT_EQ(unescaped(c.in), c.out) << c.in;
        EXPECT_TRUE(sink.messages().empty()) << c.in;
    }
}

TEST(Unescape, TrailBytesAndBadEscapesAreKept) {
    struct Case {
        std::string_view in, out;
        Texts messages;  // each numbered 35000
    } cases[] = {
        // 0x95 0x5C is one character (表); the n after it is plain text.
        {"\x95\x5Cn", "\x95\x5Cn", {}},
        {"\x95\x5C\\t\x83\x5C", "\x95\x5C\t\x83\x5C", {}},
        {"a\\qb", "a\\qb", {"illegal escape: '\\'+71"}},
        {"\\x4", "\\x4", {"illegal escape: '\\x'+34+00", "illegal escape: '\\'+78"}},
        {"end\\", "end\\", {"illegal escape: '\\'+00"}},
    };
    for (const auto& c : cases) {
        CaptureSink sink;
        LStr text(c.in);
        EXPECT_EQ(unescape(text), c.in != c.out) << c.in;  // whether anything was decoded
        EXPECT_EQ(text.view(), c.out) << c.in;
        Texts expected;
        for (const auto& m : c.messages) expected.push_back("35000 " + m);
        EXPECT_EQ(numberedTexts(sink), expected) << c.in;
    }
}

TEST(Printable, ControlBytesBecomeEscapes) {
    struct Case {
        std::string_view in, out;
    } cases[] = {
        {"a\r\nb\tc", "a\\r\\nb\\tc"},
        {"\x01\x1B\x7F", "\\x01\\x1B\\x7F"},
        {"`", "\\x60"},
        {"\x80\xA0\xFE\xFF", "\\x80\\xA0\\xFE\\xFF"},
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

// Backslash escapes: decoding single escapes, unescaping whole texts (with
// their warnings) and the printable form.
#include "text/escapes.h"

#include <gtest/gtest.h>

#include <string>

#include "common/capture_sink.h"

using std::string_view_literals::operator""sv;

TEST(DecodeEscape, TableOfEscapes) {
    // After the backslash, bytes appended, bytes consumed.
    // clang-format off
    const std::tuple<std::string_view, std::string_view, int> cases[] = {
        {"\\", "\\", 1}, {"n", "\r\n", 1}, {"t", "\t", 1}, {"f", "\x0C", 1}, {"q", "", 0},
        {"xfFz", "\xFF", 3}, {"X8140", "\x81\x40", 5}, {"u3042", "\x30\x42", 5},
        {"u00411", "\0A"sv, 5}, {"", "", 0}};
    // clang-format on
    for (const auto& [after, bytes, consumed] : cases) {
        CaptureSink sink;
        LStr out("<");
        EXPECT_EQ(decodeEscape(after, out), consumed) << after;
        EXPECT_EQ(out.view().substr(1), bytes) << after;
        EXPECT_TRUE(sink.messages().empty()) << after;
    }
}

TEST(DecodeEscape, BadHexDigitsWarnAndConsumeNothing) {
    std::string last;
    for (std::string_view after : {"x4", "x", "u30", "X12z45", "xg1"}) {
        CaptureSink sink;
        LStr out;
        EXPECT_EQ(decodeEscape(after, out), 0) << after;
        EXPECT_TRUE(out.empty());
        EXPECT_EQ(sink.messages().size(), 1u) << after;
        last = sink.allText();
    }
    EXPECT_EQ(last, "illegal escape: '\\x'+67+31\n");
}

TEST(Unescape, DecodesEscapesAndKeepsTrailBytesAndBadOnes) {
    // 0x95 0x5C is one character (表); the n after it is plain text.
    // clang-format off
    const std::tuple<std::string_view, std::string_view, size_t> cases[] = {  // messages last
        {"a\\nb", "a\r\nb", 0}, {"x\\x41\\x42y", "xABy", 0}, {"\\x00z", "\0z"sv, 0},
        {"\x95\x5Cn", "\x95\x5Cn", 0}, {"\x95\x5C\\t\x83\x5C", "\x95\x5C\t\x83\x5C", 0},
        {"a\\qb", "a\\qb", 1}, {"\\x4", "\\x4", 2}, {"end\\", "end\\", 1}};
    // clang-format on
    for (const auto& [in, out, messages] : cases) {
        CaptureSink sink;
        LStr text(in);
        EXPECT_EQ(unescape(text), in != out) << in;  // whether anything was decoded
        EXPECT_EQ(text.view(), out) << in;
        EXPECT_EQ(sink.messages().size(), messages) << in;
    }
}

TEST(Printable, ControlBytesBecomeEscapes) {
    // A lead byte without a valid trail stands alone.
    // clang-format off
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"a\r\nb\tc", "a\\r\\nb\\tc"}, {"\x01\x7F`", "\\x01\\x7F\\x60"}, {"\0"sv, "\\x00"},
        {"\x80\xA0\xFF", "\\x80\\xA0\\xFF"}, {"\x82\xA0\xB1 _x9\\", "\x82\xA0\xB1 _x9\\"},
        {"\x81\x0A", "\x81\\n"}};
    // clang-format on
    for (const auto& [in, expected] : cases) {
        LStr out("old");
        printable(in, out);
        EXPECT_EQ(out.view(), expected) << in;
    }
}

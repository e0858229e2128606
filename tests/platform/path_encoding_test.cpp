// Path names between the file system's UTF-8 and the program's Shift-JIS:
// every name must come back to the same bytes, so every file stays reachable.
#include "platform/path_encoding.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct NameCase {
    const char* label;
    std::string utf8;  // the name on disk
    std::string sjis;  // what the program sees
};

TEST(PathEncoding, NamesRoundTripThroughShiftJis) {
    const NameCase cases[] = {
        {"ascii", "notes/a b.txt", "notes/a b.txt"},
        {"japanese", "日本語ファイル①.txt",
         "\x93\xfa\x96\x7b\x8c\xea\x83\x74\x83\x40\x83\x43"
         "\x83\x8b\x87\x40.txt"},
        {"backslash in a trail byte", "表/x", "\x95\x5c/x"},
        {"outside CP932", "sushi🍣.txt", "sushi{%uD83C}{%uDF63}.txt"},
        // CP932 would turn these into other characters, so they are escaped.
        {"yen sign", "a¥b", "a{%u00A5}b"},
        {"invalid UTF-8 byte", "bad\xff.txt", "bad{%uDCFF}.txt"},
        {"truncated sequence", "x\xe3\x81", "x{%uDCE3}{%uDC81}"},
        {"literal escape text", "{%u0041}.txt", "{%u007B}%u0041}.txt"},
    };
    for (const auto& c : cases) {
        LStr sjis = fromSystemPath(c.utf8);
        EXPECT_EQ(sjis.view(), c.sjis) << c.label;
        EXPECT_EQ(toSystemPath(sjis), c.utf8) << c.label;
    }
}

TEST(PathEncoding, OnlyWholeEscapesAfterACharacterStartAreDecoded) {
    // "本" is 0x96 0x7B: its trail byte "{" must not start an escape.
    EXPECT_EQ(toSystemPath("\x96\x7b%u0041}"), "本%u0041}");
    // A typed escape for a character with a Shift-JIS form still reaches the file.
    EXPECT_EQ(toSystemPath("{%u3042}.txt"), "あ.txt");
    EXPECT_EQ(toSystemPath("{%u41}"), "{%u41}");  // not four digits: plain text
}

TEST(PathEncoding, ConversionIntoExistingStringReplacesIt) {
    LStr out("a much longer previous name");
    fromSystemPath("短い", out);
    EXPECT_EQ(out.view(), "\x92\x5a\x82\xa2");
    fromSystemPath("b", out);
    EXPECT_EQ(out.view(), "b");
}

}  // namespace

// Piecewise conversion of marked texts gives exactly what decoding the whole
// text gives, also where a character or a unit is cut by the end of a read
// block or of the file.
#include "convert/marked_text.h"

#include <gtest/gtest.h>

#include <string>

#include "common/string_stream.h"
#include "common/temp_dir.h"
#include "text/stream_reading.h"

namespace {

constexpr size_t kBlock = 1 << 16;

std::string wholeDecoded(const std::string& bytes) {
    StringStream in(bytes);
    LSrm stream(&in);
    LStr text;
    readMarkedText(stream, text);
    return std::string(text.view());
}

std::string piecewise(const std::string& bytes, const TempDir& dir) {
    const std::string path = dir.path("out.txt");
    {
        StringStream in(bytes);
        LSrm stream(&in);
        ConvertedTextWriter writer(path);
        if (!writeMarkedText(stream, writer) || !writer.commit()) return "<failed>";
    }
    return dir.read("out.txt");
}

// A marked text whose tail starts offset bytes after the mark, filler before.
std::string at(std::string_view mark, size_t offset, std::string_view tail, char fill) {
    return std::string(mark) + std::string(offset, fill) + std::string(tail);
}

TEST(MarkedText, PiecesJoinAsTheWholeDecodes) {
    const std::string le("\xff\xfe", 2), be("\xfe\xff", 2), u8 = "\xef\xbb\xbf";
    const std::string pairLe("\x3d\xd8\x00\xde", 4);  // U+1F600
    const std::string pairBe("\xd8\x3d\xde\x00", 4);
    struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"utf-8 character across blocks", at(u8, kBlock - 1, "\xe6\x97\xa5 end\n", 'a')},
        {"utf-8 broken at a block end", at(u8, kBlock - 1, "\xe6\x97 x\n", 'a')},
        {"utf-8 cut at the end", at(u8, 10, "\xe6\x97", 'a')},
        {"utf-8 cut at the end of a block", at(u8, kBlock - 2, "\xe6\x97", 'a')},
        {"utf-16le pair across blocks",
         at(le, kBlock - 2, pairLe + std::string("a\0\n\0", 4), 'a')},
        {"utf-16be unit across blocks", at(be, kBlock - 1, std::string("\x65\xe5\0\n", 4), '\0')},
        {"utf-16be pair and NUL units", at(be, 40, pairBe + std::string("\0\0\0a", 4), '\0')},
        {"utf-16le odd last byte", le + std::string("a\0b", 3)},
    };
    TempDir dir;
    for (const auto& c : cases) EXPECT_EQ(piecewise(c.bytes, dir), wholeDecoded(c.bytes)) << c.name;
}

}  // namespace

// Files are read as Shift-JIS: marked UTF-16/UTF-8 texts, and BOM-less
// UTF-8 and EUC-JP ones when detection is on, are decoded; everything else is
// read as it is.
#include "convert/text_reader.h"

#include <gtest/gtest.h>

#include "common/temp_dir.h"
#include "text/stream_reading.h"

static std::string readText(const std::string& path, bool autoDetect = true) {
    ConversionOptions options;
    options.autoDetect = autoDetect;
    auto reader = openTextReader(path, options);
    if (!reader) return "<closed>";
    LStr text;
    readAllBytes(*reader, text);
    return std::string(text.view());
}

TEST(TextReader, EncodingsAreDecodedToShiftJis) {
    const std::string sjis = "\x93\xfa\x96\x7b\x8c\xea abc\r\n";  // 日本語 abc
    struct {
        const char* name;
        std::string bytes;
        std::string text;
        bool detected = false;  // decoded only when detection is on
    } cases[] = {
        {"sjis.txt", sjis, sjis},
        {"utf8.txt", "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e abc\r\n", sjis, true},
        {"euc.txt", "\xc6\xfc\xcb\xdc\xb8\xec abc\r\n", sjis, true},
        {"eucms.txt", "\xad\xa1\xad\xa2 \xad\xea \xad\xb8 \xa1\xc1\n",  // ①② ㈱ Ⅳ ～
         "\x87\x40\x87\x41 \x87\x8a \x87\x57 \x81\x60\n", true},
        {"utf8bom.txt", "\xef\xbb\xbf\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e abc\r\n", sjis},
        {"utf16le.txt", std::string("\xff\xfe\xe5\x65\x2c\x67\x9e\x8a \0a\0b\0c\0\r\0\n\0", 20),
         sjis},
        {"utf16be.txt", std::string("\xfe\xff\x65\xe5\x67\x2c\x8a\x9e\0 \0a\0b\0c\0\r\0\n", 20),
         sjis},
        {"ascii.txt", "plain\n", "plain\n"},
        {"empty.txt", "", ""},
        // Starts like UTF-8 but is Shift-JIS further on: kept as it is.
        {"late.txt", std::string(2000, 'a') + sjis, std::string(2000, 'a') + sjis},
        // Unmappable characters travel as escapes.
        {"emoji.txt", "\xf0\x9f\x8d\xa3\n", "{%uD83C}{%uDF63}\n", true},
    };
    TempDir dir;
    for (const auto& c : cases) {
        std::string path = dir.write(c.name, c.bytes);
        EXPECT_EQ(readText(path), c.text) << c.name;
        EXPECT_EQ(readText(path, false), c.detected ? c.bytes : c.text) << c.name;
    }
    EXPECT_EQ(readText(dir.path() + "/none.txt"), "<closed>");
}

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

// A ranged reader gives the very bytes at every offset that the whole read
// gives, decoding what needs decoding; only a text read as it is stays on
// the file.
TEST(TextReader, RangedReadingSeesTheTextOfAWholeRead) {
    const std::string sjis = "\x93\xfa\x96\x7b\x8c\xea abc\r\n";  // 日本語 abc
    std::string longSjis;
    for (int i = 0; i < 3000; ++i) longSjis += std::to_string(i) + sjis;
    struct {
        const char* name;
        std::string bytes;
        bool onFile;  // the ranged reader reads the file where it seeks
    } cases[] = {
        {"sjis.txt", longSjis, true},
        {"utf8bom.txt", "\xef\xbb\xbf" + std::string(40000, 'a') + "\xe6\x97\xa5\r\n", false},
        {"utf16le.txt", std::string("\xff\xfe\xe5\x65\x2c\x67\r\0\n\0", 10), false},
        {"utf8.txt", std::string(30000, 'b') + "\xe6\x97\xa5\xe6\x9c\xac\n", false},
        {"euc.txt", "\xc6\xfc\xcb\xdc\xb8\xec abc\r\n", false},
    };
    TempDir dir;
    for (const auto& c : cases) {
        const std::string path = dir.write(c.name, c.bytes);
        const std::string whole = readText(path);
        auto ranged = openTextReader(path, {}, nullptr, nullptr, true);
        ASSERT_TRUE(ranged) << c.name;
        // Read whole, the text is all in view at once.
        EXPECT_EQ(ranged->buffered() < int32_t(whole.size()), c.onFile) << c.name;
        for (size_t at : {whole.size() / 2, size_t(1), whole.size() - 3, size_t(0)}) {
            ranged->seek(int64_t(at));
            char got[16] = {};
            const int32_t n = ranged->read(got, 16);
            EXPECT_EQ(std::string(got, size_t(n)), whole.substr(at, 16)) << c.name << " @" << at;
        }
    }
}

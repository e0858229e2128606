// Whole-stream reads, byte-order marks and the decoding of marked texts.
#include "text/stream_reading.h"

#include <gtest/gtest.h>

#include <string>

#include "common/capture_sink.h"
#include "text/memory_stream.h"

namespace {

// UTF-16 bytes, little-endian or big-endian.
std::string utf16(std::u16string_view units, bool bigEndian = false) {
    std::string bytes;
    for (char16_t u : units) {
        bytes += char(bigEndian ? u >> 8 : u & 0xFF);
        bytes += char(bigEndian ? u & 0xFF : u >> 8);
    }
    return bytes;
}

struct Decoded {
    TextEncoding encoding;
    std::string text;
};

Decoded decodeMarked(const std::string& file) {
    LMemSrm stream{std::string_view(file)};
    LStr out;
    TextEncoding encoding = readMarkedText(stream, out);
    return {encoding, std::string(out.view())};
}

}  // namespace

TEST(StreamReading, MarkedTextsDecodeToShiftJis) {
    const std::u16string text = u"日本語\u00E9 text\r\n";
    const std::string sjis = "\x93\xFA\x96\x7B\x8C\xEA{%u00E9} text\r\n";
    struct Case {
        std::string file;
        TextEncoding encoding;
        std::string text;
    } cases[] = {
        {"\xFE\xFF" + utf16(text, true), TextEncoding::kUtf16Be, sjis},
        {"\xFF\xFE", TextEncoding::kUtf16Le, ""},
        {"\xEF\xBB\xBF", TextEncoding::kUtf8, ""},
    };
    CaptureSink sink;
    for (const auto& c : cases) {
        Decoded d = decodeMarked(c.file);
        EXPECT_EQ(d.encoding, c.encoding) << c.file;
        EXPECT_EQ(d.text, c.text) << c.file;
    }
}

TEST(StreamReading, NativeTextIsLeftUnread) {
    for (std::string file : {"plain", "", "\xEF\xBB", "\xFF"}) {
        LMemSrm stream{std::string_view(file)};
        LStr out;
        EXPECT_EQ(readMarkedText(stream, out), TextEncoding::kNative) << file;
        EXPECT_TRUE(out.empty());
        EXPECT_EQ(stream.tell(), 0);
        LStr all;
        EXPECT_EQ(readAllBytes(stream, all), int32_t(file.size()));
        EXPECT_EQ(all.view(), file);
    }
}

TEST(StreamReading, ReadAllBytesKeepsNulsAcrossBlocks) {
    std::string file(25000, 'x');
    file[3] = '\0';
    file[10000] = '\0';
    file += "end";
    LMemSrm stream{std::string_view(file)};
    LStr out("pre");
    EXPECT_EQ(readAllBytes(stream, out), int32_t(file.size()));
    EXPECT_EQ(out.view(), "pre" + file);
}

TEST(StreamReading, ReadAllUtf16DropsOnlyNulUnits) {
    std::u16string units(15000, u'\u3042');
    units[5] = 0;
    units[12000] = 0;
    std::u16string expected = units;
    std::erase(expected, u'\0');
    std::string file = utf16(units) + "z";  // an odd last byte
    LMemSrm stream{std::string_view(file)};
    LWStr out;
    EXPECT_EQ(readAllUtf16(stream, out), int32_t(expected.size()));
    EXPECT_EQ(std::u16string(out.view()), expected);
}

TEST(StreamReading, ConversionMessagesAreHeldBack) {
    // An undecodable byte in a UTF-8 text gives "<?>" but no message reaches
    // the user while the file is converted.
    int quietSeen = -1;
    struct QuietProbe : LMsg {
        int* seen;
        explicit QuietProbe(int* s) : seen(s) {}
        void output(int, const char*, const char*, std::string_view) override {
            *seen = conversionQuietCount();
        }
    };
    auto previous = installMessageSink(std::make_unique<QuietProbe>(&quietSeen));
    Decoded d = decodeMarked(
        "\xEF\xBB\xBF"
        "a\xFF"
        "b");
    installMessageSink(std::move(previous));
    EXPECT_EQ(d.text, "a<?>b");
    EXPECT_GT(quietSeen, 0);
    EXPECT_EQ(conversionQuietCount(), 0);
}

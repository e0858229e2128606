// Whole-stream reads, byte-order marks and the decoding of marked texts.
#include "text/stream_reading.h"

#include <gtest/gtest.h>

#include <string>

#include "common/capture_sink.h"
#include "text/memory_stream.h"

namespace {

std::string utf16be(std::u16string_view units) {
    std::string bytes;
    for (char16_t u : units) bytes += {char(u >> 8), char(u & 0xFF)};
    return bytes;
}

}  // namespace

TEST(StreamReading, MarkedTextsDecodeToShiftJisOthersStayUnread) {
    const std::string sjis = "\x93\xFA\x96\x7B\x8C\xEA{%u00E9} text\r\n";
    const std::tuple<std::string, TextEncoding, std::string> cases[] = {
        {"\xFE\xFF" + utf16be(u"日本語\u00E9 text\r\n"), TextEncoding::kUtf16Be, sjis},
        {"\xFF\xFE", TextEncoding::kUtf16Le, ""},
        {"\xEF\xBB\xBF", TextEncoding::kUtf8, ""},
        {"plain", TextEncoding::kNative, ""},
        {"\xEF\xBB", TextEncoding::kNative, ""},
        {"\xFF", TextEncoding::kNative, ""},
    };
    CaptureSink sink;
    for (const auto& [file, encoding, text] : cases) {
        LMemSrm stream{std::string_view(file)};
        LStr out;
        EXPECT_EQ(readMarkedText(stream, out), encoding) << file;
        EXPECT_EQ(out.view(), text) << file;
        if (encoding != TextEncoding::kNative) continue;
        LStr all;  // a native text is left unread
        EXPECT_EQ(readAllBytes(stream, all), int32_t(file.size()));
        EXPECT_EQ(all.view(), file);
    }
}

TEST(StreamReading, ReadAllBytesKeepsNulsAcrossBlocks) {
    std::string file(25000, 'x');
    file[3] = file[10000] = '\0';
    LMemSrm stream{std::string_view(file)};
    LStr out("pre");
    EXPECT_EQ(readAllBytes(stream, out), int32_t(file.size()));
    EXPECT_EQ(out.view(), "pre" + file);
}

TEST(StreamReading, ConversionMessagesAreHeldBack) {
    // An undecodable byte in a UTF-8 text gives "<?>" but no message reaches
    // the user while the file is converted.
    struct QuietProbe : LMsg {
        int seen = -1;
        void output(int, const char*, const char*, std::string_view) override {
            seen = conversionQuietCount();
        }
    };
    auto probe = std::make_unique<QuietProbe>();
    QuietProbe* seen = probe.get();
    auto previous = installMessageSink(std::move(probe));
    LMemSrm stream{std::string_view("\xEF\xBB\xBF\x61\xFF\x62")};
    LStr out;
    readMarkedText(stream, out);
    EXPECT_GT(seen->seen, 0);
    installMessageSink(std::move(previous));
    EXPECT_EQ(out.view(), "a<?>b");
}

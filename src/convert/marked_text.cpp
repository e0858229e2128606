#include "convert/marked_text.h"

#include <array>

#include "base/lwstr.h"
#include "support/message_service.h"
#include "text/encoding.h"
#include "text/stream_reading.h"

namespace {

constexpr int32_t kBlock = 1 << 16;

// Bytes at the end of text that start a UTF-8 sequence it does not finish.
size_t unfinishedUtf8(std::string_view text) {
    for (size_t back = 1; back <= 3 && back <= text.size(); ++back) {
        const auto byte = uint8_t(text[text.size() - back]);
        if ((byte & 0xC0) == 0x80) continue;  // a continuation byte: look further back
        const size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return length > back ? back : 0;
    }
    return 0;
}

// Converts wide to Shift-JIS and writes it. Each half of a surrogate pair
// becomes an escape of its own, so a pair may be cut between pieces.
bool writeWide(const LWStr& wide, ConvertedTextWriter& writer) {
    LStr sjis;
    wideToMb(wide.view(), sjis);
    return writer.writeAsIs(sjis.view());
}

bool writeUtf16(LSrmBase& file, bool bigEndian, ConvertedTextWriter& writer) {
    for (;;) {
        LWStr wide;
        if (readUtf16Block(file, wide) == 0) return true;
        if (bigEndian) swapUtf16Bytes(wide);
        if (!writeWide(wide, writer)) return false;
    }
}

bool writeUtf8(LSrmBase& file, ConvertedTextWriter& writer) {
    std::array<char, kBlock> block;
    int32_t carried = 0;
    for (int32_t n; (n = file.read(block.data() + carried, kBlock - carried)) > 0;) {
        n += carried;
        const std::string_view text(block.data(), size_t(n));
        const bool end = file.endOfInput();
        carried = end ? 0 : int32_t(unfinishedUtf8(text));
        LWStr wide;
        mbToWide(text.substr(0, text.size() - size_t(carried)), wide, kCodePageUtf8);
        if (!writeWide(wide, writer)) return false;
        std::copy(block.data() + n - carried, block.data() + n, block.data());
    }
    LWStr wide;  // an unfinished sequence at the very end
    mbToWide(std::string_view(block.data(), size_t(carried)), wide, kCodePageUtf8);
    return writeWide(wide, writer);
}

}  // namespace

bool writeMarkedText(LSrmBase& file, ConvertedTextWriter& writer) {
    const ByteOrderMark mark = detectByteOrderMark(file);
    file.skipBytes(mark.length);
    ConversionQuiet quiet;
    switch (mark.encoding) {
        case TextEncoding::kUtf16Le:
            return writeUtf16(file, false, writer);
        case TextEncoding::kUtf16Be:
            return writeUtf16(file, true, writer);
        case TextEncoding::kUtf8:
            return writeUtf8(file, writer);
        case TextEncoding::kNative:
            break;
    }
    return false;
}

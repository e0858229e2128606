// Whole-stream reads and the conversion of marked UTF-16 and UTF-8 texts.
#include "text/stream_reading.h"

#include <algorithm>
#include <array>

#include "support/message_service.h"
#include "text/encoding.h"
#include "text/utf8_fast.h"

namespace {

constexpr int32_t kUtf16Block = 20000;  // bytes

}  // namespace

ByteOrderMark detectByteOrderMark(LSrmBase& stream) {
    int32_t first = stream.peekUnit16();
    if (first == 0xFEFF) return {TextEncoding::kUtf16Le, 2};
    if (first == 0xFFFE) return {TextEncoding::kUtf16Be, 2};
    int32_t available = 0;
    const char* bytes = stream.peekBytes(3, &available);
    if (available >= 3 && std::string_view(bytes, 3) == "\xEF\xBB\xBF")
        return {TextEncoding::kUtf8, 3};
    return {};
}

int32_t readAllBytes(LSrmBase& stream, LStr& out) {
    return stream.readRest(out);
}

int32_t readUtf16Block(LSrmBase& stream, LWStr& out) {
    std::array<char, kUtf16Block> block;
    std::array<char16_t, kUtf16Block / 2> units;
    const int32_t n = stream.read(block.data(), kUtf16Block);
    int32_t kept = 0;
    for (int32_t i = 0; i + 1 < n; i += 2) {
        char16_t unit = char16_t(uint8_t(block[i]) | uint8_t(block[i + 1]) << 8);
        if (unit != 0) units[kept++] = unit;
    }
    out.append(units.data(), kept);
    return std::max(n, 0);
}

int32_t readAllUtf16(LSrmBase& stream, LWStr& out) {
    const int32_t before = out.length();
    while (readUtf16Block(stream, out) > 0) {
    }
    return out.length() - before;
}

void swapUtf16Bytes(LWStr& text) {
    for (int32_t i = 0; i < text.length(); ++i) text[i] = char16_t((text[i] >> 8) | (text[i] << 8));
}

TextEncoding readMarkedText(LSrmBase& stream, LStr& out) {
    ByteOrderMark mark = detectByteOrderMark(stream);
    if (mark.encoding == TextEncoding::kNative) return mark.encoding;
    ConversionQuiet quiet;
    stream.skipBytes(mark.length);
    LWStr wide;
    if (mark.encoding == TextEncoding::kUtf8) {
        LStr bytes;
        readAllBytes(stream, bytes);
        if (utf8ToNative(bytes.view(), out)) return mark.encoding;
        mbToWide(bytes.view(), wide, kCodePageUtf8);
    } else {
        readAllUtf16(stream, wide);
        if (mark.encoding == TextEncoding::kUtf16Be) swapUtf16Bytes(wide);
    }
    wideToMb(wide.view(), out, kCodePageAnsi);
    return mark.encoding;
}

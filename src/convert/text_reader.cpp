// Files are read as Shift-JIS text. A file that starts with a byte-order mark
// (UTF-16 or UTF-8), or a BOM-less file that is valid UTF-8 and holds at
// least one multibyte character, is decoded in memory first, so that records,
// line numbers and index block offsets all refer to the decoded text. A
// document without a mark is read through its converted text instead; the
// UTF-8 test comes after that, as RTF and the like look like ASCII.
#include "convert/text_reader.h"

#include <optional>

#include "base/lwstr.h"
#include "support/message_service.h"
#include "support/path_utils.h"
#include "text/encoding.h"
#include "text/io_file.h"
#include "text/memory_stream.h"
#include "text/stream_reading.h"

namespace {

// Larger BOM-less files are read as they are rather than held in memory.
constexpr int64_t kMaxDecodedSize = 64 << 20;

// Holds the decoded text for the stream over it (constructed before it).
struct DecodedTextHolder {
    LStr text;
};

class DecodedTextReader : private DecodedTextHolder, public LMemSrm {
public:
    explicit DecodedTextReader(LStr decoded)
        : DecodedTextHolder{std::move(decoded)}, LMemSrm(DecodedTextHolder::text) {}
};

// Length of the UTF-8 sequence at s[i], 0 when it is not a valid one.
size_t utf8SequenceLength(std::string_view s, size_t i) {
    unsigned char b = s[i];
    size_t n = b < 0x80                 ? 1
               : b >= 0xC2 && b <= 0xDF ? 2
               : b >= 0xE0 && b <= 0xEF ? 3
               : b >= 0xF0 && b <= 0xF4 ? 4
                                        : 0;
    if (n == 0 || i + n > s.size()) return 0;
    for (size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 0;
    unsigned char c = s[i + 1];
    if ((b == 0xE0 && c < 0xA0) || (b == 0xED && c > 0x9F) || (b == 0xF0 && c < 0x90) ||
        (b == 0xF4 && c > 0x8F))
        return 0;  // overlong forms, surrogates, beyond U+10FFFF
    return n;
}

enum class Utf8Verdict { kNotUtf8, kAscii, kUtf8 };

// allowCutEnd: text is a prefix, so a sequence cut at its end is no verdict.
Utf8Verdict classifyUtf8(std::string_view text, bool allowCutEnd) {
    bool multibyte = false;
    for (size_t i = 0; i < text.size();) {
        size_t n = utf8SequenceLength(text, i);
        if (n == 0) {
            if (allowCutEnd && text.size() - i < 4) break;
            return Utf8Verdict::kNotUtf8;
        }
        multibyte |= n > 1;
        i += n;
    }
    return multibyte ? Utf8Verdict::kUtf8 : Utf8Verdict::kAscii;
}

// The text of a file whose start looks like UTF-8 (or plain ASCII): read
// whole, and decoded when all of it is UTF-8 with a multibyte character; the
// bytes as they are otherwise. Nothing when the start already rules UTF-8 out.
std::optional<LStr> readUnmarkedUtf8(LSrmBase& file) {
    int32_t visible = 0;
    const char* head = file.peekBytes(LSrmBase::kMaxPeek, &visible);
    if (classifyUtf8(std::string_view(head, visible), true) == Utf8Verdict::kNotUtf8)
        return std::nullopt;
    LStr bytes;
    readAllBytes(file, bytes);
    if (classifyUtf8(bytes.view(), false) != Utf8Verdict::kUtf8) return bytes;
    LWStr wide;
    mbToWide(bytes.view(), wide, kCodePageUtf8);
    LStr sjis;
    {
        ConversionQuiet quiet;  // unmappable characters become escapes, not messages
        wideToMb(wide.view(), sjis, kCodePageAnsi);
    }
    return sjis;
}

// The converted text of a document, or null with file back at its start
// when the document is read unconverted or its converted text does not open.
std::unique_ptr<LIoFile> openConverted(LIoFile& file, std::string_view path,
                                       const ConversionOptions& options, LStr& convertedPath) {
    convertedPath = convertDocument(path, file, options);
    if (!convertedPath.empty()) {
        auto converted = std::make_unique<LIoFile>();
        if (converted->open(convertedPath.view(), 'r', false)) return converted;
        convertedPath.clear();
    }
    file.seek(0);
    file.setLine(1);
    return nullptr;
}

}  // namespace

std::unique_ptr<LSrmBase> openTextReader(std::string_view path, const ConversionOptions& options,
                                         LStr* convertedPath) {
    if (convertedPath) convertedPath->clear();
    auto file = std::make_unique<LIoFile>();
    if (!file->open(path, 'r', false)) return nullptr;
    LStr decoded;
    if (readMarkedText(*file, decoded) != TextEncoding::kNative)
        return std::make_unique<DecodedTextReader>(std::move(decoded));
    LStr converted;
    if (std::unique_ptr<LIoFile> text = openConverted(*file, path, options, converted)) {
        if (convertedPath) *convertedPath = std::move(converted);
        return text;
    }
    if (fileSize(path) > kMaxDecodedSize) return file;
    if (std::optional<LStr> text = readUnmarkedUtf8(*file))
        return std::make_unique<DecodedTextReader>(std::move(*text));
    return file;
}

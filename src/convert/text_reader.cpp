// Files are read as Shift-JIS text. A file that starts with a byte-order mark
// (UTF-16 or UTF-8; a large one through a converted text), or, when detection
// is on, a BOM-less file detected as UTF-8 or EUC-JP, is decoded in memory first, so that records,
// line numbers and index block offsets all refer to the decoded text. A document without a mark is
// read through its converted text instead; the detection comes after that, as RTF and the like look
// like ASCII.
#include "convert/text_reader.h"

#include <algorithm>
#include <bit>
#include <optional>
#include <vector>

#include "base/lwstr.h"
#include "convert/candidate_lines.h"
#include "convert/charset_detect.h"
#include "support/message_service.h"
#include "support/path_utils.h"
#include "text/encoding.h"
#include "text/io_file.h"
#include "text/memory_stream.h"
#include "text/stream_reading.h"
#include "text/utf8_fast.h"
#include "text/utf8_validate.h"

namespace {

// Larger files are not held in memory: BOM-less ones are read as they are,
// marked ones through a converted text.
constexpr int64_t kMaxDecodedSize = 64 << 20;

// Spare read buffers of this thread, so that reading many files costs no
// fresh pages each; large ones are let go.
std::vector<LStr>& spareBuffers() {
    thread_local std::vector<LStr> spare;
    return spare;
}

// An empty buffer with room for a file of size bytes and the two NULs the
// stream over it writes after them.
LStr takeBuffer(int64_t size) {
    std::vector<LStr>& spare = spareBuffers();
    LStr buffer;
    if (!spare.empty()) {
        buffer = std::move(spare.back());
        spare.pop_back();
    }
    buffer.truncate(0);
    // Room in powers of two, so a buffer grows a few times, not per file.
    if (size + 2 > buffer.capacity() - 1)
        buffer.reserve(int32_t(std::bit_ceil(uint64_t(std::max<int64_t>(size + 2, 1 << 16)))) - 1);
    return buffer;
}

void giveBackBuffer(LStr buffer) {
    constexpr int32_t kKept = 4 << 20;
    std::vector<LStr>& spare = spareBuffers();
    if (buffer.capacity() <= kKept && spare.size() < 2) spare.push_back(std::move(buffer));
}

// A text in memory read in place: the stream's buffer is the text itself.
class InMemoryText : public LSrmBase {
public:
    explicit InMemoryText(LStr text) : LSrmBase(&nothing_), text_(std::move(text)) {
        text_.reserve(text_.length() + 2);
        viewBytes(text_.data(), text_.length());
    }
    ~InMemoryText() override {
        releaseStream();
        giveBackBuffer(std::move(text_));
    }

private:
    LMemStream nothing_{std::string_view()};  // below the buffer: nothing more
    LStr text_;
};

// The rest of a file read whole, in place.
std::unique_ptr<LSrmBase> readWhole(LSrmBase& file, int64_t size) {
    LStr bytes = takeBuffer(size);
    readAllBytes(file, bytes);
    return std::make_unique<InMemoryText>(std::move(bytes));
}

// Decodes text in codePage to Shift-JIS.
LStr decodeToNative(std::string_view text, int codePage) {
    LWStr wide;
    mbToWide(text, wide, codePage);
    LStr sjis;
    ConversionQuiet quiet;  // unmappable characters become escapes, not messages
    wideToMb(wide.view(), sjis, kCodePageAnsi);
    return sjis;
}

// The text of a file without a byte-order mark whose start looks like UTF-8
// or EUC-JP (or plain ASCII): read whole, and decoded when all of it is
// detected as one of them; the bytes as they are otherwise. Nothing when the
// start already rules both out, so the file is read as a stream.
std::optional<LStr> readUnmarkedText(LSrmBase& file, int64_t size, const LineNeedles* lineNeedles) {
    int32_t visible = 0;
    const char* head = file.peekBytes(LSrmBase::kMaxPeek, &visible);
    if (!mayBeDetected(std::string_view(head, visible))) return std::nullopt;
    LStr bytes = takeBuffer(size);
    readAllBytes(file, bytes);
    // ASCII reads as it is, whichever way it is taken.
    bool multibyte = false;
    const bool utf8Text = isValidUtf8(bytes.view(), &multibyte);
    if (utf8Text && !multibyte) return bytes;
    // Only valid UTF-8 has candidate lines: another text is not scanned again.
    if (utf8Text && lineNeedles)
        if (std::optional<LStr> lines =
                decodeCandidateLines(bytes.view(), *lineNeedles, true, true))
            return lines;
    // The decoder agrees with the check, so only valid UTF-8 is decoded.
    LStr utf8;
    if (utf8Text && utf8ToNative(bytes.view(), utf8, &multibyte) && multibyte) {
        giveBackBuffer(std::move(bytes));
        return utf8;
    }
    switch (detectCharset(bytes.view())) {
        case DetectedCharset::kUtf8:
            return decodeToNative(bytes.view(), kCodePageUtf8);
        case DetectedCharset::kEucJp:
            return decodeToNative(bytes.view(), kCodePageEucJp);
        case DetectedCharset::kNone:
            break;
    }
    return bytes;
}

// A text with the UTF-8 byte-order mark decoded for the needles' lines only;
// nothing, with file back at its start, for any other text.
std::optional<LStr> readMarkedCandidateLines(LSrmBase& file, int64_t size,
                                             const LineNeedles& needles) {
    const ByteOrderMark mark = detectByteOrderMark(file);
    if (mark.encoding != TextEncoding::kUtf8) return std::nullopt;
    file.skipBytes(mark.length);
    LStr bytes = takeBuffer(size);
    readAllBytes(file, bytes);
    if (std::optional<LStr> lines = decodeCandidateLines(bytes.view(), needles, false))
        return lines;
    giveBackBuffer(std::move(bytes));
    file.seek(0);
    return std::nullopt;
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
                                         LStr* convertedPath, const LineNeedles* lineNeedles,
                                         bool ranged) {
    if (convertedPath) convertedPath->clear();
    auto file = std::make_unique<LIoFile>();
    if (!file->open(path, 'r', false)) return nullptr;
    if (ranged) file->expectJumps();
    // Large marked texts go to a converted text, the rest is decoded here.
    const int64_t size = file->file().opened().size;
    if (size <= kMaxDecodedSize && lineNeedles)
        if (std::optional<LStr> lines = readMarkedCandidateLines(*file, size, *lineNeedles))
            return std::make_unique<InMemoryText>(std::move(*lines));
    LStr decoded;
    if (size <= kMaxDecodedSize && readMarkedText(*file, decoded) != TextEncoding::kNative)
        return std::make_unique<InMemoryText>(std::move(decoded));
    LStr converted;
    if (std::unique_ptr<LIoFile> text = openConverted(*file, path, options, converted)) {
        if (convertedPath) *convertedPath = std::move(converted);
        return text;
    }
    if (size > kMaxDecodedSize) return file;
    if (options.autoDetect)
        if (std::optional<LStr> text = readUnmarkedText(*file, size, lineNeedles))
            return std::make_unique<InMemoryText>(std::move(*text));
    if (ranged) return file;
    return readWhole(*file, size);
}

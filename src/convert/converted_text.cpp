#include "convert/converted_text.h"

#include "support/mirror_path.h"
#include "support/path_utils.h"
#include "support/stop_flag.h"
#include "text/encoding.h"
#include "text/file_stream.h"

namespace {

constexpr int32_t kFlushSize = 1 << 16;

// Appends bytes with every LF not preceded by CR turned into CR LF;
// lastWasCr carries the state across chunks.
void appendCrLf(LStr& out, std::string_view bytes, bool& lastWasCr) {
    for (char c : bytes) {
        if (c == '\n' && !lastWasCr) out.append('\r');
        out.append(c);
        lastWasCr = c == '\r';
    }
}

}  // namespace

LStr convertedTextPath(std::string_view indexFolder, std::string_view document) {
    if (indexFolder.empty()) return {};
    LStr path = ixMirrorPath(indexFolder, document);
    path.append(".txt");
    const LStr base = ixFolderPrefix(indexFolder);
    if (!ensureDirChain(base.view())) return {};
    const LStr folder = dirPart(path.view(), false);
    if (!makeFoldersWithoutLinks(base.view(), folder.view().substr(base.size()))) return {};
    return path;
}

bool convertedTextIsCurrent(std::string_view converted, std::string_view document) {
    if (pathKind(converted) != 1) {
        removeFile(converted, false);
        return false;
    }
    if (fileWriteTime(converted) >= fileWriteTime(document)) return true;
    removeFile(converted, false);
    return false;
}

ConvertedTextWriter::ConvertedTextWriter(std::string_view path)
    : path_(path), temporary_(temporaryPathFor(path)) {}

ConvertedTextWriter::~ConvertedTextWriter() {
    if (open_) removeFile(temporary_.view(), false);
}

bool ConvertedTextWriter::flush() {
    if (failed_) return false;
    if (pending_.empty()) return true;
    LFile file(temporary_.view(), open_ ? 'a' : 'w', false);
    open_ = true;
    failed_ = !file.isOpen() || file.write(pending_.data(), pending_.length()) != pending_.length();
    pending_.clear();
    return !failed_;
}

bool ConvertedTextWriter::write(std::string_view bytes) {
    appendCrLf(pending_, bytes, lastWasCr_);
    if (pending_.length() >= kFlushSize && !flush()) return false;
    return !failed_ && !stopRequested();
}

bool ConvertedTextWriter::writeAsIs(std::string_view bytes) {
    pending_.append(bytes);
    if (pending_.length() >= kFlushSize && !flush()) return false;
    return !failed_ && !stopRequested();
}

bool ConvertedTextWriter::chunk(ChunkBreak before, std::u16string_view text) {
    if (before >= ChunkBreak::Sentence && !write("\r\n----\r\n")) return false;
    if (text.empty()) return !failed_ && !stopRequested();
    LStr sjis;
    wideToMb(text, sjis);
    textUnits_ += int64_t(text.size());
    return write(sjis.view());
}

bool ConvertedTextWriter::commit() {
    if (!open_ && !failed_) {
        LFile file(temporary_.view(), 'w', false);  // an empty text is a text too
        open_ = file.isOpen();
        failed_ = !open_;
    }
    if (!flush() || stopRequested() || !replaceFile(temporary_.view(), path_.view())) {
        if (open_) removeFile(temporary_.view(), false);
        open_ = false;
        return false;
    }
    open_ = false;
    return true;
}

#include "epwing/epw_convert.h"

#include <atomic>

#include "convert/converted_text.h"
#include "epwing/body_decoder.h"
#include "epwing/book_layout.h"
#include "epwing/epw_settings.h"
#include "support/message_service.h"
#include "support/path_utils.h"
#include "support/run_context.h"
#include "support/stop_flag.h"
#include "text/file_stream.h"

namespace {

constexpr int32_t kFlushSize = 1 << 16;
constexpr char kStarting[] = "\x95\xCF\x8A\xB7\x8AJ\x8En";
constexpr char kReadingIndexes[] = "IX\x93\xC7\x8D\x9E\x92\x86";
constexpr char kSorting[] = "\x83\\\x81[\x83g\x92\x86";
constexpr char kConverting[] = "\x95\xCF\x8A\xB7\x92\x86";
constexpr char kBodyTitle[] =
    "\x81y\x96{\x95\xB6\x83"
    "f\x81[\x83^\x81z";
constexpr char kCopyrightTitle[] = "\x81y\x92\x98\x8D\xEC\x8C\xA0\x95\\\x8E\xA6\x81z\r\n";
constexpr char kDashLine[] = "--------------------------------";
constexpr char kTextVersion[] = "QF  0003   EPW\r\n";
// Index pages the file does not hold, or too deep in a tree, are passed over.
constexpr char kBadPages[] = "EPWING: %d index page(s) out of the book: %s";
constexpr char kCannotWrite[] = "cannot write to text file '%s'";

std::atomic<int64_t> conversions{0};

void setStatus(int part, std::string_view text) {
    if (RunContext* context = currentRunContext()) context->setStatus(part, text);
}

// The converted text as it is written: buffered, into a temporary file
// that is renamed into place only when everything went out.
class TextOut {
public:
    explicit TextOut(std::string_view path)
        : path_(path), temporary_(temporaryPathFor(path)), file_(temporary_.view(), 'w', false) {}
    ~TextOut() {
        file_.close();
        if (!committed_) removeFile(temporary_.view(), false);
    }
    bool isOpen() const { return file_.isOpen(); }
    bool write(std::string_view bytes) {
        buffer_.append(bytes);
        return buffer_.length() < kFlushSize || flush();
    }
    bool commit() {
        if (!flush()) return false;
        file_.close();
        committed_ = replaceFile(temporary_.view(), path_.view());
        return committed_;
    }

private:
    bool flush() {
        failed_ = failed_ || file_.write(buffer_.data(), buffer_.length()) != buffer_.length();
        buffer_.truncate(0);
        return !failed_;
    }
    LStr path_;
    LStr temporary_;
    LFile file_;
    LStr buffer_;
    bool failed_ = false;
    bool committed_ = false;
};

LStr copyrightText(BookBytes& book, const BookLayout& layout) {
    LStr text;
    BodyDecoder decoder(book, nullptr);
    for (const BookSection& section : layout.copyrights) {
        text.append(kCopyrightTitle);
        DecodeRange range;
        range.start = section.start();
        range.limit = section.end();
        decoder.decode(range, [&text](std::string_view bytes) {
            text.append(bytes);
            return true;
        });
    }
    return text;
}

void writeHeader(TextOut& out, const EpwSettings& s) {
    out.write(kTextVersion);
    out.write(formatText("%s\r\n", s.bodyPath.c_str()).view());
    if (!s.settingsPath.empty())
        out.write(formatText("DSF\t%s\r\n", s.settingsPath.c_str()).view());
    out.write(formatText("RECSEP\t%s\r\n", s.recSeparEsc.c_str()).view());
    out.write(formatText("DSPREP\t%s\r\n", s.dspRep.c_str()).view());
    out.write(kDashLine);
    out.write(s.keySeparator.view());
    out.write(s.copyright.view());
    out.write(s.keySeparator.view());
}

std::vector<BookKey> readKeys(BookBytes& book, const BookLayout& layout) {
    setStatus(2, kReadingIndexes);
    std::vector<BookKey> keys;
    int32_t badPages = 0;
    for (const BookSection& section : layout.indexes) {
        const KeyWalkResult walk =
            collectBookKeys(book, section.firstPage, keys, [](int64_t count) {
                setStatus(3, formatText("%d", int(count)).view());
                return !stopRequested();
            });
        badPages += walk.badPages;
        if (walk.stopped) return keys;
    }
    if (badPages > 0) report(kMsgWarning, kBadPages, badPages, book.path().c_str());
    setStatus(2, kSorting);
    sortBookKeys(keys);
    return keys;
}

bool writeBodies(TextOut& out, BookBytes& book, const BookLayout& layout, const EpwSettings& s,
                 const std::vector<BookKey>* keys) {
    setStatus(2, kConverting);
    BodyDecoder decoder(book, &s);
    const BookOutput write = [&out](std::string_view bytes) { return out.write(bytes); };
    for (const BookSection& section : layout.bodies) {
        if (stopRequested()) return false;
        out.write(s.keySeparator.view());
        out.write(kBodyTitle);
        out.write(s.keySeparator.view());
        DecodeRange range;
        range.start = section.start();
        // To the section's end: a book may keep text on its last page,
        // and the zeros that pad it decode to nothing.
        range.limit = section.end();
        range.showProgress = true;
        range.keys = keys;
        if (decoder.decode(range, write) == DecodeEnd::kStopped) return false;
    }
    return !stopRequested();
}

}  // namespace

int64_t epwingConversionCount() {
    return conversions.load();
}

bool writeEpwingText(std::string_view body, std::string_view text,
                     const std::vector<LStr>& settingsFolders, int32_t maxBytes) {
    debugLog("EPWING \x95\xCF\x8A\xB7\n");
    setStatus(1, body);
    setStatus(2, kStarting);
    setStatus(3, "");
    BookBytes book(body);
    const BookLayout layout = readBookLayout(book);
    EpwSettings s;
    s.bodyPath = body;
    s.copyright = copyrightText(book, layout);
    findSettingsFile(s, settingsFolders);
    readSettings(s, maxBytes);
    debugLog("dio.keySeparEsc=[%s]\n", s.keySeparEsc.c_str());
    debugLog("dio.recSeparEsc=[%s]\n", s.recSeparEsc.c_str());

    bool done = false;
    {
        TextOut out(text);
        if (!out.isOpen()) {
            report(kMsgGeneral, kCannotWrite, LStr(text).c_str());
            return false;
        }
        writeHeader(out, s);
        std::vector<BookKey> keys;
        if (s.addIx != 0) keys = readKeys(book, layout);
        done = writeBodies(out, book, layout, s, s.addIx != 0 ? &keys : nullptr) && out.commit();
        if (!done && !stopRequested()) report(kMsgGeneral, kCannotWrite, LStr(text).c_str());
    }
    setStatus(2, "");
    setStatus(3, "");
    setStatus(1, "");
    if (done) ++conversions;
    return done;
}

bool epwingTextIsCurrent(std::string_view body, std::string_view text,
                         const std::vector<LStr>& settingsFolders) {
    if (pathKind(text) != 1) return false;
    const uint64_t textTime = fileWriteTime(text);
    if (textTime < fileWriteTime(body)) return false;
    if (textTime >= newestSettingsTime(settingsFolders)) return true;
    BookBytes book(body);
    EpwSettings s;
    s.bodyPath = body;
    s.copyright = copyrightText(book, readBookLayout(book));
    findSettingsFile(s, settingsFolders);
    LStr settingsPath = s.settingsPath.empty() ? headerValue(text, "DSF") : s.settingsPath;
    debugLog("dsfPath=%s\n", settingsPath.c_str());
    if (settingsPath.empty() || pathKind(settingsPath.view()) != 1) return true;
    if (fileWriteTime(settingsPath.view()) <= textTime) return true;
    debugLog(
        "\x90V\x82\xB5\x82\xA2\x8E\xAB\x8F\x91\x90\xDD\x92\xE8\x83t\x83@\x83"
        "C\x83\x8B\x82\xA0\x82\xE8\n");
    return false;
}

// The body is known by its absolute path: the text's mirror, its header
// line (which the clean-up maps back) and PATH lines all see that one.
LStr convertEpwingBody(std::string_view typed, const ConversionOptions& options,
                       const std::vector<LStr>& settingsFolders) {
    if (options.indexFolder.empty() || !isEpwingBody(typed)) return {};
    const LStr absolute = absolutePath(typed);
    const std::string_view path = absolute.view();
    if (options.prepareIndexFolder) options.prepareIndexFolder(options.indexFolder.view());
    LStr text = convertedTextPath(options.indexFolder.view(), path);
    if (text.empty()) return {};
    if (epwingTextIsCurrent(path, text.view(), settingsFolders)) return text;
    if (!writeEpwingText(path, text.view(), settingsFolders, options.dictionaryMaxBytes)) return {};
    return text;
}

LStr convertEpwingBody(std::string_view path, const ConversionOptions& options) {
    static const std::vector<LStr> folders = epwSettingsFolders();
    return convertEpwingBody(path, options, folders);
}

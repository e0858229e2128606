// PDF text through poppler-cpp. Pages are read in reading order (columns
// detected, no padding spaces), so a phrase set in the document stays one
// run of characters for the search; only one page is in memory at a time.
#include "convert/pdf_filter.h"

#include <poppler-document.h>
#include <poppler-global.h>
#include <poppler-page.h>

#include <exception>
#include <memory>
#include <string>

#include "platform/path_encoding.h"

namespace {

// Short Shift-JIS reasons for the message line.
constexpr const char* kUnreadable =
    "PDF\x82\xF0\x93\xC7\x82\xDF\x82\xDC\x82\xB9\x82\xF1";  // PDFを読めません
constexpr const char* kLocked =  // パスワードで保護されたPDFです
    "\x83p\x83X\x83\x8F\x81[\x83h\x82\xC5\x95\xDB\x8C\xEC\x82\xB3\x82\xEA\x82\xBDPDF\x82\xC5"
    "\x82\xB7";
constexpr const char* kStopped = "\x92\x86\x8E~\x82\xB5\x82\xDC\x82\xB5\x82\xBD";  // 中止しました

ExtractOutcome failed(const char* reason) {
    ExtractOutcome outcome;
    outcome.result = ExtractResult::Failed;
    outcome.reason = LStr(reason);
    return outcome;
}

void ignorePopplerMessage(const std::string&, void*) {}

// poppler's page text in UTF-16 with every line end as "\n"; the form feed
// that closes a page is dropped, the chapter break stands for it.
std::u16string pageText(const poppler::page& page) {
    const poppler::ustring raw =
        page.text(poppler::rectf(), poppler::page::non_raw_non_physical_layout);
    std::u16string text;
    text.reserve(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        const char16_t c = raw[i];
        if (c == u'\f') continue;
        if (c == u'\r') {
            if (i + 1 < raw.size() && raw[i + 1] == u'\n') ++i;
            text += u'\n';
            continue;
        }
        text += c;
    }
    // A block ends in a blank line; at the end of the page it means nothing.
    while (text.size() >= 2 && text.ends_with(u"\n\n")) text.pop_back();
    return text;
}

ExtractOutcome extractPages(const poppler::document& doc, ChunkSink& sink) {
    const int pages = doc.pages();
    for (int i = 0; i < pages; ++i) {
        const std::unique_ptr<poppler::page> page(doc.create_page(i));
        const std::u16string text = page ? pageText(*page) : std::u16string();
        const ChunkBreak before = i == 0 ? ChunkBreak::None : ChunkBreak::Chapter;
        if (!sink.chunk(before, text)) return failed(kStopped);
    }
    ExtractOutcome outcome;
    outcome.result = ExtractResult::Extracted;
    return outcome;
}

}  // namespace

ExtractOutcome extractPdf(std::string_view path, ChunkSink& sink) {
    // Set once: searches on several threads would otherwise race on it.
    static const bool quiet =
        (poppler::set_debug_error_function(ignorePopplerMessage, nullptr), true);
    (void)quiet;
    try {
        const std::unique_ptr<poppler::document> doc(
            poppler::document::load_from_file(toSystemPath(path)));
        if (!doc) return failed(kUnreadable);
        if (doc->is_locked()) return failed(kLocked);
        return extractPages(*doc, sink);
    } catch (const std::exception&) {
        // Out of memory on a damaged or huge document: the file is skipped.
        return failed(kUnreadable);
    }
}

// The PDF reading module: page text through poppler-cpp. Pages are read in
// reading order (columns detected, no padding spaces), so a phrase set in
// the document stays one run of characters for the search; only one page is
// in memory at a time.
#include <poppler-document.h>
#include <poppler-global.h>
#include <poppler-page.h>

#include <exception>
#include <memory>
#include <string>

#include "convert/pdf_pages_abi.h"

namespace {

void ignorePopplerMessage(const std::string&, void*) {}

// poppler's page text with every line end as "\n"; the form feed that
// closes a page is dropped, the caller's page break stands for it.
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

int readPages(const poppler::document& doc, QfPdfPageFn page, void* context) {
    const int pages = doc.pages();
    for (int i = 0; i < pages; ++i) {
        const std::unique_ptr<poppler::page> one(doc.create_page(i));
        const std::u16string text = one ? pageText(*one) : std::u16string();
        if (!page(context, text.data(), text.size())) return kQfPdfStopped;
    }
    return kQfPdfDone;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int qf_pdf_pages(const char* systemPath,
                                                                   QfPdfPageFn page,
                                                                   void* context) {
    // Set once: searches on several threads would otherwise race on it.
    static const bool quiet =
        (poppler::set_debug_error_function(ignorePopplerMessage, nullptr), true);
    (void)quiet;
    try {
        const std::unique_ptr<poppler::document> doc(poppler::document::load_from_file(systemPath));
        if (!doc) return kQfPdfUnreadable;
        if (doc->is_locked()) return kQfPdfLocked;
        return readPages(*doc, page, context);
    } catch (const std::exception&) {
        // Out of memory on a damaged or huge document: the file is skipped.
        return kQfPdfUnreadable;
    }
}

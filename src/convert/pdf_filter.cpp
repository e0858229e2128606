// PDF text through the PDF reading module, loaded on the first PDF.
#include "convert/pdf_filter.h"

#include "convert/pdf_pages_abi.h"
#include "platform/loadable_module.h"
#include "platform/path_encoding.h"

namespace {

// Short Shift-JIS reasons for the message line.
constexpr const char* kUnreadable =
    "PDF\x82\xF0\x93\xC7\x82\xDF\x82\xDC\x82\xB9\x82\xF1";  // PDFを読めません
constexpr const char* kLocked =  // パスワードで保護されたPDFです
    "\x83p\x83X\x83\x8F\x81[\x83h\x82\xC5\x95\xDB\x8C\xEC\x82\xB3\x82\xEA\x82\xBDPDF\x82\xC5"
    "\x82\xB7";
constexpr const char* kStopped = "\x92\x86\x8E~\x82\xB5\x82\xDC\x82\xB5\x82\xBD";  // 中止しました
// PDF読み込みモジュール(quillfind_pdf.so)が見つかりません
constexpr const char* kNoModule =
    "PDF\x93\xC7\x82\xDD\x8D\x9E\x82\xDD\x83\x82\x83W\x83\x85\x81[\x83\x8B(quillfind_pdf.so)"
    "\x82\xAA\x8C\xA9\x82\xC2\x82\xA9\x82\xE8\x82\xDC\x82\xB9\x82\xF1";

ExtractOutcome failed(const char* reason) {
    ExtractOutcome outcome;
    outcome.result = ExtractResult::Failed;
    outcome.reason = LStr(reason);
    return outcome;
}

struct PageContext {
    ChunkSink& sink;
    bool first = true;
};

// Each page after the first behind a chapter break.
int takePage(void* context, const char16_t* text, size_t length) {
    PageContext& pages = *static_cast<PageContext*>(context);
    const ChunkBreak before = pages.first ? ChunkBreak::None : ChunkBreak::Chapter;
    pages.first = false;
    return pages.sink.chunk(before, std::u16string_view(text, length)) ? 1 : 0;
}

}  // namespace

ExtractOutcome extractPdf(std::string_view path, ChunkSink& sink) {
    static const auto readPages =
        reinterpret_cast<QfPdfPagesFn>(moduleSymbol(kQfPdfModuleName, kQfPdfPagesSymbol));
    if (!readPages) return failed(kNoModule);
    PageContext context{sink};
    switch (readPages(toSystemPath(path).c_str(), takePage, &context)) {
        case kQfPdfDone: {
            ExtractOutcome outcome;
            outcome.result = ExtractResult::Extracted;
            return outcome;
        }
        case kQfPdfLocked:
            return failed(kLocked);
        case kQfPdfStopped:
            return failed(kStopped);
        default:
            return failed(kUnreadable);
    }
}

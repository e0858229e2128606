// The C interface of the PDF reading module (quillfind_pdf.so). The module
// holds poppler and its many libraries, so a program that never reads a PDF
// does not pay for loading them at every start.
#pragma once
#include <cstddef>

extern "C" {

// One page's text in UTF-16, lines ended by '\n'; returns 0 to stop.
using QfPdfPageFn = int (*)(void* context, const char16_t* text, size_t length);

enum QfPdfStatus : int {
    kQfPdfDone = 0,
    kQfPdfUnreadable = 1,  // not a PDF, damaged, or out of memory
    kQfPdfLocked = 2,      // protected by a password
    kQfPdfStopped = 3,     // the page function returned 0
};

// Reads the document at systemPath (a path in the system's encoding) and
// hands each page to page, in order.
using QfPdfPagesFn = int (*)(const char* systemPath, QfPdfPageFn page, void* context);
constexpr const char kQfPdfPagesSymbol[] = "qf_pdf_pages";
constexpr const char kQfPdfModuleName[] = "quillfind_pdf.so";
}

// Text of a PDF document for the converted-text writer: page by page through
// poppler, each page after the first behind a chapter break, line ends as
// "\n". Documents locked by a password and damaged files are refused with a
// short reason rather than read in part.
#pragma once
#include <string_view>

#include "convert/document_chunks.h"

// path: the file's Shift-JIS path. Stops between pages when the sink says so.
ExtractOutcome extractPdf(std::string_view path, ChunkSink& sink);

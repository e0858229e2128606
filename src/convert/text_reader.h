// Opening a file as searchable text. The search and the index builder read
// every file through openTextReader, so both see the same bytes and the same
// offsets: documents and UTF-8/UTF-16 texts are to be decoded to Shift-JIS
// here, while plain Shift-JIS files are read as they are.
#pragma once
#include <memory>
#include <string_view>

#include "base/lstr.h"
#include "convert/conversion_dispatch.h"
#include "text/buffered_stream.h"

class LineNeedles;

// A buffered stream at the start of the text (line 1), or null when the file
// cannot be opened. A document is read through its converted text, whose
// path goes to *convertedPath (empty when none is in use) so the caller can
// remove it once done. With lineNeedles, a search that reads only the lines
// holding one of them gets a UTF-8 text with only those lines decoded.
// With ranged, a text read as it is stays on the file and is read where the
// caller seeks (a search of a few index blocks); otherwise it is read whole.
std::unique_ptr<LSrmBase> openTextReader(std::string_view path,
                                         const ConversionOptions& options = {},
                                         LStr* convertedPath = nullptr,
                                         const LineNeedles* lineNeedles = nullptr,
                                         bool ranged = false);

// Opening a file as searchable text. The search and the index builder read
// every file through openTextReader, so both see the same bytes and the same
// offsets: documents and UTF-8/UTF-16 texts are to be decoded to Shift-JIS
// here, while plain Shift-JIS files are read as they are.
#pragma once
#include <memory>
#include <string_view>

#include "text/buffered_stream.h"

// A buffered stream at the start of the text (line 1), or null when the file
// cannot be opened. Without autoDetect only a byte-order mark changes how a
// file is read.
std::unique_ptr<LSrmBase> openTextReader(std::string_view path, bool autoDetect = true);

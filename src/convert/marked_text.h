// Texts that start with a byte-order mark (UTF-16 either way round, UTF-8),
// converted piece by piece, so that a text of any size gives the same
// Shift-JIS as decoding it whole would, in bounded memory.
#pragma once
#include "convert/converted_text.h"
#include "text/buffered_stream.h"

// Reads the marked text at the stream's start to its end into writer (the
// bytes as Shift-JIS, line ends unchanged); false when the writer failed.
bool writeMarkedText(LSrmBase& file, ConvertedTextWriter& writer);

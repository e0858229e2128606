// What a document filter delivers: the document's text as chunks of UTF-16,
// each with the kind of break that comes before it. The writer of converted
// texts turns a break of a sentence, paragraph or chapter into a line of four
// hyphens, converts the text to Shift-JIS ({%uXXXX} for what it cannot hold)
// and makes every line end CR LF.
#pragma once
#include <string_view>

#include "base/lstr.h"

enum class ChunkBreak {
    None = 0,       // the text goes on
    Word = 1,       // a word break
    Sentence = 2,   // from here on, a line of hyphens comes first
    Paragraph = 3,  // a paragraph, table cell row or slide
    Chapter = 4,    // a page, sheet or section
};

class ChunkSink {
public:
    virtual ~ChunkSink() = default;
    // Takes one chunk; false when the extraction is to stop (the search was
    // stopped or the output failed).
    virtual bool chunk(ChunkBreak before, std::u16string_view text) = 0;
};

enum class ExtractResult {
    Extracted,  // the document's text went to the sink (maybe empty)
    Failed,     // damaged, encrypted, too large, stopped: reason says why
};

struct ExtractOutcome {
    ExtractResult result = ExtractResult::Failed;
    LStr reason;  // for a failure: a short Shift-JIS text for the message line
};

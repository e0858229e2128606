// Converted texts: the Shift-JIS text of a document, kept under the index
// folder beside the document's mirror path, reused while it is not older than
// the document, and written so that no partial one is ever left in place.
#pragma once
#include <string_view>

#include "base/lstr.h"
#include "convert/document_chunks.h"

// The mirror path of document under indexFolder plus ".txt", its folders
// made on the way (never through a link). Empty when they cannot be made.
LStr convertedTextPath(std::string_view indexFolder, std::string_view document);

// Whether the converted text exists and is not older than the document. A
// stale one is deleted, so a failed conversion cannot leave it behind.
bool convertedTextIsCurrent(std::string_view converted, std::string_view document);

// Writes a converted text through a temporary file that commit() renames
// into place; without commit the temporary file goes away. As a ChunkSink it
// takes document chunks: a break of a sentence or more gives a line of
// hyphens, the text becomes Shift-JIS ({%uXXXX} for what it cannot hold) and
// a lone LF becomes CR LF. It stops on the stop flag or a failed write.
class ConvertedTextWriter : public ChunkSink {
public:
    explicit ConvertedTextWriter(std::string_view path);
    ~ConvertedTextWriter() override;
    ConvertedTextWriter(const ConvertedTextWriter&) = delete;
    ConvertedTextWriter& operator=(const ConvertedTextWriter&) = delete;

    bool chunk(ChunkBreak before, std::u16string_view text) override;
    // Shift-JIS bytes, a lone LF made CR LF.
    bool write(std::string_view bytes);
    // Shift-JIS bytes as they are.
    bool writeAsIs(std::string_view bytes);
    // Whether any text (not counting separators) came in.
    bool holdsText() const { return textUnits_ > 0; }
    // Renames the text into place; false (and nothing left) on failure.
    bool commit();

private:
    bool flush();

    LStr path_;
    LStr temporary_;
    LStr pending_;
    int64_t textUnits_ = 0;
    bool failed_ = false;
    bool open_ = false;
    bool lastWasCr_ = false;
};

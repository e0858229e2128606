// The office filters' way into a ChunkSink: text arrives as UTF-8 pieces and
// breaks as they are met; the writer joins the pieces, merges breaks that
// meet (an empty paragraph adds nothing, a sheet after a paragraph is one
// Chapter) and drops a break before the first text. It remembers when the
// sink asked to stop so the parsers can end at once.
#pragma once
#include <string>
#include <string_view>

#include "convert/document_chunks.h"

class OfficeChunkWriter {
public:
    explicit OfficeChunkWriter(ChunkSink& sink) : sink_(sink) {}

    void text(std::string_view utf8);
    // Delivers the text so far; the next text comes after this break.
    void brk(ChunkBreak kind);
    void flush();
    bool stopped() const { return stopped_; }

private:
    void deliver(size_t length);

    ChunkSink& sink_;
    std::string pending_;  // UTF-8 not yet delivered
    ChunkBreak before_ = ChunkBreak::None;
    bool delivered_ = false;
    bool stopped_ = false;
    std::u16string units_;
};

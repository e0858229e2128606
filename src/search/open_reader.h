// TReader: a file opened for search. It holds the stream the records are
// read from, the name result lines show for the file, and the source
// position that names "file(line)" while the file is read.
#pragma once
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "base/lstr.h"
#include "convert/conversion_dispatch.h"
#include "text/buffered_stream.h"

class LineNeedles;

class TReader {
public:
    TReader() = default;
    ~TReader() { close(); }
    TReader(const TReader&) = delete;
    TReader& operator=(const TReader&) = delete;

    bool isOpen() const { return stream_ != nullptr; }
    LSrmBase& stream() { return *stream_; }
    const LStr& displayName() const { return displayName_; }
    // The line the current record begins on; the pushed position follows it.
    void setRecordLine(int32_t line) { recordLine_ = line; }
    int32_t recordLine() const { return recordLine_; }

    // Field titles of the file (from its first record), when shown.
    std::vector<LStr> fieldTitles;

    // Pops the position and closes the stream; a converted text read is
    // removed unless it is to be kept.
    void close();

private:
    friend bool openReader(TReader& reader, const LStr& path, std::string_view displayBase,
                           bool indexMode, const ConversionOptions& conversion,
                           const LineNeedles* lineNeedles);

    std::unique_ptr<LSrmBase> stream_;
    LStr convertedPath_;  // the converted text read instead of the file, if any
    bool keepConverted_ = true;
    LStr displayName_;
    int32_t recordLine_ = 1;
    bool positionPushed_ = false;
};

// Opens path for search. A file that does not open leaves the reader closed
// (the file then yields no record). Sets status part 1 to the path ("! "
// before it in index mode) and pushes the display name's position. Line
// needles (see openTextReader) count outside index mode only, where block
// offsets must be those of the whole text.
bool openReader(TReader& reader, const LStr& path, std::string_view displayBase, bool indexMode,
                const ConversionOptions& conversion = {}, const LineNeedles* lineNeedles = nullptr);

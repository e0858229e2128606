// TReader: a file opened for search. It holds the stream the records are
// read from, the name result lines show for the file, and the source
// position that names "file(line)" while the file is read.
#pragma once
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "base/lstr.h"
#include "text/buffered_stream.h"

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

    // Pops the position and closes the stream.
    void close();

private:
    friend bool openReader(TReader& reader, const LStr& path, std::string_view displayBase,
                           bool indexMode, bool autoDetect);

    std::unique_ptr<LSrmBase> stream_;
    LStr displayName_;
    int32_t recordLine_ = 1;
    bool positionPushed_ = false;
};

// Opens path for search. A file that does not open leaves the reader closed
// (the file then yields no record). Sets status part 1 to the path ("! "
// before it in index mode) and pushes the display name's position.
// autoDetect: BOM-less UTF-8 and EUC-JP files are decoded.
bool openReader(TReader& reader, const LStr& path, std::string_view displayBase, bool indexMode,
                bool autoDetect = true);

// Reading records for a search run.
#include "search/record_source.h"

#include "index/record_limits.h"
#include "pattern/parser.h"
#include "pattern/record_reader.h"
#include "search/open_reader.h"
#include "support/byte_scan.h"

RecordSource::RecordSource(std::string_view separatorPattern)
    : node_(compileRex(separatorPattern)) {
    if (node_) table_ = buildStartByteTable(*node_, 0);
}

IxRecordSeparator RecordSource::separator() const {
    return {node_.get(), node_ ? &table_ : nullptr};
}

void RecordSource::seek(TReader& reader, int64_t start, int32_t firstLine) {
    LSrmBase& stream = reader.stream();
    stream.seek(start);
    stream.setLine(firstLine);
    line_ = firstLine;
}

bool RecordSource::next(TReader& reader, int64_t end, LStr& record) {
    LSrmBase& stream = reader.stream();
    if (stream.tell() >= end) return false;
    record.truncate(0);  // keeps the buffer (clear() would free it)
    readUntilRex(stream, node_.get(), kRecordPeekLength, node_ ? &table_ : nullptr, record,
                 kRecordMaxLength);
    if (record.empty()) return false;
    // Lines are counted here, one per line feed read, as the stream counts
    // them; asking the stream would rescan its buffer each time.
    reader.setRecordLine(line_);
    const std::string_view text = record.view();
    line_ += countByte(text.data(), text.data() + text.size(), '\n');
    return true;
}

LStr RecordSource::firstRecordText(TReader& reader) {
    LStr first;
    const int32_t separator = readUntilRex(reader.stream(), node_.get(), kRecordPeekLength,
                                           node_ ? &table_ : nullptr, first, kRecordMaxLength);
    if (!first.empty()) first.truncate(first.length() - separator);
    return first;
}

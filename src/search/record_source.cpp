// Reading records for a search run.
#include "search/record_source.h"

#include <algorithm>

#include "pattern/parser.h"
#include "pattern/sjis_scan.h"
#include "search/open_reader.h"
#include "support/byte_scan.h"
#include "support/candidate_scan.h"
#include "support/stop_flag.h"

namespace {

// The separators that make every line (and every run of empty lines) a record.
constexpr std::string_view kLineSeparators[] = {"[\\x0A\\x0D]+", "[\\x0D\\x0A]+", "[\\r\\n]+",
                                                "[\\n\\r]+"};

}  // namespace

RecordSource::RecordSource(std::string_view separatorPattern)
    : node_(compileRex(separatorPattern)) {
    if (node_) table_ = buildStartByteTable(*node_, 0);
    for (std::string_view lines : kLineSeparators) cutsLines_ |= node_ && separatorPattern == lines;
}

IxRecordSeparator RecordSource::separator() const {
    return {node_.get(), node_ ? &table_ : nullptr, cutsLines_};
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
    readRecord(stream, separator(), record);
    if (record.empty()) return false;
    // Lines are counted here, one per line feed read, as the stream counts
    // them; asking the stream would rescan its buffer each time.
    reader.setRecordLine(line_);
    const std::string_view text = record.view();
    line_ += countByte(text.data(), text.data() + text.size(), '\n');
    return true;
}

bool RecordSource::skipToCandidate(TReader& reader, int64_t end, const CandidateScan& scan) {
    LSrmBase& stream = reader.stream();
    if (!cutsLines_) return stream.tell() < end;  // records may span lines
    while (stream.tell() < end && !stopRequested()) {
        int32_t visible = 0;
        const char* p = stream.peekBytes(LSrmBase::kMaxPeek, &visible);
        if (visible == 0) return false;
        const char* first = scan.find(p, p + visible);
        // A match cut by the end of the view lies after the last line end in
        // view, as matches hold no line ends.
        const char* skipTo = afterLastLineEnd(p, first);
        // A line end after a lone lead byte is the second byte of its
        // character, inside a record: the records are cut from an earlier one.
        while (skipTo > p && !isCharStart(p, skipTo - 1)) skipTo = afterLastLineEnd(p, skipTo - 1);
        if (skipTo == p) return true;  // the next record holds the place, or is too long to see
        line_ += countLineFeeds(p, skipTo);
        stream.skipBytes(int32_t(skipTo - p));
        if (first < p + visible) return true;
    }
    return false;
}

LStr RecordSource::firstRecordText(TReader& reader) {
    LStr first;
    const int32_t separator = readRecord(reader.stream(), this->separator(), first);
    if (!first.empty()) first.truncate(first.length() - separator);
    return first;
}

// RecordSource: cuts the text of an opened file into records at the run's
// record separator, within a byte range, counting the line each record
// begins on. The index builder cuts with the same separator and limits.
#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

#include "base/lstr.h"
#include "index/create_index.h"
#include "pattern/first_bytes.h"
#include "pattern/nodes/rex.h"

class CandidateScan;
class TReader;

class RecordSource {
public:
    // An empty or null pattern cuts records by length only.
    explicit RecordSource(std::string_view separatorPattern);

    // The separator as the index code takes it; valid while this lives.
    IxRecordSeparator separator() const;
    const LRex* node() const { return node_.get(); }

    // Moves to start of the reader's text; its first record begins on
    // firstLine.
    void seek(TReader& reader, int64_t start, int32_t firstLine);
    // Reads the next record that begins before end into record (separator
    // included) and sets the reader's record line; false when there is none.
    bool next(TReader& reader, int64_t end, LStr& record);
    // Whether records are lines: the separator is a run of CR and LF.
    bool cutsLines() const { return cutsLines_; }
    // For a scan that finds a place in every line that holds a match:
    // passes over the records before the first such place, counting their
    // lines (a source that does not cut lines passes over nothing). False
    // when no record that begins before end is left.
    bool skipToCandidate(TReader& reader, int64_t end, const CandidateScan& scan);
    // The first record of the text without its separator.
    LStr firstRecordText(TReader& reader);

private:
    LRexPtr node_;
    LRexStartTable table_{};
    int32_t line_ = 1;  // the line the next record begins on
    bool cutsLines_ = false;
};

// Evaluating a record that passed the record test: its hits are collected
// and counted, and it is shown unless count-only, an earlier line showed it
// or the duplicate key says otherwise.
#include "search/file_searcher.h"
#include "search/open_reader.h"
#include "search/record_test.h"
#include "search/result_formatter.h"

int32_t FileSearcher::evaluateRecord(TReader& reader, RecordTester& tester, int32_t schStrNo) {
    hits_.clear();
    tester.collect(record_.view(), hits_);
    const int32_t n = int32_t(hits_.size());
    if (n == 0 || request_.countOnly) return n;
    if (request_.ignoreSameRecord != 0 && isShownRecord()) return n;
    formatter_->write(reader, RecordParts{prefix_.view(), record_.view(), suffix_.view()}, hits_,
                      schStrNo);
    return n;
}

bool FileSearcher::isShownRecord() {
    key_.truncate(0);
    key_.append(prefix_.view()).append(record_.view()).append(suffix_.view());
    return !shownRecords_.add(key_.view());
}

bool FileSearcher::isShownDuplicate(const LStr& record) {
    key_ = record;
    dupReplace_.apply(key_);
    return !shownDupKeys_.add(key_.view());
}

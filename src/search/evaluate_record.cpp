// Evaluating a record that passed the record test: its hits are collected
// and counted, and it is shown unless count-only or the shown-record set
// says otherwise.
#include "search/open_reader.h"
#include "search/record_test.h"
#include "search/worker.h"

int32_t TWorker::evaluateRecord(TReader& reader, const LStr& area, const LStr& prefix,
                                const LStr& suffix) {
    hits_.clear();
    testers_[current_]->collect(area.view(), hits_);
    const int32_t n = int32_t(hits_.size());
    if (n == 0 || countOnly_) return n;
    if (request_.ignoreSameRecord != 0) {
        key_.truncate(0);
        key_.append(prefix.view()).append(area.view()).append(suffix.view());
        if (!shownRecords_.add(key_.view())) return n;
    }
    buildResultLine(reader, area, prefix, suffix, hits_);
    return n;
}

// The per-file part of a run: choosing a strategy, opening the file, and the
// per-record loop over the search strings.
#include <cerrno>
#include <thread>

#include "epwing/epw_convert.h"
#include "epwing/epw_settings.h"
#include "platform/file_handle.h"
#include "platform/system_error.h"
#include "search/indexed_search.h"
#include "search/open_reader.h"
#include "search/record_source.h"
#include "search/record_test.h"
#include "search/result_formatter.h"
#include "search/search_output.h"
#include "search/search_string.h"
#include "search/status_sink.h"
#include "search/worker.h"
#include "support/dir_walker.h"
#include "support/message_service.h"
#include "support/needle_finder.h"

namespace {

constexpr int64_t kWholeFile = INT64_MAX;

// "%s を開けません"
const char kJaCannotOpen[] = "%s \x82\xF0\x8AJ\x82\xAF\x82\xDC\x82\xB9\x82\xF1";

}  // namespace

int TWorker::searchFile(const LStr& path) {
    if (request_.ignoreSameRecord == 1) shownRecords_.clear();
    unopenedReported_ = false;
    // A conversion stopped on the way leaves the file unsearched.
    std::unique_ptr<RecordSource> runSource = useDictionarySettings(path);
    if (!stopped()) {
        if (request_.keys.fuzzy() && (!current_ || current_->regulSig))
            searchFuzzyIndexed(path);
        else if (request_.keys.useIndex)
            searchIndexedFile(path);
        else
            searchWholeFile(path);
        ++filesSearched_;
    }
    if (runSource) source_ = std::move(runSource);
    formatter_->setFileReplacements({});
    return stopped() ? 1 : 0;
}

// A dictionary body is searched through its converted text, cut at the
// separator and shown with the display replacement its header names. The
// run's own record source comes back to be put in place afterwards.
std::unique_ptr<RecordSource> TWorker::useDictionarySettings(const LStr& path) {
    const LStr text = convertEpwingBody(path.view(), request_.conversion);
    if (text.empty()) return nullptr;
    LStr display = headerValue(text.view(), "DSPREP");
    display.replaceAll("${/}", "\r\n");
    formatter_->setFileReplacements(display.view());
    const LStr separator = headerValue(text.view(), "RECSEP");
    if (separator.empty()) return nullptr;
    std::unique_ptr<RecordSource> own = std::make_unique<RecordSource>(separator.view());
    std::swap(own, source_);
    return own;
}

void TWorker::searchWholeFile(const LStr& path) {
    debugLog("path=[%s]\n", path.c_str());
    TReader reader;
    int32_t n = 0;
    if (openForSearch(reader, path, false)) n = searchRange(reader, 0, kWholeFile, 1);
    reader.close();
    countFile(path, n);
}

// The index tells which record blocks can hold the search string; only
// those are read. A file the index cannot serve is read whole.
void TWorker::searchIndexedFile(const LStr& path) {
    TReader reader;
    const IndexedOutcome out = runIndexedSearch(indexedRun(reader, path), path.view());
    reader.close();
    if (out.wholeFile) return searchWholeFile(path);
    countFile(path, out.hits);
}

// A fuzzy search always goes through the index; a file that cannot be
// indexed is skipped with a message line.
void TWorker::searchFuzzyIndexed(const LStr& path) {
    TReader reader;
    const IndexedOutcome out = runFuzzyIndexedSearch(indexedRun(reader, path), path.view());
    reader.close();
    countFile(path, out.hits);
}

IndexedFileSearch TWorker::indexedRun(TReader& reader, const LStr& path) {
    IndexedFileSearch run;
    run.cache = ixCache_.get();
    run.separator = source_->separator();
    run.conversion = request_.conversion;
    run.current = current_;
    run.stringCount = int32_t(strings_.size());
    run.regex = request_.keys.regex();
    run.open = [this, &reader, &path] { return openForSearch(reader, path, true); };
    run.searchRange = [this, &reader](int64_t start, int64_t length, int32_t line) {
        return searchRange(reader, start, length, line);
    };
    return run;
}

void TWorker::countFile(const LStr& path, int32_t hits) {
    if (hits <= 0) return;
    ++filesWithHits_;
    if (request_.countOnly) outputFormatted("%4d    %s\n", hits, path.c_str());
}

// A file that does not open still counts as searched; the reason is told
// once, even when two strategies tried it. A file gone since the walk listed
// it is passed over quietly.
void TWorker::reportUnopened(const LStr& path) {
    if (unopenedReported_) return;
    unopenedReported_ = true;
    const int error = readOpenError(path.view());
    if (error == 0 || error == ENOENT) return;
    if (error == kNotRegularFile) {
        reportNotRegularFile(path.view());
        return;
    }
    setLastSystemError(error);
    report(kMsgSystemWarning, jaEn(kJaCannotOpen, "cannot open %s"), path.c_str());
}

bool TWorker::openForSearch(TReader& reader, const LStr& path, bool indexMode) {
    if (!openReader(reader, path, displayBase_.view(), indexMode, request_.conversion,
                    lineNeedles_.get())) {
        reportUnopened(path);
        return false;
    }
    if (formatter_->showsFieldTitles())
        reader.fieldTitles = formatter_->fieldTitles(source_->firstRecordText(reader).view());
    return true;
}

int32_t TWorker::searchRange(TReader& reader, int64_t start, int64_t length, int32_t firstLine) {
    source_->seek(reader, start, firstLine);
    if (stopped()) return 0;
    const int64_t end = start + length;
    int32_t count = 0;
    while ((!needleFinder_ || source_->skipToCandidate(reader, end, *needleFinder_)) &&
           source_->next(reader, end, record_)) {
        prefix_.truncate(0);
        suffix_.truncate(0);
        if (areaRex_ &&
            splitArea(*areaRex_, request_.areaPattern.view(), record_, prefix_, suffix_)) {
            failed_ = true;
            break;
        }
        for (size_t i = 0; i < testers_.size(); ++i) {
            if (!testers_[i]->matches(record_.view())) continue;
            if (request_.suppressDuplicates && isShownDuplicate(record_)) continue;
            count += evaluateRecord(reader, *testers_[i], strings_[i]->schStrNo);
            setStatusF(4, "%d", hitCount_ + count);
            std::this_thread::yield();
        }
        if (stopped()) break;
    }
    hitCount_ += count;
    std::this_thread::yield();
    return count;
}

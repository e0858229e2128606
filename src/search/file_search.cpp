// The per-file part of a run: choosing a strategy, opening the file and
// cutting it into records, and the per-record loop over the search strings.
#include <algorithm>
#include <thread>

#include "pattern/record_reader.h"
#include "search/indexed_search.h"
#include "search/open_reader.h"
#include "search/record_test.h"
#include "search/search_output.h"
#include "search/search_string.h"
#include "search/status_sink.h"
#include "search/worker.h"
#include "support/byte_scan.h"
#include "support/message_service.h"

namespace {

constexpr int32_t kPeekLength = 100;
constexpr int32_t kMaxRecordLength = 10000;
constexpr int64_t kWholeFile = 2147483647;

}  // namespace

int TWorker::searchFile(const LStr& path) {
    if (request_.ignoreSameRecord == 1) shownRecords_.clear();
    if (!visitedFiles_.add(path.view())) return stopped() ? 1 : 0;

    const TSchStr* current = current_ >= 0 ? strings_[current_].get() : nullptr;
    if (request_.keys.fuzzy() && (!current || current->regulSig))
        searchFuzzyIndexed(path);
    else if (request_.keys.useIndex)
        searchIndexedFile(path);
    else
        searchWholeFile(path);
    ++filesSearched_;

    fileRecSepar_.reset();
    fileReplace_.clear();
    fileHasOwnSettings_ = false;
    return stopped() ? 1 : 0;
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
    run.separator = {recordSeparator(), recordSeparatorTable()};
    run.current = current_ >= 0 ? strings_[current_].get() : nullptr;
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
    if (countOnly_) outputFormatted("%4d    %s\n", hits, path.c_str());
}

bool TWorker::openForSearch(TReader& reader, const LStr& path, bool indexMode) {
    if (!openReader(reader, path, displayBase_.view(), indexMode)) return false;
    if (request_.fieldTitles) readFieldTitles(reader);
    return true;
}

void TWorker::readFieldTitles(TReader& reader) {
    LStr first;
    int32_t separator = readUntilRex(reader.stream(), recordSeparator(), kPeekLength,
                                     recordSeparatorTable(), first, kMaxRecordLength);
    if (first.empty()) return;
    std::string_view titles = first.view().substr(0, first.length() - separator);
    std::string_view cut = fldSeparText_.view();
    for (;;) {
        size_t end = cut.empty() ? std::string_view::npos : titles.find(cut);
        reader.fieldTitles.emplace_back(titles.substr(0, end));
        if (end == std::string_view::npos) break;
        titles.remove_prefix(end + cut.size());
    }
}

LRex* TWorker::recordSeparator() const {
    return fileRecSepar_ ? fileRecSepar_.get() : recSepar_.get();
}

const LRexStartTable* TWorker::recordSeparatorTable() const {
    if (fileRecSepar_) return &fileRecSeparTable_;
    return recSeparHasTable_ ? &recSeparTable_ : nullptr;
}

bool TWorker::isShownDuplicate(const LStr& area) {
    key_ = area;
    dupReplace_.apply(key_);
    return !shownDupKeys_.add(key_.view());
}

int32_t TWorker::searchRange(TReader& reader, int64_t start, int64_t length, int32_t firstLine) {
    LSrmBase& stream = reader.stream();
    stream.seek(int32_t(start));
    stream.setLine(firstLine);
    if (stopped()) return 0;
    const int64_t end = start + length;
    LRex* separator = recordSeparator();
    const LRexStartTable* table = recordSeparatorTable();
    int32_t line = firstLine;
    int32_t count = 0;
    for (;;) {
        if (stream.tell() >= end) break;
        record_.truncate(0);  // keeps the buffer (clear() would free it)
        readUntilRex(stream, separator, kPeekLength, table, record_, kMaxRecordLength);
        if (record_.empty()) break;
        // Lines are counted here, one per line feed read, as the stream
        // counts them; asking the stream would rescan its buffer each time.
        reader.setRecordLine(line);
        const std::string_view text = record_.view();
        line += countByte(text.data(), text.data() + text.size(), '\n');
        prefix_.truncate(0);
        suffix_.truncate(0);
        if (areaRex_ &&
            splitArea(*areaRex_, request_.areaPattern.view(), record_, prefix_, suffix_)) {
            failed_ = true;
            break;
        }
        for (size_t i = 0; i < testers_.size(); ++i) {
            current_ = int32_t(i);
            if (!testers_[i]->matches(record_.view())) continue;
            if (request_.suppressDuplicates && isShownDuplicate(record_)) continue;
            count += evaluateRecord(reader, record_, prefix_, suffix_);
            setStatusF(4, "%d", hitCount_ + count);
            std::this_thread::yield();
        }
        if (stopped()) break;
    }
    hitCount_ += count;
    std::this_thread::yield();
    return count;
}

// The per-file part of a run: choosing a strategy, opening the file, and the
// per-record loop over the search strings.
#include "search/file_searcher.h"

#include <algorithm>
#include <cerrno>

#include "convert/candidate_lines.h"
#include "epwing/epw_convert.h"
#include "epwing/epw_settings.h"
#include "pattern/parser.h"
#include "platform/file_handle.h"
#include "platform/system_error.h"
#include "search/fuzzy_record_matcher.h"
#include "search/indexed_search.h"
#include "search/open_reader.h"
#include "search/record_source.h"
#include "search/record_test.h"
#include "search/result_formatter.h"
#include "search/search_output.h"
#include "search/search_string.h"
#include "search/status_sink.h"
#include "support/dir_walker.h"
#include "support/message_service.h"
#include "support/needle_finder.h"

namespace {

constexpr int64_t kWholeFile = INT64_MAX;

// "%s を開けません"
const char kJaCannotOpen[] = "%s \x82\xF0\x8AJ\x82\xAF\x82\xDC\x82\xB9\x82\xF1";

}  // namespace

FileSearcher::FileSearcher(const SearchRunShared& run) : run_(run), request_(run.request) {
    source_ = std::make_unique<RecordSource>(request_.recordSeparator.view());
    formatter_ = std::make_unique<ResultFormatter>(request_);
    fldSepar_ = compileRex(request_.fieldSeparator.view());
    dupReplace_.parse(request_.dupReplace.view());
    if (!request_.areaPattern.empty()) areaRex_ = compileRex(request_.areaPattern.view());
    for (const auto& str : run.strings) strings_.push_back(copySearchString(*str));
    current_ = strings_.size() == 1 ? strings_.front().get() : nullptr;
    for (const auto& str : strings_) {
        auto tester =
            std::make_unique<RecordTester>(request_.keys, *str, fldSepar_.get(), source_->node());
        if (request_.keys.fuzzy())
            tester->setFuzzyMatcher(makeFuzzyRecordMatcher(request_.keys, *str));
        testers_.push_back(std::move(tester));
    }
    chooseNeedles();
}

FileSearcher::~FileSearcher() = default;

// Records are passed over by their lines only when nothing but the strings
// looks at them: no search area, and every string tells its bytes (or the
// one string a line scan of its own).
void FileSearcher::chooseNeedles() {
    candidateScan_ = nullptr;
    checkedScan_.reset();
    needles_.clear();
    needleFinder_.reset();
    lineNeedles_.reset();
    if (areaRex_ || !source_->cutsLines()) return;
    for (const auto& tester : testers_) {
        const std::vector<LStr>& needles = tester->requiredBytes();
        const auto lineEnd = [](const LStr& n) {
            return n.view().find_first_of("\r\n") != std::string_view::npos;
        };
        if (needles.empty() || std::any_of(needles.begin(), needles.end(), lineEnd)) {
            needles_.clear();
            break;
        }
        for (const LStr& needle : needles) needles_.push_back(needle.view());
    }
    if (!needles_.empty()) needleFinder_ = std::make_unique<NeedleFinder>(needles_);
    // Field titles come from the first record, which need not hold a needle.
    if (!needles_.empty() && !formatter_->showsFieldTitles())
        lineNeedles_ = std::make_unique<LineNeedles>(needles_);
    const CandidateScan* lines = testers_.size() == 1 ? testers_[0]->lineScan() : nullptr;
    if (lines) testers_[0]->leaveFilterToLineScan();
    if (needleFinder_ && lines)
        checkedScan_ = std::make_unique<CheckedCandidateScan>(*needleFinder_, *lines);
    candidateScan_ = checkedScan_    ? checkedScan_.get()
                     : needleFinder_ ? static_cast<const CandidateScan*>(needleFinder_.get())
                                     : lines;
}

FileOutcome FileSearcher::searchFile(const LStr& path, const IxFileRef* ixFile) {
    ixFile_ = ixFile;
    if (request_.ignoreSameRecord == 1) shownRecords_.clear();
    unopenedReported_ = false;
    failed_ = false;
    FileOutcome out;
    // A conversion stopped on the way leaves the file unsearched.
    std::unique_ptr<RecordSource> runSource = useDictionarySettings(path);
    if (!stopped()) {
        if (request_.keys.fuzzy() && (!current_ || current_->regulSig))
            out.hits = searchFuzzyIndexed(path);
        else if (request_.keys.useIndex)
            out.hits = searchIndexedFile(path);
        else
            out.hits = searchWholeFile(path);
        out.searched = true;
    }
    if (runSource) source_ = std::move(runSource);
    formatter_->setFileReplacements({});
    out.failed = failed_;
    out.cut = run_.runStopped();
    ixFile_ = nullptr;
    return out;
}

// A dictionary body is searched through its converted text, cut at the
// separator and shown with the display replacement its header names. The
// run's own record source comes back to be put in place afterwards.
std::unique_ptr<RecordSource> FileSearcher::useDictionarySettings(const LStr& path) {
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

int32_t FileSearcher::searchWholeFile(const LStr& path) {
    debugLog("path=[%s]\n", path.c_str());
    TReader reader;
    int32_t n = 0;
    if (openForSearch(reader, path, false)) n = searchRange(reader, 0, kWholeFile, 1);
    reader.close();
    return countFile(path, n);
}

// The index tells which record blocks can hold the search string; only
// those are read. A file the index cannot serve is read whole.
int32_t FileSearcher::searchIndexedFile(const LStr& path) {
    TReader reader;
    const IndexedOutcome out = runIndexedSearch(indexedRun(reader, path), path.view());
    reader.close();
    if (out.wholeFile) return searchWholeFile(path);
    return countFile(path, out.hits);
}

// A fuzzy search always goes through the index; a file that cannot be
// indexed is skipped with a message line.
int32_t FileSearcher::searchFuzzyIndexed(const LStr& path) {
    TReader reader;
    const IndexedOutcome out = runFuzzyIndexedSearch(indexedRun(reader, path), path.view());
    reader.close();
    return countFile(path, out.hits);
}

IndexedFileSearch FileSearcher::indexedRun(TReader& reader, const LStr& path) {
    IndexedFileSearch run;
    run.cache = run_.ixCache;
    run.file = ixFile_;
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

// The file's hits; its count line when only counts are shown.
int32_t FileSearcher::countFile(const LStr& path, int32_t hits) {
    if (hits > 0 && request_.countOnly) outputFormatted("%4d    %s\n", hits, path.c_str());
    return hits;
}

// A file that does not open still counts as searched; the reason is told
// once, even when two strategies tried it. A file gone since the walk listed
// it is passed over quietly.
void FileSearcher::reportUnopened(const LStr& path) {
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

bool FileSearcher::openForSearch(TReader& reader, const LStr& path, bool indexMode) {
    if (!openReader(reader, path, run_.displayBase.view(), indexMode, request_.conversion,
                    lineNeedles_.get())) {
        reportUnopened(path);
        return false;
    }
    if (formatter_->showsFieldTitles())
        reader.fieldTitles = formatter_->fieldTitles(source_->firstRecordText(reader).view());
    return true;
}

int32_t FileSearcher::searchRange(TReader& reader, int64_t start, int64_t length,
                                  int32_t firstLine) {
    source_->seek(reader, start, firstLine);
    if (stopped()) return 0;
    const int64_t end = start + length;
    int32_t count = 0;
    while ((!candidateScan_ || source_->skipToCandidate(reader, end, *candidateScan_)) &&
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
            const int32_t n = evaluateRecord(reader, *testers_[i], strings_[i]->schStrNo);
            count += n;
            setStatusF(4, "%d", run_.liveHits += n);
        }
        if (stopped()) break;
    }
    return count;
}

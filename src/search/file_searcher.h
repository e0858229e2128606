// FileSearcher: the per-file part of a search run. It holds everything that
// searching a file changes (the record source, a tester per search string
// with its compiled matchers, the result formatter, the record and hit
// buffers), so a run that searches several files at once gives each thread
// one. It reads the run-wide parts it is given and never changes them.
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "base/lstr.h"
#include "pattern/nodes/rex.h"
#include "search/held_output.h"
#include "search/hit.h"
#include "search/rate_sort.h"
#include "search/replacement_pairs.h"
#include "search/search_request.h"
#include "support/str_set.h"

struct TSchStr;
class RecordTester;
class RecordSource;
class ResultFormatter;
class TReader;
class TIxCache;
class SharedIxCache;
struct IxFileRef;
struct IndexedFileSearch;
class CandidateScan;
class LineNeedles;
class NeedleFinder;

// What the searchers of a run share; it outlives them.
struct SearchRunShared {
    const SearchRequest& request;
    const std::vector<std::unique_ptr<TSchStr>>& strings;
    const LStr& displayBase;  // folder prefix cut from displayed paths
    // The index file of the folder searched last; null when the run reads
    // no index. A run on several threads hands each file its own instead.
    TIxCache* ixCache = nullptr;
    std::atomic<int32_t>& liveHits;  // the running hit count of the status bar
    // The run's stop flag or the worker's own stop request.
    std::function<bool()> runStopped;
};

// What searching one file came to.
struct FileOutcome {
    int32_t hits = 0;       // hit spans
    bool searched = false;  // the file counts as searched
    bool failed = false;    // an error ends the run (its message is out)
    bool cut = false;       // the run was stopped by the end of the file
    HeldMessages output;    // the file's output when it was held back
    RateItems rated;        // the file's lines kept for sorting, when handed on
    // The cache of the file's index file, held until the file is released.
    std::shared_ptr<SharedIxCache> ixCache;
};

class FileSearcher {
public:
    explicit FileSearcher(const SearchRunShared& run);
    ~FileSearcher();
    FileSearcher(const FileSearcher&) = delete;
    FileSearcher& operator=(const FileSearcher&) = delete;

    // ixFile: the file's index cache when files are searched at once.
    FileOutcome searchFile(const LStr& path, const IxFileRef* ixFile = nullptr);
    ResultFormatter& formatter() { return *formatter_; }

private:
    bool stopped() const { return failed_ || run_.runStopped(); }
    void chooseNeedles();

    std::unique_ptr<RecordSource> useDictionarySettings(const LStr& path);
    int32_t searchWholeFile(const LStr& path);
    int32_t searchIndexedFile(const LStr& path);
    int32_t searchFuzzyIndexed(const LStr& path);
    IndexedFileSearch indexedRun(TReader& reader, const LStr& path);
    bool openForSearch(TReader& reader, const LStr& path, bool indexMode);
    int32_t countFile(const LStr& path, int32_t hits);
    void reportUnopened(const LStr& path);
    int32_t searchRange(TReader& reader, int64_t start, int64_t length, int32_t firstLine);
    // Per record: its hits are counted and its line written unless it is
    // not to be shown.
    int32_t evaluateRecord(TReader& reader, RecordTester& tester, int32_t schStrNo);
    bool isShownDuplicate(const LStr& record);
    bool isShownRecord();

    const SearchRunShared& run_;
    const SearchRequest& request_;
    std::vector<std::unique_ptr<TSchStr>> strings_;       // the run's, with patterns of our own
    std::vector<std::unique_ptr<RecordTester>> testers_;  // one per search string
    // Bytes of which every matching record holds one, when records without
    // any may be passed over unread; empty otherwise.
    std::vector<std::string_view> needles_;
    std::unique_ptr<NeedleFinder> needleFinder_;    // over needles_, when there are any
    std::unique_ptr<CandidateScan> checkedScan_;    // needles confirmed by the line scan
    const CandidateScan* candidateScan_ = nullptr;  // where lines worth cutting begin
    // The same for UTF-8 texts, which then need only their candidate lines decoded.
    std::unique_ptr<LineNeedles> lineNeedles_;
    // The string the index strategies serve: the only one, else none.
    const TSchStr* current_ = nullptr;
    const IxFileRef* ixFile_ = nullptr;  // of the file being searched

    std::unique_ptr<RecordSource> source_;
    std::unique_ptr<ResultFormatter> formatter_;
    LRexPtr fldSepar_;
    LRexPtr areaRex_;
    ReplacementList dupReplace_;
    // Run-wide when the run has one thread (a run that keeps them across
    // files is never split).
    LStrSet shownDupKeys_{256};
    LStrSet shownRecords_{256};  // records already shown (ignoreSameRecord)
    bool failed_ = false;
    bool unopenedReported_ = false;  // the current file's open failure is out

    // Buffers reused from record to record.
    LStr record_;
    LStr prefix_;
    LStr suffix_;
    LStr key_;
    HitList hits_;
};

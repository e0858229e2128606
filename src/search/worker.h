// TWorker: one search run on its own thread. It walks the folders, has each
// file cut into records (RecordSource), tests each record against the search
// strings (RecordTester), has the result formatter write the lines of those
// that hold hits, and ends with the summary. It reads only its own copy of
// the request, and everything it compiles or keeps belongs to it.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "base/lstr.h"
#include "pattern/nodes/rex.h"
#include "search/hit.h"
#include "search/replacement_pairs.h"
#include "search/search_request.h"
#include "support/str_set.h"
#include "support/thread.h"

struct TSchStr;
class RecordTester;
class RecordSource;
class ResultFormatter;
class TReader;
class TIxCache;
class RunContext;
class LineNeedles;
class NeedleFinder;
struct IndexedFileSearch;

// The counts of a finished run.
struct SearchSummary {
    int32_t hits = 0;  // hit spans
    int32_t filesSearched = 0;
    int32_t filesWithHits = 0;
    bool stopped = false;  // the run was cancelled
};

class TWorker : public LThread {
public:
    // The run reports through the context and ends when its stop flag is set.
    TWorker(SearchRequest request, std::shared_ptr<RunContext> context);
    ~TWorker() override;

    // Adds a compiled search string before the run starts; a fuzzy string
    // too short for fuzzy matching counts as a fallback.
    void addSearchString(std::unique_ptr<TSchStr> str, bool fuzzyFallback);
    int32_t searchStringCount() const { return int32_t(strings_.size()); }
    int32_t fuzzyFallbacks() const { return fuzzyFallbacks_; }
    // Runs last when the worker is destroyed: the front end's notice that
    // the run has ended, with its counts.
    void setEndAction(std::function<void(const SearchSummary&)> action) {
        endNotice_.action = std::move(action);
    }

    void run() override;

    int32_t hitCount() const { return hitCount_; }
    int32_t filesSearched() const { return filesSearched_; }
    int32_t filesWithHits() const { return filesWithHits_; }

private:
    struct EndNotice {
        std::function<void(const SearchSummary&)> action;
        SearchSummary summary;
        ~EndNotice() {
            if (action) action(summary);
        }
    };

    // Whether the run is to end: an error of its own, the context's stop flag
    // or this thread's own stop request.
    bool stopped() const;

    // The run's steps.
    void prepare();
    void chooseNeedles();
    void writeHeadings();
    void walkFolders();
    void writeSummary();

    // Per file (file_search.cpp).
    int searchFile(const LStr& path);
    std::unique_ptr<RecordSource> useDictionarySettings(const LStr& path);
    void searchWholeFile(const LStr& path);
    void searchIndexedFile(const LStr& path);
    void searchFuzzyIndexed(const LStr& path);
    IndexedFileSearch indexedRun(TReader& reader, const LStr& path);
    bool openForSearch(TReader& reader, const LStr& path, bool indexMode);
    void countFile(const LStr& path, int32_t hits);
    void reportUnopened(const LStr& path);
    int32_t searchRange(TReader& reader, int64_t start, int64_t length, int32_t firstLine);
    // Per record: its hits are counted and its line written unless it is
    // not to be shown.
    int32_t evaluateRecord(TReader& reader, RecordTester& tester, int32_t schStrNo);
    bool isShownDuplicate(const LStr& record);
    bool isShownRecord();

    EndNotice endNotice_;  // first member, so it runs after the others are gone
    const SearchRequest request_;
    const std::shared_ptr<RunContext> context_;
    LStr displayBase_;  // folder prefix cut from displayed paths

    std::vector<std::unique_ptr<TSchStr>> strings_;
    std::vector<std::unique_ptr<RecordTester>> testers_;  // one per search string
    // Bytes of which every matching record holds one, when records without
    // any may be passed over unread; empty otherwise.
    std::vector<std::string_view> needles_;
    std::unique_ptr<NeedleFinder> needleFinder_;  // over needles_, when there are any
    // The same for UTF-8 texts, which then need only their candidate lines decoded.
    std::unique_ptr<LineNeedles> lineNeedles_;
    // The string the index strategies serve: the only one, else none.
    const TSchStr* current_ = nullptr;

    std::unique_ptr<RecordSource> source_;
    std::unique_ptr<ResultFormatter> formatter_;
    LRexPtr fldSepar_;
    LRexPtr areaRex_;
    ReplacementList dupReplace_;

    int32_t hitCount_ = 0;
    int32_t filesSearched_ = 0;
    int32_t filesWithHits_ = 0;
    int32_t fuzzyFallbacks_ = 0;
    // The index file of the folder searched last; writes itself back when
    // dirty as the worker goes.
    std::unique_ptr<TIxCache> ixCache_;
    LStrSet shownDupKeys_{256};
    LStrSet shownRecords_{256};  // records already shown (ignoreSameRecord)
    bool wasStopped_ = false;
    bool failed_ = false;            // an error ended the run (its message is out)
    bool unopenedReported_ = false;  // the current file's open failure is out

    // Buffers reused from record to record.
    LStr record_;
    LStr prefix_;
    LStr suffix_;
    LStr key_;
    HitList hits_;
};

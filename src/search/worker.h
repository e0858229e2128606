// TWorker: one search run on its own thread. It walks the folders, has each
// file searched (FileSearcher: records, search strings, result lines) and
// ends with the summary. With several search threads the files are searched
// at once by a FilePool and their output still comes in walk order. It reads
// only its own copy of the request, and everything it compiles or keeps
// belongs to it.
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "base/lstr.h"
#include "search/file_searcher.h"
#include "search/search_request.h"
#include "support/dir_walker.h"
#include "support/thread.h"

struct TSchStr;
class TIxCache;
class IxCacheSet;
class RunContext;

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
    // The context's stop flag or this thread's stop request (any thread).
    bool runStopped() const;

    // The run's steps.
    void prepare();
    void writeHeadings();
    void walkFolders();
    void walkFolders(const FileVisitor& visit);
    void walkOnThreads(int threads);
    void writeSummary();
    // How many threads search files: one where a run-wide feature needs the
    // files in turn.
    int searchThreads() const;
    // Counts a searched file; false when the run is to end.
    bool tally(const FileOutcome& outcome);

    EndNotice endNotice_;  // first member, so it runs after the others are gone
    const SearchRequest request_;
    const std::shared_ptr<RunContext> context_;
    LStr displayBase_;  // folder prefix cut from displayed paths

    std::vector<std::unique_ptr<TSchStr>> strings_;
    std::unique_ptr<SearchRunShared> shared_;
    // The searcher of a run on one thread; it also shows what compiling
    // reports and keeps the lines sorted by rate.
    std::unique_ptr<FileSearcher> searcher_;

    int32_t hitCount_ = 0;
    int32_t filesSearched_ = 0;
    int32_t filesWithHits_ = 0;
    int32_t fuzzyFallbacks_ = 0;
    std::atomic<int32_t> liveHits_{0};
    // The index file of the folder searched last; writes itself back when
    // dirty as the worker goes.
    std::unique_ptr<TIxCache> ixCache_;
    // The index caches of a run on several threads that reads the index.
    std::unique_ptr<IxCacheSet> ixCaches_;
    bool wasStopped_ = false;
    bool releaseEnded_ = false;        // a released file ended the run: later ones are dropped
    std::atomic<bool> failed_{false};  // an error ended the run (its message is out)
};

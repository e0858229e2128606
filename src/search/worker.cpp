// The worker's run: preparation, headings, the folder walk and the summary.
#include "search/worker.h"

#include <algorithm>

#include "index/index_separator.h"
#include "index/ix_cache.h"
#include "index/ix_cache_set.h"
#include "platform/environment.h"
#include "search/display_base.h"
#include "search/file_pool.h"
#include "search/font_markers.h"
#include "search/held_output.h"
#include "search/indexed_search.h"
#include "search/result_formatter.h"
#include "search/search_output.h"
#include "search/search_string.h"
#include "search/status_sink.h"
#include "support/dir_walker.h"
#include "support/message_service.h"
#include "support/run_context.h"

namespace {

const char kSearching[] = "\x8C\x9F\x8D\xF5\x92\x86";                          // 検索中
const char kFolderLine[] = "\x8C\x9F\x8D\xF5\x83t\x83H\x83\x8B\x83_: %s\r\n";  // 検索フォルダ: %s
const char kStringLine[] =
    "\x8C\x9F\x8D\xF5\x95\xB6\x8E\x9A\x97\xF1:\x81u%s\x81v\r\n";  // 検索文字列:「%s」
const char kStopped[] = "\x92\x86\x8E~\x82\xB5\x82\xDC\x82\xB5\x82\xBD";  // 中止しました
const char kFoundCount[] = "%s\x94\xAD\x8C\xA9\x90\x94 %d";               // %s発見数 %d
const char kHitFiles[] =
    " (\x83q\x83"
    "b\x83g \x83t\x83@\x83"
    "C\x83\x8B\x90\x94 %d/%d)\r\n";  // (ヒット ファイル数 %d/%d)

}  // namespace

TWorker::TWorker(SearchRequest request, std::shared_ptr<RunContext> context)
    : request_(std::move(request)), context_(std::move(context)) {}

// Stop the thread while the members it uses are still there.
TWorker::~TWorker() {
    stop(-1);
    endNotice_.summary = {hitCount_, filesSearched_, filesWithHits_, wasStopped_};
}

bool TWorker::stopped() const {
    return failed_ || runStopped();
}

bool TWorker::runStopped() const {
    return context_->stopRequested() || LThread::stopRequested();
}

void TWorker::addSearchString(std::unique_ptr<TSchStr> str, bool fuzzyFallback) {
    strings_.push_back(std::move(str));
    if (fuzzyFallback) ++fuzzyFallbacks_;
}

void TWorker::run() {
    // Deep code reaches the run's sinks and stop flag through its thread.
    RunContextScope scope(context_);
    debugLog("worker started (TH# %Xh)\n", threadNumber());
    setStatus(2, kSearching);
    setStatus(4, "0");
    ixCache_ = makeIndexCache(request_.indexFolder.view());
    // Blocks cut at another record separator would be read wrongly.
    if (request_.keys.useIndex || request_.keys.fuzzy())
        matchIndexSeparator(
            request_.indexFolder.view(),
            indexCutKey(request_.recordSeparator.view(), request_.conversion.autoDetect).view());
    prepare();
    writeHeadings();
    walkFolders();
    searcher_->formatter().writeSorted();
    wasStopped_ = stopped();
    if (wasStopped_) outputMessageText(kStopped);
    writeSummary();
    setStatus(1, "");
    setStatus(2, "");
    ixCache_.reset();  // a changed index file is written back
    ixCaches_.reset();
    debugLog("worker end\n");
}

void TWorker::prepare() {
    shared_ = std::make_unique<SearchRunShared>(SearchRunShared{request_, strings_, displayBase_,
                                                                ixCache_.get(), liveHits_,
                                                                [this] { return runStopped(); }});
    searcher_ = std::make_unique<FileSearcher>(*shared_);
}

void TWorker::writeHeadings() {
    displayBase_ = displayBaseOf(request_);
    if (!displayBase_.empty()) {
        // The heading names the shared folder as the folders spell it,
        // without the separator the base gains.
        LStr line;
        appendMarker(line, kFontStd);
        line.append(formatText(kFolderLine, commonFolderBase(request_.folders).c_str()));
        outputText(line);
    }
    if (strings_.size() == 1) {
        LStr line;
        appendMarker(line, kFontStd);
        line.append(formatText(kStringLine, request_.searchString.c_str()));
        outputText(line);
    }
}

// Files are searched at once only when the result cannot tell: the
// shown-record and duplicate-key sets of a run compare records across files
// in walk order.
int TWorker::searchThreads() const {
    if (request_.ignoreSameRecord == 2 || request_.suppressDuplicates) return 1;
    const int wanted = request_.threads > 0 ? request_.threads : processorCount();
    return std::min(wanted, kMostSearchThreads);
}

void TWorker::walkFolders() {
    const int threads = searchThreads();
    if (threads > 1) return walkOnThreads(threads);
    walkFolders([this](const LStr& path) { return tally(searcher_->searchFile(path)) ? 0 : 1; });
}

void TWorker::walkFolders(const FileVisitor& visit) {
    // One walker for all folders: a file reached from two of them is searched once.
    FolderWalker walker(request_.masks, request_.subfolders);
    for (const LStr& folder : request_.folders) {
        // A cancelled run goes on to no further folder.
        if (stopped()) break;
        walker.walk(folder.view(), visit);
    }
}

// The pool shows each file's held output in walk order. The output stays
// what one thread would give: after the file that an error or a stop ended
// (or the first one a stop passed over), later files, which other threads
// searched meanwhile, show nothing and do not count. Lines sorted by rate
// join the worker's formatter in walk order too. A file lets go of its index
// cache on release, so the last file of an index file writes it back in
// walk order, where one thread would have.
void TWorker::walkOnThreads(int threads) {
    if (request_.keys.useIndex || request_.keys.fuzzy())
        ixCaches_ = std::make_unique<IxCacheSet>(request_.indexFolder.view());
    FilePool pool(threads, *shared_, context_, [this](FileOutcome& outcome) {
        if (!releaseEnded_) {
            showHeldMessages(outcome.output);
            tally(outcome);
            searcher_->formatter().addRated(std::move(outcome.rated));
            releaseEnded_ = outcome.failed || outcome.cut || !outcome.searched;
        }
        outcome.ixCache.reset();
        return !releaseEnded_;
    });
    if (!pool.started()) {
        return walkFolders(
            [this](const LStr& path) { return tally(searcher_->searchFile(path)) ? 0 : 1; });
    }
    walkFolders([this, &pool](const LStr& path) {
        IxFileRef ixFile = ixCaches_ ? ixCaches_->cacheOf(path.view()) : IxFileRef{};
        return pool.submit(path, std::move(ixFile), visitedFileFacts(path.view())) && !stopped()
                   ? 0
                   : 1;
    });
    pool.finish();
}

bool TWorker::tally(const FileOutcome& outcome) {
    hitCount_ += outcome.hits;
    if (outcome.searched) ++filesSearched_;
    if (outcome.hits > 0) ++filesWithHits_;
    if (outcome.failed) failed_ = true;
    return !stopped();
}

void TWorker::writeSummary() {
    LStr line =
        formatText(kFoundCount, searcher_->formatter().displaySeparator().c_str(), hitCount_);
    line.append(formatText(kHitFiles, filesWithHits_, filesSearched_));
    outputText(line);
}

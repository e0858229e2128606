// startSearch and the busy state of the program.
#include "search/search_run.h"

#include <memory>

#include "search/search_output.h"
#include "search/search_request.h"
#include "search/search_string.h"
#include "search/worker.h"
#include "support/run_context.h"

namespace {

// 検索文字列が短いため、ファジー検索ではなく通常検索を行います。
const char kFuzzyFallbackNote[] =
    "\x8C\x9F\x8D\xF5\x95\xB6\x8E\x9A\x97\xF1\x82\xAA\x92Z\x82\xA2\x82\xBD\x82\xDF\x81"
    "A\x83t\x83@\x83W\x81[\x8C\x9F\x8D\xF5\x82\xC5\x82\xCD\x82\xC8\x82\xAD\x92\xCA\x8F\xED"
    "\x8C\x9F\x8D\xF5\x82\xF0\x8Ds\x82\xA2\x82\xDC\x82\xB7\x81"
    "B";

// Set from a start until the worker has gone.
std::atomic<bool> searchRunning{false};

}  // namespace

std::atomic<bool>& deletionWorkerActive() {
    static std::atomic<bool> active{false};
    return active;
}

bool searchBusy() {
    return searchRunning.load() || deletionWorkerActive();
}

StartOutcome startSearch(const SearchRequest& request, std::shared_ptr<RunContext> context,
                         SearchEndHandler onEnd) {
    if (deletionWorkerActive() || searchRunning.exchange(true)) return StartOutcome::Busy;
    RunContextScope scope(context);
    context->clearStop();
    auto worker = std::make_unique<TWorker>(request, context);
    if (!request.searchString.empty()) {
        SearchStringResult compiled =
            compileSearchString(request.searchString.view(), request.keys, nullptr, 0);
        if (request.refuseDefect && compiled.defective) {
            searchRunning = false;
            return StartOutcome::PatternDefect;
        }
        worker->addSearchString(std::move(compiled.str), compiled.fuzzyFallback);
    }
    // The note only when every string of the run falls back.
    const int32_t strings = worker->searchStringCount();
    if (strings > 0 && worker->fuzzyFallbacks() == strings) outputMessageText(kFuzzyFallbackNote);
    worker->setEndAction([onEnd = std::move(onEnd)](const SearchSummary& summary) {
        searchRunning = false;
        if (onEnd) onEnd(summary);
    });
    // A worker that cannot start is destroyed at once, which calls the end
    // handler as well.
    LThread::startDetached(std::move(worker));
    return StartOutcome::Started;
}

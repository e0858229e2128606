// startSearch and the global state of the current worker.
#include "search/search_run.h"

#include <memory>
#include <mutex>

#include "search/search_output.h"
#include "search/search_request.h"
#include "search/search_string.h"
#include "search/worker.h"
#include "support/stop_flag.h"

namespace {

// 検索文字列が短いため、ファジー検索ではなく通常検索を行います。
const char kFuzzyFallbackNote[] =
    "\x8C\x9F\x8D\xF5\x95\xB6\x8E\x9A\x97\xF1\x82\xAA\x92Z\x82\xA2\x82\xBD\x82\xDF\x81"
    "A\x83t\x83@\x83W\x81[\x8C\x9F\x8D\xF5\x82\xC5\x82\xCD\x82\xC8\x82\xAD\x92\xCA\x8F\xED"
    "\x8C\x9F\x8D\xF5\x82\xF0\x8Ds\x82\xA2\x82\xDC\x82\xB7\x81"
    "B";

std::atomic<TWorker*> currentWorkerPointer{nullptr};

std::mutex& handlerLock() {
    static std::mutex lock;
    return lock;
}

SearchEndHandler& endHandler() {
    static SearchEndHandler handler;
    return handler;
}

void runEnded(const SearchSummary& summary) {
    currentWorkerPointer = nullptr;
    SearchEndHandler handler;
    {
        std::lock_guard lock(handlerLock());
        handler = endHandler();
    }
    if (handler) handler(summary);
}

}  // namespace

std::atomic<bool>& deletionWorkerActive() {
    static std::atomic<bool> active{false};
    return active;
}

bool searchBusy() {
    return currentWorkerPointer.load() != nullptr || deletionWorkerActive();
}

void setSearchEndHandler(SearchEndHandler handler) {
    std::lock_guard lock(handlerLock());
    endHandler() = std::move(handler);
}

StartOutcome startSearch(const SearchRequest& request) {
    if (searchBusy()) return StartOutcome::Busy;
    stopFlag() = 0;
    auto worker = std::make_unique<TWorker>(request);
    if (!request.searchString.empty()) {
        SearchStringResult compiled =
            compileSearchString(request.searchString.view(), request.keys, nullptr, 0);
        if (request.refuseDefect && compiled.defective) return StartOutcome::PatternDefect;
        worker->addSearchString(std::move(compiled.str), compiled.fuzzyFallback);
    }
    // The note only when every string of the run falls back.
    const int32_t strings = worker->searchStringCount();
    if (strings > 0 && worker->fuzzyFallbacks() == strings) outputMessageText(kFuzzyFallbackNote);
    currentWorkerPointer = worker.get();
    worker->setEndAction(runEnded);
    if (!LThread::startDetached(std::move(worker))) return StartOutcome::Busy;
    return StartOutcome::Started;
}

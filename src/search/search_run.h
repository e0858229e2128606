// Starting a search run. At most one worker (the search worker or the index
// deletion worker) exists at a time; while one does, the program is busy and
// a new search is refused. Before calling startSearch the front end clears
// its result view and takes the request from its settings.
#pragma once
#include <atomic>
#include <functional>
#include <memory>

class RunContext;
struct SearchRequest;
struct SearchSummary;

enum class StartOutcome {
    Started,        // the worker runs; the end handler will be called
    Busy,           // another worker exists; nothing was done
    PatternDefect,  // the search string reported a defect and was refused
};

// Called on the worker's thread once a run has ended, as its worker goes
// (the GUI turns it into a queued call).
using SearchEndHandler = std::function<void(const SearchSummary&)>;

// Compiles the search string and starts the worker on its own thread with a
// copy of the request. Everything the run reports, from compiling on, goes
// through the context, whose stop flag is cleared first and ends the run
// when set. When the request refuses defects, a search string whose
// compilation reported one is not searched (its message is out); otherwise
// the recovered pattern is searched.
StartOutcome startSearch(const SearchRequest& request, std::shared_ptr<RunContext> context,
                         SearchEndHandler onEnd);
// Whether a search worker or a deletion worker exists.
bool searchBusy();
// Set while the index deletion worker exists.
std::atomic<bool>& deletionWorkerActive();

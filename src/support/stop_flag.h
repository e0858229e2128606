// The stop flag: the front end (the GUI's stop button, qf's Ctrl-C handler)
// sets it, a run polls it between records, blocks and files, and long
// matches poll it every few thousand steps. It is the flag of the run context
// installed on the calling thread; work outside any run uses a flag of the
// process's own.
#pragma once
#include <atomic>

#include "support/run_context.h"

inline std::atomic<int>& stopFlag() {
    static std::atomic<int> outsideRuns{0};
    RunContext* context = currentRunContext();
    return context ? context->stopFlag() : outsideRuns;
}

inline bool stopRequested() {
    return stopFlag().load(std::memory_order_relaxed) != 0;
}

// The global stop flag of the running worker: the GUI (or qf's Ctrl-C
// handler) sets it, the worker polls it between records, blocks and files,
// and long matches poll it every few thousand steps.
#pragma once
#include <atomic>

inline std::atomic<int>& stopFlag() {
    static std::atomic<int> flag{0};
    return flag;
}

inline bool stopRequested() {
    return stopFlag().load(std::memory_order_relaxed) != 0;
}

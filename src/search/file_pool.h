// FilePool: the threads of a search run that search several files at once.
// The worker hands it the files in walk order; each thread searches a file
// with its own FileSearcher, its output held back, and the outcomes are
// released to the worker's handler in walk order, each as soon as every
// earlier file is released. The oldest unreleased file (the head) shows its
// output as it goes. At most a window of files is handed out ahead of the
// head. No thread outlives the pool.
#pragma once
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "base/lstr.h"
#include "index/shared_ix_cache.h"
#include "platform/file_system.h"
#include "search/file_searcher.h"
#include "search/ordered_release.h"

class RunContext;
class PoolThread;

class FilePool {
public:
    // release runs with the run's context installed, one file at a time;
    // it gives false when no later file is to be shown.
    FilePool(int threads, const SearchRunShared& run, std::shared_ptr<RunContext> context,
             std::function<bool(FileOutcome&)> release);
    ~FilePool();
    FilePool(const FilePool&) = delete;
    FilePool& operator=(const FilePool&) = delete;

    // Whether any thread runs (a run without one searches on its own).
    bool started() const;
    // Hands a file on (with its index cache when the run reads the index),
    // waiting while the window is full; false when the run stopped
    // meanwhile and the file was not taken. The outcome carries the
    // file's sorted lines and its cache to the release.
    // What the walk read of the file goes with it (see VisitedFileScope).
    bool submit(const LStr& path, IxFileRef ixFile = {}, const FsEntryFacts& facts = {});
    // Waits until every file handed on is released, then ends the threads.
    void finish();

private:
    friend class PoolThread;
    // Jobs queued before an idle thread is woken; idle threads look for
    // jobs this often by themselves.
    static constexpr size_t kWakeWhenQueued = 4;
    static constexpr std::chrono::microseconds kLookForJobsEvery{500};

    struct Job {
        int64_t number;
        LStr path;
        IxFileRef ixFile;
        FsEntryFacts facts;
    };
    // The next job for a thread; nothing when the pool closes.
    bool nextJob(Job& job);
    // A thread begins or ends a file; the head passes its output on.
    void begin(int64_t number, HeldOutput& held);
    void complete(int64_t number, HeldOutput& held, FileOutcome outcome);
    void released(bool goOn);
    void close();

    const SearchRunShared& run_;
    const std::shared_ptr<RunContext> context_;
    const std::function<bool(FileOutcome&)> release_;
    OrderedRelease<FileOutcome> order_;
    std::mutex headLock_;
    int64_t head_ = 0;  // the oldest unreleased file, -1 when none is to show
    std::map<int64_t, HeldOutput*> searching_;  // files being searched and their threads' sinks
    std::mutex lock_;
    std::condition_variable jobsChanged_;
    std::deque<Job> jobs_;
    int idleThreads_ = 0;  // threads waiting for a job
    bool closed_ = false;
    std::vector<std::unique_ptr<PoolThread>> threads_;
};

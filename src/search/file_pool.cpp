// The search threads of a run and the walk-order release of their output.
#include "search/file_pool.h"

#include "search/result_formatter.h"
#include "support/dir_walker.h"
#include "support/run_context.h"
#include "support/thread.h"

// One thread of the pool: a searcher of its own, and a context of its own
// whose message sink holds each file's output back.
class PoolThread : public LThread {
public:
    explicit PoolThread(FilePool& pool) : pool_(pool) {}
    ~PoolThread() override { stop(-1); }

    void run() override {
        auto held = std::make_shared<HeldOutput>(pool_.context_);
        auto context = std::make_shared<RunContext>(pool_.context_);
        context->setMessageSink(held);
        RunContextScope scope(context);
        FileSearcher searcher(pool_.run_);
        held->take();  // the worker's own searcher has shown what compiling reports
        FilePool::Job job;
        while (pool_.nextJob(job)) {
            // A stopped run passes over the files not yet begun.
            pool_.begin(job.number, *held);
            FileOutcome outcome;
            const IxFileRef* ixFile = job.ixFile.cache ? &job.ixFile : nullptr;
            if (!pool_.run_.runStopped()) {
                VisitedFileScope visited(job.path, job.facts);
                outcome = searcher.searchFile(job.path, ixFile);
            }
            if (job.ixFile.first) job.ixFile.cache->passFirst();
            outcome.rated = searcher.formatter().takeRated();
            outcome.ixCache = std::move(job.ixFile.cache);
            pool_.complete(job.number, *held, std::move(outcome));
        }
    }

private:
    FilePool& pool_;
};

FilePool::FilePool(int threads, const SearchRunShared& run, std::shared_ptr<RunContext> context,
                   std::function<bool(FileOutcome&)> release)
    : run_(run),
      context_(std::move(context)),
      release_(std::move(release)),
      // A wide window keeps the threads from waiting on one slow file and
      // the walker from waking them one file at a time.
      order_(16 * int64_t(threads), [this](FileOutcome& outcome) {
          RunContextScope scope(context_);
          released(release_(outcome));
      }) {
    for (int i = 0; i < threads; ++i) {
        auto thread = std::make_unique<PoolThread>(*this);
        if (thread->start()) threads_.push_back(std::move(thread));
    }
}

FilePool::~FilePool() {
    close();
    threads_.clear();
}

bool FilePool::started() const {
    return !threads_.empty();
}

bool FilePool::submit(const LStr& path, IxFileRef ixFile, const FsEntryFacts& facts) {
    const std::optional<int64_t> number = order_.reserve(run_.runStopped);
    if (!number) return false;
    bool idle = false;
    size_t queued = 0;
    {
        std::lock_guard lock(lock_);
        jobs_.push_back(Job{*number, path, std::move(ixFile), facts});
        idle = idleThreads_ > 0;
        queued = jobs_.size();
    }
    // Busy threads take the job when they are done. Idle ones look for jobs
    // now and then by themselves, and are woken only once a few wait: a
    // wake costs more than searching a file that the index passes over.
    if (idle && queued >= kWakeWhenQueued) jobsChanged_.notify_one();
    return true;
}

void FilePool::finish() {
    order_.waitAll();
    close();
    threads_.clear();
}

bool FilePool::nextJob(Job& job) {
    std::unique_lock lock(lock_);
    ++idleThreads_;
    while (!jobsChanged_.wait_for(lock, kLookForJobsEvery,
                                  [this] { return closed_ || !jobs_.empty(); })) {
    }
    --idleThreads_;
    if (jobs_.empty()) return false;
    job = std::move(jobs_.front());
    jobs_.pop_front();
    return true;
}

void FilePool::begin(int64_t number, HeldOutput& held) {
    std::lock_guard lock(headLock_);
    searching_[number] = &held;
    if (number == head_) held.passOn();
}

void FilePool::complete(int64_t number, HeldOutput& held, FileOutcome outcome) {
    {
        std::lock_guard lock(headLock_);
        searching_.erase(number);
    }
    outcome.output = held.take();  // nothing when it was passed on
    order_.complete(number, std::move(outcome));
}

// Called in release order: the next file becomes the head, and shows what
// it has so far when it is being searched.
void FilePool::released(bool goOn) {
    std::lock_guard lock(headLock_);
    if (head_ < 0) return;
    head_ = goOn ? head_ + 1 : -1;
    const auto it = searching_.find(head_);
    if (it != searching_.end()) it->second->passOn();
}

void FilePool::close() {
    {
        std::lock_guard lock(lock_);
        closed_ = true;
    }
    jobsChanged_.notify_all();
}

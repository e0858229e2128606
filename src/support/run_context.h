// RunContext: what a run (a search or an index clean-up) reports to and is
// stopped by: its stop flag, its message sink and its status sink. A front
// end owns one and gives it to each run it starts; the run installs it on
// its own thread (RunContextScope), so that deep code which reports a
// message, shows a status text or polls the stop flag reaches this run's
// context and no process-wide run state exists.
#pragma once
#include <atomic>
#include <memory>
#include <mutex>
#include <string_view>

class LMsg;

// Status texts of a run: part 1 the current file, 2 the current activity,
// 3 a percentage or count, 4 the running hit count. Text is Shift-JIS; it
// is called from any thread of the run, one call at a time.
class StatusSink {
public:
    virtual ~StatusSink() = default;
    virtual void setStatus(int part, std::string_view text) = 0;
};

class RunContext {
public:
    RunContext() = default;
    // A context of one thread of a run: it shares the run's stop flag and
    // status sink and has a message sink of its own (output held back and
    // shown later in order).
    explicit RunContext(std::shared_ptr<RunContext> run);
    RunContext(const RunContext&) = delete;
    RunContext& operator=(const RunContext&) = delete;

    std::atomic<int>& stopFlag() { return *flag_; }
    bool stopRequested() const { return flag_->load(std::memory_order_relaxed) != 0; }
    void requestStop() { flag_->store(1); }
    void clearStop() { flag_->store(0); }

    // Sinks may be swapped at any time; a message or status text in flight
    // keeps the sink it started with alive. Null: messages go to the
    // process's sink, status texts nowhere.
    void setMessageSink(std::shared_ptr<LMsg> sink);
    std::shared_ptr<LMsg> messageSink() const;
    void setStatusSink(std::shared_ptr<StatusSink> sink);
    std::shared_ptr<StatusSink> statusSink() const;
    // Serialised: the threads of a run share the sink.
    void setStatus(int part, std::string_view text) const;

private:
    std::shared_ptr<RunContext> run_;  // the run this thread's context belongs to
    std::atomic<int> stop_{0};
    std::atomic<int>* flag_ = &stop_;
    mutable std::mutex lock_;
    mutable std::mutex statusLock_;
    std::shared_ptr<LMsg> messages_;
    std::shared_ptr<StatusSink> status_;
};

// The context installed on the calling thread, or null.
RunContext* currentRunContext();

// Installs a context on the calling thread for the scope's lifetime (the
// previous one comes back after it); shares ownership meanwhile.
class RunContextScope {
public:
    explicit RunContextScope(std::shared_ptr<RunContext> context);
    ~RunContextScope();
    RunContextScope(const RunContextScope&) = delete;
    RunContextScope& operator=(const RunContextScope&) = delete;

private:
    std::shared_ptr<RunContext> context_;
    RunContext* previous_;
};

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
// is called from the run's thread.
class StatusSink {
public:
    virtual ~StatusSink() = default;
    virtual void setStatus(int part, std::string_view text) = 0;
};

class RunContext {
public:
    std::atomic<int>& stopFlag() { return stop_; }
    bool stopRequested() const { return stop_.load(std::memory_order_relaxed) != 0; }
    void requestStop() { stop_.store(1); }
    void clearStop() { stop_.store(0); }

    // Sinks may be swapped at any time; a message or status text in flight
    // keeps the sink it started with alive. Null: messages go to the
    // process's sink, status texts nowhere.
    void setMessageSink(std::shared_ptr<LMsg> sink);
    std::shared_ptr<LMsg> messageSink() const;
    void setStatusSink(std::shared_ptr<StatusSink> sink);
    std::shared_ptr<StatusSink> statusSink() const;
    void setStatus(int part, std::string_view text) const;

private:
    std::atomic<int> stop_{0};
    mutable std::mutex lock_;
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

// LThread: background work in an object. A derived class supplies run() and
// looks at stopRequested() (or waits with waitStopOr) while it works; the
// base owns the system thread, the stop request and the completion signal,
// and keeps every running thread in a process-wide registry (guarded by the
// message lock) so that the program can stop them all before it ends.
//
// Two ways to start:
//   - start(): the caller keeps the object. Destroying it stops the thread
//     (up to a second) and then waits until run() has returned. A derived
//     class whose run() uses its own members should call stop() in its own
//     destructor, before those members go.
//   - startDetached(std::move(ptr)): the new thread owns the object and
//     destroys it when run() returns. The caller may keep a plain pointer
//     to it only for as long as it knows run() has not ended.
//
// Do not hold the message lock while stopping a thread: an ending thread
// takes it to leave the registry.
#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <thread>

#include "support/event.h"

class LThread {
public:
    LThread();
    virtual ~LThread();
    LThread(const LThread&) = delete;
    LThread& operator=(const LThread&) = delete;

    // The work; the base version does nothing.
    virtual void run() {}

    // Starts run() on a new thread unless one already runs for this object.
    // A failure is reported ("Failed to start thread") and gives false.
    bool start();
    // Hands the object to a new thread that destroys it when run() returns.
    // When the thread cannot start, the failure is reported and the object
    // is destroyed at once, so its destructor's signals still fire.
    static bool startDetached(std::unique_ptr<LThread> thread);

    // Requests a stop, wakes a waitStopOr, and waits up to ms milliseconds
    // (negative: no limit) for run() to end. Returns at once when no thread
    // runs; a thread that does not end in time keeps running.
    void stop(int ms);
    bool stopRequested() const;
    // Whether run() is going on (or about to begin) on a thread.
    bool running() const;
    // A process-unique number for logs.
    uint32_t threadNumber() const { return number_; }

    // The object of the calling thread; a thread that is not registered is
    // internal error 272.
    static LThread* current();
    // Waits until one of events or the calling thread's stop request is
    // signalled, or ms milliseconds pass (negative: no limit). True on
    // time-out.
    static bool waitStopOr(std::span<LEvent* const> events, int ms);

    // Registers the calling thread as the program's main thread (at start).
    static LThread& createMainRecord();
    // Number of registered threads (the main thread's record included).
    static int32_t registeredCount();
    // At the end: asks every running thread to stop, newest first, giving
    // each up to a second, then drops the main thread's record.
    static void shutdownThreads();

private:
    struct Control;

    bool launch();
    static void threadMain(LThread* self, std::shared_ptr<Control> control);

    // Shared with the running thread and the registry, so that stopping and
    // waiting never touch an object that its thread has destroyed.
    std::shared_ptr<Control> control_;
    std::thread thread_;  // joinable only for threads started with start()
    uint32_t number_;
    bool destroyWhenDone_ = false;
    bool isMain_ = false;
};

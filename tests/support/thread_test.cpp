// Auto-reset events, thread start and stop, objects that destroy themselves
// when their work ends, the registry and the shutdown of running workers.
#include "support/thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>

#include "common/time_factor.h"
#include "support/event.h"

namespace {

using Clock = std::chrono::steady_clock;

int64_t msSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

TEST(Event, AutoResetTimeOutAndTheLowestSignalled) {
    LEvent a, b, c;
    a.set();
    a.set();  // a second set before a wait does not count twice
    EXPECT_TRUE(a.wait(0));
    auto start = Clock::now();
    EXPECT_FALSE(a.wait(30));
    EXPECT_GE(msSince(start), 25);
    LEvent* all[] = {&a, &b, &c};
    c.set();
    b.set();
    EXPECT_EQ(LEvent::waitAny(all, 0), 1);
    EXPECT_EQ(LEvent::waitAny(all, 0), 2);
    EXPECT_EQ(LEvent::waitAny(all, 10), -1);
}

// Loops until asked to stop, or ends at once; tells when it is destroyed.
class Looper : public LThread {
public:
    explicit Looper(LEvent* destroyed = nullptr, bool loop = true)
        : destroyed_(destroyed), loop_(loop) {}
    ~Looper() override {
        if (destroyed_)
            destroyed_->set();  // detached: it ends on its own thread
        else
            stop(-1);
    }
    void run() override {
        ++runs;
        self = current();
        while (loop_ && !stopRequested()) waitStopOr({}, -1);
    }
    std::atomic<int> runs{0};
    std::atomic<LThread*> self{nullptr};

private:
    LEvent* destroyed_;
    bool loop_;
};

TEST(Thread, StopWakesTheWorkerWaitsForItAndAllowsARestart) {
    LThread never;
    auto start = Clock::now();
    never.stop(5000);  // never started: returns at once
    EXPECT_LT(msSince(start), 1000 * kTimeFactor);

    int before = LThread::registeredCount();
    Looper t;
    ASSERT_TRUE(t.start());
    EXPECT_FALSE(t.start());  // already running
    t.stop(-1);
    EXPECT_FALSE(t.running());
    EXPECT_EQ(t.self.load(), &t);
    EXPECT_EQ(LThread::registeredCount(), before);
    ASSERT_TRUE(t.start());  // again once its run has ended
    t.stop(-1);
    EXPECT_EQ(t.runs, 2);
}

TEST(Thread, WaitStopOrReportsTimeOutEventAndStop) {
    struct Waiter : LThread {
        ~Waiter() override { stop(-1); }
        void run() override {
            LEvent* events[] = {&work};
            timedOut = waitStopOr(events, 20);
            ready.set();
            gotWork = !waitStopOr(events, -1);
            ready.set();
            stoppedWait = !waitStopOr(events, -1) && stopRequested();
        }
        LEvent work, ready;
        std::atomic<bool> timedOut{false}, gotWork{false}, stoppedWait{false};
    } t;
    ASSERT_TRUE(t.start());
    ASSERT_TRUE(t.ready.wait(5000));
    t.work.set();
    ASSERT_TRUE(t.ready.wait(5000));
    t.stop(5000);
    EXPECT_FALSE(t.running());
    EXPECT_TRUE(t.timedOut && t.gotWork && t.stoppedWait);
}

TEST(Thread, StopGivesUpOnAWorkerThatDoesNotEnd) {
    struct Stubborn : LThread {
        ~Stubborn() override {
            release.set();
            stop(-1);
        }
        void run() override { release.wait(-1); }
        LEvent release;
    } t;
    ASSERT_TRUE(t.start());
    auto start = Clock::now();
    t.stop(50);
    EXPECT_GE(msSince(start), 40);
    EXPECT_TRUE(t.running());  // still at work; the destructor lets it end
}

TEST(Thread, DetachedWorkerIsDestroyedWhenRunReturns) {
    int before = LThread::registeredCount();
    LEvent destroyed;
    ASSERT_TRUE(LThread::startDetached(std::make_unique<Looper>(&destroyed, false)));
    EXPECT_TRUE(destroyed.wait(5000));
    EXPECT_EQ(LThread::registeredCount(), before);  // it left the registry first
    EXPECT_FALSE(LThread::startDetached(nullptr));
}

TEST(Thread, ShutdownStopsRunningWorkersAndDropsTheMainRecord) {
    LThread& main = LThread::createMainRecord();
    EXPECT_EQ(&LThread::createMainRecord(), &main);
    EXPECT_EQ(LThread::current(), &main);
    EXPECT_FALSE(main.start());
    LEvent destroyed;
    Looper kept;
    ASSERT_TRUE(kept.start());
    ASSERT_TRUE(LThread::startDetached(std::make_unique<Looper>(&destroyed)));
    EXPECT_EQ(LThread::registeredCount(), 3);
    auto start = Clock::now();
    LThread::shutdownThreads();
    EXPECT_LT(msSince(start), 1000 * kTimeFactor);
    EXPECT_TRUE(destroyed.wait(0));  // destroyed before shutdown returned
    EXPECT_FALSE(kept.running());
    EXPECT_EQ(LThread::registeredCount(), 0);
}

}  // namespace

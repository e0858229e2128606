// Auto-reset events, thread start and stop, objects that destroy themselves
// when their work ends, the registry and the shutdown of running workers.
#include "support/thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>

#include "support/event.h"

namespace {

using Clock = std::chrono::steady_clock;

int64_t msSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

TEST(Event, AutoResetAndTimeOut) {
    LEvent e;
    e.set();
    e.set();  // a second set before a wait does not count twice
    EXPECT_TRUE(e.wait(0));
    auto start = Clock::now();
    EXPECT_FALSE(e.wait(30));
    EXPECT_GE(msSince(start), 25);
}

TEST(Event, WaitAnyTakesTheLowestSignalledOnly) {
    LEvent a, b, c;
    LEvent* all[] = {&a, &b, &c};
    c.set();
    b.set();
    EXPECT_EQ(LEvent::waitAny(all, 0), 1);
    EXPECT_EQ(LEvent::waitAny(all, 0), 2);
    EXPECT_EQ(LEvent::waitAny(all, 10), -1);
}

// Loops until asked to stop; counts its runs and what it saw.
class Looper : public LThread {
public:
    ~Looper() override { stop(-1); }
    void run() override {
        ++runs;
        self = current();
        while (!stopRequested()) waitStopOr({}, -1);
    }
    std::atomic<int> runs{0};
    std::atomic<LThread*> self{nullptr};
};

TEST(Thread, StopOnNeverStartedThreadReturnsAtOnce) {
    LThread t;
    auto start = Clock::now();
    t.stop(5000);
    EXPECT_LT(msSince(start), 1000);
    EXPECT_TRUE(t.stopRequested());
    EXPECT_FALSE(t.running());
}

TEST(Thread, StopWakesTheWorkerWaitsForItAndAllowsARestart) {
    int before = LThread::registeredCount();
    Looper t;
    ASSERT_TRUE(t.start());
    EXPECT_FALSE(t.start());  // already running
    EXPECT_TRUE(t.running());
    t.stop(-1);
    EXPECT_FALSE(t.running());
    EXPECT_EQ(t.runs, 1);
    EXPECT_EQ(t.self.load(), &t);
    EXPECT_EQ(LThread::registeredCount(), before);
    // The object can run again once its run has ended.
    ASSERT_TRUE(t.start());
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
    EXPECT_TRUE(t.timedOut);
    EXPECT_TRUE(t.gotWork);
    EXPECT_TRUE(t.stoppedWait);
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

// Tells the test when it is destroyed.
class SelfDestroying : public LThread {
public:
    SelfDestroying(LEvent& destroyed, bool waitForStop)
        : destroyed_(destroyed), wait_(waitForStop) {}
    ~SelfDestroying() override { destroyed_.set(); }
    void run() override {
        while (wait_ && !stopRequested()) waitStopOr({}, -1);
    }

private:
    LEvent& destroyed_;
    bool wait_;
};

TEST(Thread, DetachedWorkerIsDestroyedWhenRunReturns) {
    int before = LThread::registeredCount();
    LEvent destroyed;
    ASSERT_TRUE(LThread::startDetached(std::make_unique<SelfDestroying>(destroyed, false)));
    EXPECT_TRUE(destroyed.wait(5000));
    // It leaves the registry just before it is destroyed.
    EXPECT_EQ(LThread::registeredCount(), before);
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
    ASSERT_TRUE(LThread::startDetached(std::make_unique<SelfDestroying>(destroyed, true)));
    EXPECT_EQ(LThread::registeredCount(), 3);

    auto start = Clock::now();
    LThread::shutdownThreads();
    EXPECT_LT(msSince(start), 1000);
    EXPECT_TRUE(destroyed.wait(0));  // destroyed before shutdown returned
    EXPECT_FALSE(kept.running());
    EXPECT_EQ(LThread::registeredCount(), 0);
}

TEST(ThreadDeathTest, UnregisteredThreadHasNoCurrentObject) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::thread([] { LThread::current(); }).join(), ::testing::ExitedWithCode(2),
                "Internal Error: 272");
}

}  // namespace

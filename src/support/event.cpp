// All events share one lock and one condition variable, which makes waiting
// for several of them at once simple; events are set rarely (a stop request,
// a finished job), so the shared wake-ups cost nothing worth measuring.
#include "support/event.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace {

// Never destroyed: a detached worker may still set an event while the
// process runs its exit handlers.
std::mutex& eventLock() {
    static auto* lock = new std::mutex;
    return *lock;
}

std::condition_variable& eventSignal() {
    static auto* signal = new std::condition_variable;
    return *signal;
}

}  // namespace

void LEvent::set() {
    {
        std::lock_guard lock(eventLock());
        signalled_ = true;
    }
    eventSignal().notify_all();
}

bool LEvent::wait(int ms) {
    LEvent* self = this;
    return waitAny(std::span<LEvent* const>(&self, 1), ms) == 0;
}

int LEvent::waitAny(std::span<LEvent* const> events, int ms) {
    auto firstSignalled = [&]() -> int {
        for (size_t i = 0; i < events.size(); ++i)
            if (events[i]->signalled_) return int(i);
        return -1;
    };
    std::unique_lock lock(eventLock());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    int which;
    while ((which = firstSignalled()) < 0) {
        if (ms < 0) {
            eventSignal().wait(lock);
        } else if (eventSignal().wait_until(lock, deadline) == std::cv_status::timeout) {
            which = firstSignalled();
            break;
        }
    }
    if (which >= 0) events[which]->signalled_ = false;
    return which;
}

// LEvent: an auto-reset event. set() lets exactly one wait through (the next
// one when nobody waits yet) and the event resets as it does. Several events
// can be waited for together, as a worker waits for its stop request or for
// work to arrive.
#pragma once
#include <span>

class LEvent {
public:
    LEvent() = default;
    LEvent(const LEvent&) = delete;
    LEvent& operator=(const LEvent&) = delete;

    void set();
    // Waits up to ms milliseconds (negative: no limit); true when the event
    // was signalled (and is now reset), false on time-out.
    bool wait(int ms);
    // Waits for any of the events. Returns the index of the one that let the
    // wait through (the lowest when several are signalled; only that one is
    // reset), or -1 on time-out.
    static int waitAny(std::span<LEvent* const> events, int ms);

private:
    bool signalled_ = false;  // guarded by the events' common lock
};

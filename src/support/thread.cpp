// Threads over std::thread, the registry of running threads, and stopping.
#include "support/thread.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <vector>

#include "support/message_service.h"

// The part of a thread that outlives its object: the stop request and the
// completion state.
struct LThread::Control {
    std::atomic<bool> stopRequested{false};
    LEvent stopEvent;
    std::mutex stopLock;  // serialises stop()
    std::thread::id id;   // set by the thread itself; guarded by the message lock

    std::mutex stateLock;
    std::condition_variable stateChanged;
    bool running = false;

    bool isRunning() {
        std::lock_guard lock(stateLock);
        return running;
    }
    void setRunning(bool value) {
        {
            std::lock_guard lock(stateLock);
            running = value;
        }
        stateChanged.notify_all();
    }
    void waitFinished(int ms) {
        std::unique_lock lock(stateLock);
        auto finished = [this] { return !running; };
        if (ms < 0)
            stateChanged.wait(lock, finished);
        else
            stateChanged.wait_for(lock, std::chrono::milliseconds(ms), finished);
    }
    bool isCallingThread() {
        std::lock_guard lock(messageLock());
        return id == std::this_thread::get_id();
    }
    void stop(int ms) {
        stopRequested = true;
        if (!isRunning()) return;
        std::lock_guard lock(stopLock);
        stopEvent.set();
        if (isCallingThread()) return;  // a thread cannot wait for itself
        waitFinished(ms);
    }
};

namespace {

struct RegistryEntry {
    LThread* thread;
    std::shared_ptr<void> control;  // keeps the control alive while listed
};

// The running threads, the main thread's record first. Guarded by the
// message lock. Never destroyed: a worker that outlives shutdownThreads
// still leaves the registry while the process runs its exit handlers.
std::vector<RegistryEntry>& registry() {
    static auto* entries = new std::vector<RegistryEntry>;
    return *entries;
}

std::unique_ptr<LThread>& mainRecord() {
    static std::unique_ptr<LThread> record;
    return record;
}

std::atomic<uint32_t> nextNumber{1};

bool unregister(LThread* thread) {
    std::lock_guard lock(messageLock());
    auto& entries = registry();
    auto it = std::find_if(entries.begin(), entries.end(),
                           [thread](const RegistryEntry& e) { return e.thread == thread; });
    if (it == entries.end()) return false;
    entries.erase(it);
    return true;
}

}  // namespace

LThread::LThread() : control_(std::make_shared<Control>()), number_(nextNumber++) {}

LThread::~LThread() {
    if (!isMain_ && !destroyWhenDone_ && control_->isRunning()) stop(1000);
    if (thread_.joinable()) {
        if (thread_.get_id() == std::this_thread::get_id())
            thread_.detach();
        else
            thread_.join();  // run() must not outlive its object
    }
}

bool LThread::start() {
    if (isMain_ || running()) return false;
    if (thread_.joinable()) thread_.join();  // the previous run has ended
    return launch();
}

bool LThread::startDetached(std::unique_ptr<LThread> thread) {
    if (!thread || thread->isMain_ || thread->running()) return false;
    thread->destroyWhenDone_ = true;
    if (!thread->launch()) return false;  // destroyed here, on the caller's thread
    (void)thread.release();               // the new thread owns it now
    return true;
}

bool LThread::launch() {
    const bool detached = destroyWhenDone_;
    std::shared_ptr<Control> control = control_;
    {
        std::lock_guard lock(messageLock());
        registry().push_back({this, control});
    }
    control->setRunning(true);
    try {
        std::thread t(&LThread::threadMain, this, control);
        // A detached object may be gone as soon as the thread exists.
        if (detached)
            t.detach();
        else
            thread_ = std::move(t);
        return true;
    } catch (const std::system_error&) {
        unregister(this);
        control->setRunning(false);
        report(kMsgGeneral, "Failed to start thread");
        return false;
    }
}

void LThread::threadMain(LThread* self, std::shared_ptr<Control> control) {
    {
        std::lock_guard lock(messageLock());
        control->id = std::this_thread::get_id();
    }
    self->run();
    if (!unregister(self)) internalError(250);
    if (self->destroyWhenDone_) {
        std::unique_ptr<LThread> owned(self);
        owned.reset();
    }
    // Signalled last: whoever waits may destroy the object at once.
    control->setRunning(false);
}

void LThread::stop(int ms) {
    control_->stop(ms);
}

bool LThread::stopRequested() const {
    return control_->stopRequested;
}

bool LThread::running() const {
    return control_->isRunning();
}

LThread* LThread::current() {
    const std::thread::id id = std::this_thread::get_id();
    {
        std::lock_guard lock(messageLock());
        for (const RegistryEntry& e : registry())
            if (static_cast<Control*>(e.control.get())->id == id) return e.thread;
    }
    internalError(272);
}

bool LThread::waitStopOr(std::span<LEvent* const> events, int ms) {
    LThread* self = current();
    std::vector<LEvent*> all(events.begin(), events.end());
    all.push_back(&self->control_->stopEvent);
    return LEvent::waitAny(all, ms) < 0;
}

LThread& LThread::createMainRecord() {
    std::lock_guard lock(messageLock());
    auto& record = mainRecord();
    if (record) return *record;
    record = std::make_unique<LThread>();
    record->isMain_ = true;
    record->control_->id = std::this_thread::get_id();
    registry().insert(registry().begin(), {record.get(), record->control_});
    return *record;
}

int32_t LThread::registeredCount() {
    std::lock_guard lock(messageLock());
    return int32_t(registry().size());
}

void LThread::shutdownThreads() {
    std::vector<std::shared_ptr<Control>> workers;
    {
        std::lock_guard lock(messageLock());
        const auto& entries = registry();
        for (auto it = entries.rbegin(); it != entries.rend(); ++it)
            if (!it->thread->isMain_)
                workers.push_back(std::static_pointer_cast<Control>(it->control));
    }
    for (const auto& control : workers) control->stop(1000);
    std::unique_ptr<LThread> record;
    {
        std::lock_guard lock(messageLock());
        record = std::move(mainRecord());
        if (record) unregister(record.get());
    }
}

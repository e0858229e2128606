// OrderedRelease: results made out of order by several threads, handed on
// in the order their numbers were given out. A producer reserves the next
// number (waiting while a window of numbers is still unreleased, so memory
// stays bounded), some thread completes it, and whichever thread completes
// the oldest unreleased number releases it and every later one that is
// ready. Releases run one at a time, outside the lock, on the completing
// thread.
#pragma once
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>

template <class T>
class OrderedRelease {
public:
    using Release = std::function<void(T&)>;

    OrderedRelease(int64_t window, Release release)
        : window_(window < 1 ? 1 : window), release_(std::move(release)) {}

    // The next number, once fewer than the window are unreleased; nothing
    // when stop() says so while waiting (it is asked every few milliseconds).
    // A full window is waited on until half of it is released, so that the
    // producer wakes once per half window rather than once per number.
    std::optional<int64_t> reserve(const std::function<bool()>& stop) {
        std::unique_lock lock(lock_);
        if (next_ - released_ >= window_) {
            reserving_ = true;
            while (next_ - released_ > window_ / 2) {
                if (stop && stop()) {
                    reserving_ = false;
                    return std::nullopt;
                }
                changed_.wait_for(lock, std::chrono::milliseconds(20));
            }
            reserving_ = false;
        }
        return next_++;
    }

    // Completes a reserved number; releases what is now in order.
    void complete(int64_t number, T item) {
        std::unique_lock lock(lock_);
        ready_.emplace(number, std::move(item));
        if (releasing_) return;  // the releasing thread will reach it
        releasing_ = true;
        for (auto it = ready_.find(released_); it != ready_.end(); it = ready_.find(released_)) {
            T next = std::move(it->second);
            ready_.erase(it);
            lock.unlock();
            release_(next);
            lock.lock();
            ++released_;
        }
        releasing_ = false;
        const bool roomAgain = reserving_ && next_ - released_ <= window_ / 2;
        if (roomAgain || (waitingAll_ && released_ == next_)) changed_.notify_all();
    }

    // Waits until every reserved number is released.
    void waitAll() {
        std::unique_lock lock(lock_);
        waitingAll_ = true;
        changed_.wait(lock, [this] { return released_ == next_ && !releasing_; });
        waitingAll_ = false;
    }

    int64_t released() const {
        std::lock_guard lock(lock_);
        return released_;
    }

private:
    const int64_t window_;
    const Release release_;
    mutable std::mutex lock_;
    std::condition_variable changed_;
    std::map<int64_t, T> ready_;  // completed, waiting for an earlier number
    int64_t next_ = 0;
    int64_t released_ = 0;
    bool releasing_ = false;
    bool reserving_ = false;   // reserve() waits for room
    bool waitingAll_ = false;  // waitAll() waits
};

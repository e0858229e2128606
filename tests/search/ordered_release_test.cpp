// The walk-order release of results completed out of order.
#include "search/ordered_release.h"

#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>
#include <vector>

namespace {

TEST(OrderedRelease, ReleasesInNumberOrderWhateverTheCompletionOrder) {
    const std::vector<std::vector<int64_t>> orders = {
        {0, 1, 2, 3}, {3, 2, 1, 0}, {1, 0, 3, 2}, {2, 3, 0, 1}, {0, 3, 2, 1}};
    for (const auto& order : orders) {
        std::vector<int64_t> released;
        OrderedRelease<int64_t> r(8, [&](int64_t& n) { released.push_back(n); });
        for (size_t i = 0; i < order.size(); ++i) ASSERT_EQ(r.reserve(nullptr), int64_t(i));
        std::vector<size_t> seenAfter;
        for (int64_t n : order) {
            r.complete(n, n);
            seenAfter.push_back(released.size());
        }
        EXPECT_EQ(released, (std::vector<int64_t>{0, 1, 2, 3})) << order[0] << order[1];
        // Each release comes as soon as every earlier number is in.
        for (size_t i = 0; i < order.size(); ++i) {
            size_t ready = 0;
            while (std::find(order.begin(), order.begin() + i + 1, int64_t(ready)) !=
                   order.begin() + i + 1)
                ++ready;
            EXPECT_EQ(seenAfter[i], ready) << "after completing " << order[i];
        }
    }
}

TEST(OrderedRelease, ReserveWaitsForTheOldestAndGivesUpOnStop) {
    OrderedRelease<int> r(2, [](int&) {});
    r.reserve(nullptr);
    r.reserve(nullptr);
    std::atomic<bool> stop{false};
    std::atomic<int64_t> third{-2};
    std::thread waiter([&] { third = r.reserve([&] { return stop.load(); }).value_or(-1); });
    r.complete(1, 1);  // a later number does not free the window
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    EXPECT_EQ(third.load(), -2);
    r.complete(0, 0);
    waiter.join();
    EXPECT_EQ(third.load(), 2);

    r.reserve(nullptr);  // 3: the window (2, 3) is full again
    std::thread stopped([&] { third = r.reserve([&] { return stop.load(); }).value_or(-1); });
    stop = true;
    stopped.join();
    EXPECT_EQ(third.load(), -1);
}

TEST(OrderedRelease, ThreadsCompletingAtOnceReleaseEachNumberOnceInOrder) {
    constexpr int kItems = 2000, kThreads = 4;
    std::vector<int> released;
    std::atomic<int> concurrent{0}, mostConcurrent{0};
    OrderedRelease<int> r(kThreads * 2, [&](int& n) {
        mostConcurrent = std::max(mostConcurrent.load(), ++concurrent);
        released.push_back(n);
        --concurrent;
    });
    std::atomic<int> next{0};
    std::vector<std::thread> threads;
    std::mutex handOut;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            std::mt19937 random(t);
            for (;;) {
                int64_t n;
                {
                    std::lock_guard lock(handOut);
                    if (next == kItems) return;
                    n = *r.reserve(nullptr);
                    ++next;
                }
                if (random() % 4 == 0) std::this_thread::yield();
                r.complete(n, int(n));
            }
        });
    for (auto& t : threads) t.join();
    r.waitAll();
    ASSERT_EQ(int(released.size()), kItems);
    for (int i = 0; i < kItems; ++i) ASSERT_EQ(released[i], i);
    EXPECT_EQ(mostConcurrent.load(), 1);
}

}  // namespace

// Sorting buffered result lines by rate: higher rate first, then lower string number.
#include "search/rate_sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

RateItems makeItems(const std::vector<std::pair<int, int>>& keys) {
    RateItems items;
    for (auto [rate, number] : keys) {
        auto item = std::make_unique<RateItem>();
        item->rate = rate;
        item->schStrNo = number;
        item->text = "line";
        items.push_back(std::move(item));
    }
    return items;
}

std::vector<std::pair<int, int>> keysOf(const RateItems& items) {
    std::vector<std::pair<int, int>> keys;
    for (const auto& item : items) keys.emplace_back(item->rate, item->schStrNo);
    return keys;
}

TEST(SortByRate, OrdersEveryPermutationAndKeepsEveryItem) {
    std::mt19937 random(7);
    for (int size : {0, 1, 2, 3, 10, 257}) {
        std::vector<std::pair<int, int>> keys;
        for (int i = 0; i < size; ++i)
            keys.emplace_back(70 + int(random() % 31), int(random() % 3));
        RateItems items = makeItems(keys);
        sortByRate(items);
        std::vector<std::pair<int, int>> expected = keys;
        std::sort(expected.begin(), expected.end(), [](auto a, auto b) {
            return a.first != b.first ? a.first > b.first : a.second < b.second;
        });
        EXPECT_EQ(keysOf(items), expected) << "size " << size;
    }
}

}  // namespace

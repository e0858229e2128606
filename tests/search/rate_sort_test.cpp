// Sorting buffered result lines by rate: higher rate first, then lower string number.
#include "search/rate_sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

TEST(SortByRate, OrdersEveryPermutationAndKeepsEveryItem) {
    std::mt19937 random(7);
    for (int size : {0, 1, 2, 3, 10, 257}) {
        std::vector<std::pair<int, int>> keys, sorted;
        RateItems items;
        for (int i = 0; i < size; ++i) {
            keys.emplace_back(70 + int(random() % 31), int(random() % 3));
            auto& item = items.emplace_back(std::make_unique<RateItem>());
            std::tie(item->rate, item->schStrNo) = keys.back();
        }
        sortByRate(items);
        for (const auto& item : items) sorted.emplace_back(item->rate, item->schStrNo);
        std::sort(keys.begin(), keys.end(), [](auto a, auto b) {
            return a.first != b.first ? a.first > b.first : a.second < b.second;
        });
        EXPECT_EQ(sorted, keys) << "size " << size;
    }
}

// Quicksort of buffered result lines by rate.
#include "search/rate_sort.h"

#include <utility>

namespace {

// Whether a belongs before b.
bool before(const RateItem& a, const RateItem& b) {
    if (a.rate != b.rate) return a.rate > b.rate;
    return a.schStrNo < b.schStrNo;
}

void quickSort(RateItems& items, int32_t low, int32_t high) {
    while (low < high) {
        const RateItem pivot{items[low + (high - low) / 2]->rate, LStr(),
                             items[low + (high - low) / 2]->schStrNo};
        int32_t i = low, j = high;
        while (i <= j) {
            while (before(*items[i], pivot)) ++i;
            while (before(pivot, *items[j])) --j;
            if (i <= j) std::swap(items[i++], items[j--]);
        }
        // Recurse into the smaller part so the depth stays logarithmic.
        if (j - low < high - i) {
            quickSort(items, low, j);
            low = i;
        } else {
            quickSort(items, i, high);
            high = j;
        }
    }
}

}  // namespace

void sortByRate(RateItems& items) {
    if (items.size() > 1) quickSort(items, 0, int32_t(items.size()) - 1);
}

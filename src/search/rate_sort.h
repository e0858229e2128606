// Result lines buffered for sorting by match rate: with sorting on, the run
// keeps every result line and writes them in rate order at its end.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "base/lstr.h"

struct RateItem {
    int32_t rate = 0;      // best match rate of the record's hits, in percent
    LStr text;             // the complete result line
    int32_t schStrNo = 0;  // the search string that produced it
};

using RateItems = std::vector<std::unique_ptr<RateItem>>;

// Higher rates first, equal rates by lower string number. A quicksort with
// the middle element as pivot: items equal in both keys keep no fixed order.
void sortByRate(RateItems& items);

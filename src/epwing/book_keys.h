// Search keys of a dictionary: every leaf entry of a search-index page tree
// points at an entry's text and at its heading. The walk is bounded: each
// page is read once, the tree no deeper than kMaxIndexDepth, and every page
// and count is checked against the file, so a cyclic or damaged tree ends.
#pragma once
#include <cstdint>
#include <functional>
#include <vector>

#include "epwing/book_bytes.h"

struct BookKey {
    int64_t text = 0;     // byte position of the entry text
    int64_t heading = 0;  // byte position of the heading
    friend auto operator<=>(const BookKey&, const BookKey&) = default;
};

inline constexpr int32_t kMaxIndexDepth = 32;

struct KeyWalkResult {
    int32_t badPages = 0;  // pages the file does not hold, or past the depth limit
    bool stopped = false;  // the progress callback said stop
};

// Appends the keys of the tree whose root is rootPage. progress gets the
// number of keys after every 1000th and returns false to stop.
KeyWalkResult collectBookKeys(BookBytes& book, int64_t rootPage, std::vector<BookKey>& keys,
                              const std::function<bool(int64_t)>& progress = {});

// Sorted by text position, then heading position.
void sortBookKeys(std::vector<BookKey>& keys);

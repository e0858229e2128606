// Stepping from one match to where the next search starts. After a
// non-empty match the scan goes on at its end; after an empty one it goes on
// one whole character further, so the same empty match is never found again
// and a scan over every match always ends.
#pragma once
#include <cstdint>
#include <string_view>

#include "text/sjis.h"

// The next start after a match at `at` of `length` bytes; text.size() + 1
// after an empty match at the very end (past every possible start).
inline int32_t nextSearchStart(std::string_view text, int32_t at, int32_t length) {
    if (length > 0) return at + length;
    const int step = charLength(text, size_t(at));
    return at + (step > 0 ? step : 1);
}

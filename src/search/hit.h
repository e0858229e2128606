// A hit: one span of the searched text (the record's search area, or the
// whole record) that matched the current search string.
#pragma once
#include <cstdint>
#include <vector>

#include "base/lstr.h"

// A piece of an aligned fuzzy hit.
struct FuzzyPiece {
    enum Kind : int {
        kCommon = 0,      // in both the record and the search string
        kRecordOnly = 1,  // only in the record (shown in the inserted-text font)
        kStringOnly = 2,  // only in the search string (shown in the deleted-text font)
    };
    Kind kind = kCommon;
    LStr text;
};

struct Hit {
    int32_t offset = 0;              // byte offset in the searched text
    int32_t length = 0;              // byte length
    int32_t rate = 100;              // match rate in percent; 100 for normal and regex hits
    std::vector<FuzzyPiece> pieces;  // fuzzy hits only
};

using HitList = std::vector<Hit>;

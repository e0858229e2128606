// Building the index entry of one file: its text is cut into records, the
// records are gathered into blocks of about 200 to 300 bytes, and each block
// keeps its place in the text and the gram signature of its regularised
// text (complemented, as stored).
#pragma once
#include <cstdint>
#include <string_view>

#include "index/record_limits.h"
#include "pattern/first_bytes.h"
#include "pattern/nodes/rex.h"

struct TIxEntry;

// The record separator a run cuts files with, compiled once by the caller
// (the same separator the search reads records with, so blocks hold whole
// records of the search's own cutting). Neither pointer is owned.
struct IxRecordSeparator {
    LRex* node = nullptr;                   // null: records are cut by length only
    const LRexStartTable* table = nullptr;  // offset-0 start bytes, or null
};

// Block sizes: a block is closed before a record when it already holds more
// than kBlockSoftLimit bytes or the record would carry it past kBlockHardLimit.
inline constexpr int32_t kBlockSoftLimit = 200;
inline constexpr int32_t kBlockHardLimit = 300;

// Fills entry (its name already set) from the file at path: write time,
// size and blocks. Returns 0 on success, 1 when the file cannot be opened or
// the stop flag ended the build (the blocks are then incomplete).
int createIndex(TIxEntry& entry, std::string_view path, const IxRecordSeparator& separator);

// The index-assisted strategies of a search run: the file's index entry
// (built or refreshed on demand) tells which record blocks can hold the
// search string, and only those blocks are read. The worker supplies how to
// open the file and search a byte range of it; these functions decide which
// ranges to search.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

#include "index/create_index.h"

class TIxCache;
struct IxFileRef;
struct TSchStr;
struct TIxBlock;

// What a strategy needs from the run.
struct IndexedFileSearch {
    TIxCache* cache = nullptr;
    // Instead, the file's own index cache when files are searched at once.
    const IxFileRef* file = nullptr;
    IxRecordSeparator separator;       // the separator in force for this file
    ConversionOptions conversion;      // how documents become text
    const TSchStr* current = nullptr;  // the current search string, if any
    int32_t stringCount = 0;           // search strings of the request
    bool regex = false;                // a regular-expression search
    // Opens the file for search in index mode; false when it does not open.
    // Called at most once, before the first block is searched.
    std::function<bool()> open;
    // Searches a byte range of the opened file from a first line number;
    // returns the number of hit spans.
    std::function<int32_t(int64_t start, int64_t length, int32_t firstLine)> searchRange;
};

struct IndexedOutcome {
    bool wholeFile = false;  // the index cannot serve: search the whole file instead
    int32_t hits = 0;
    int32_t blocks = 0;          // blocks of the file's entry
    int32_t blocksSearched = 0;  // of them, read and searched
};

// The index cache of a run over the index folder.
std::unique_ptr<TIxCache> makeIndexCache(std::string_view indexFolder);

// A normal or regular-expression search through the index. wholeFile is set
// when the search string gives no usable signature or the file cannot be
// indexed.
IndexedOutcome runIndexedSearch(const IndexedFileSearch& run, std::string_view path);
// A fuzzy search through the index; a file that cannot be indexed is
// skipped with a message line.
IndexedOutcome runFuzzyIndexedSearch(const IndexedFileSearch& run, std::string_view path);

// Whether the block may hold a hit of a normal or regular-expression search.
bool indexedBlockAdmitted(const TIxBlock& block, const IndexedFileSearch& run);
// Whether the block may hold a hit of a fuzzy search.
bool fuzzyBlockAdmitted(const TIxBlock& block, const IndexedFileSearch& run);

// The rows file beside an index file (".qfr"): a table of the index file's
// entries and the wide filter rows of their blocks. It is a cache: it holds
// the size and write time of the index file it was written with, and is
// ignored when it is missing, of another version or layout, damaged or
// written for another state of the index file. The index file is then read
// in full, and entries without rows are built again (both files are then
// written anew).
//
// Layout (little-endian): "QFRW", version, wide bits, hashes per gram (32
// bits each); index file size and write time (64); entry count, 0 (32); the
// offset of the rows and the words of one row (64). Per entry: name length
// (32), name, size (32), write time, block count, offset of its first block
// in the index file, its first word in every row or ~0 when it has no rows
// (64 each). Then kWideBits rows of that many words, at an 8-byte aligned
// offset; an entry's blocks take (blocks + 63) / 64 words of each row.
#pragma once
#include <cstdint>
#include <vector>

class TIxCache;

inline constexpr int kRowsFileVersion = 1;

// The size and write time of an index file as written.
struct IxFileStamp {
    int64_t size = 0;
    uint64_t writeTime = 0;
};

// Fills the cache (its index file loaded into loadedFile, its header read)
// with the entries the rows file lists, their blocks left in the index file
// and their rows in the rows file, read when a search first asks for them
// (on any thread). False, leaving the cache without entries, when the rows
// file does not belong to the index file as it is now or does not fit it.
bool loadEntriesFromRows(TIxCache& cache);
// Writes the rows file of the cache's index file, just written as stamp
// says with the entries' first blocks at blocksAt (in forEach order),
// through a temporary file; removes it when the write fails.
void writeRowsFile(const TIxCache& cache, const IxFileStamp& stamp,
                   const std::vector<int64_t>& blocksAt);

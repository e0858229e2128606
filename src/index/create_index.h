// Building the index entry of one file: its text is cut into records, the
// records are gathered into blocks of about 200 to 300 bytes, and each block
// keeps its place in the text and the gram signature of its regularised
// text (complemented, as stored).
#pragma once
#include <cstdint>
#include <string_view>

#include "convert/conversion_dispatch.h"
#include "index/ix_block_list.h"
#include "index/record_limits.h"
#include "pattern/first_bytes.h"
#include "pattern/nodes/rex.h"

class LSrmBase;

struct TIxEntry;

// The record separator a run cuts files with, compiled once by the caller
// (the same separator the search reads records with, so blocks hold whole
// records of the search's own cutting). Neither pointer is owned.
struct IxRecordSeparator {
    LRex* node = nullptr;                   // null: records are cut by length only
    const LRexStartTable* table = nullptr;  // offset-0 start bytes, or null
    bool lineRuns = false;                  // node matches any run of CR and LF bytes
};

// Reads the next record (with its separator) from stream into record, as
// separator cuts it: at most kRecordMaxLength bytes, kRecordPeekLength of
// them visible to the separator. Line records are cut without the pattern.
// Returns the separator's length (0 for a record cut by length or the end).
int32_t readRecord(LSrmBase& stream, const IxRecordSeparator& separator, LStr& record);

// Block sizes: a block is closed before a record when it already holds more
// than kBlockSoftLimit bytes or the record would carry it past kBlockHardLimit.
inline constexpr int32_t kBlockSoftLimit = 200;
inline constexpr int32_t kBlockHardLimit = 300;

// createIndex's result for a text whose offsets do not fit the 32-bit fields
// of index files (beyond 2 GiB): such a file is searched without the index.
inline constexpr int kIndexTooLarge = 2;

// The size and write time that key a file's entry. A dictionary body is
// read through its converted text, which is made again when its settings
// change, so the later of the two times counts. False when the path is no
// regular file. With known, size and writeTime already hold the file's own
// (just read by the caller), and only a dictionary's text is looked at.
bool indexedFileInfo(std::string_view path, const ConversionOptions& conversion, int64_t& size,
                     uint64_t& writeTime, bool known = false);

// Fills entry (its name already set) from the file at path: write time,
// size and blocks. Returns 0 on success, 1 when the file cannot be opened or
// the stop flag ended the build, kIndexTooLarge when the text is too long
// for the index (the blocks are then empty). Blocks beyond what memory keeps
// go to the file spill hands out, when one is given. A document is indexed
// through its converted text, which stays for the search that follows.
int createIndex(TIxEntry& entry, std::string_view path, const IxRecordSeparator& separator,
                const IxBlockFileSource& spill = {}, const ConversionOptions& conversion = {});

// Reading and writing index files (".qfd", version 3). An index file holds a
// 16-byte header "QF  0003      \r\n", the source folder line ending in CR LF,
// one record per entry ("F", name, NUL, write time low and high, size, block
// records "s" pos len line signature, "z") and the closing byte "Z". Integers
// are little-endian 32-bit values; signatures are 48 bytes, complemented.
#pragma once
#include <memory>
#include <string_view>

#include "base/lstr.h"

class IxBlockFile;
class LIoFile;
class TIxCache;

inline constexpr int kIndexFileVersion = 3;
inline constexpr int kIndexHeaderSize = 16;

// The opening of an index file: the header and the source folder line.
struct IxFileHeader {
    enum State {
        kNotIndex,    // the file does not begin with "QF "
        kBrokenLine,  // the folder line ends before its CR LF or runs on too long
        kComplete,
    };
    State state = kNotIndex;
    int version = 0;  // from the header; 0 when it holds no number
    LStr folder;      // the folder line without its CR LF (kComplete only)
};

// Reads the header and the folder line from the start of an open file,
// leaving the file at the first entry.
IxFileHeader readIndexHeader(LIoFile& file);
// The same from the first bytes of an index file; *entriesAt receives the
// offset of the first entry (for a complete header).
IxFileHeader parseIndexHeader(std::string_view bytes, int64_t* entriesAt = nullptr);

// Replaces the cache's contents with the entries of the index file ixPath:
// dir becomes the folder of sourceFile (then the file's folder line) and
// ixPath the given path. A missing file leaves the cache empty without a
// message; a wrong header or a damaged entry is reported, and the entries
// read before the damage stay. A file cut short gets one message; of many
// damaged entries the first few are named and the rest counted in one line.
// The cache is clean afterwards unless the file was damaged: it is then
// dirty, so writing it back mends the file. With a current rows file (see
// ix_rows_file.h) the entries come from its table and the index file is
// read only where a search selects a block; otherwise the file is read
// whole in one go. Either way the entries' blocks stay in the file (held by
// the cache), unparsed.
void loadIndexFile(TIxCache& cache, std::string_view sourceFile, std::string_view ixPath);

// Writes the cache to its ixPath through a temporary file in the same folder
// that replaces the old file only once it is complete. Missing folders are
// created (the index folder with its marker). False after reporting when the
// file could not be written.
bool writeIndexFile(const TIxCache& cache);

// A nameless spill file beside the cache's index file (creating its
// folders); null when it cannot be made.
std::shared_ptr<IxBlockFile> openSpillFile(const TIxCache& cache);

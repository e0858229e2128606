// The index lookup of a search: the current entry of a source file, loading
// its folder's index file into the cache and building the entry when it is
// missing or its file changed.
#pragma once
#include <string_view>

#include "index/create_index.h"
#include "index/ix_cache.h"

// The entry of sourceFile (as typed; the index keys it by its absolute
// path) in the cache, current in size and write time, or
// null when it could not be built (the file is unreadable or the build was
// stopped). Moving to another index file first writes a dirty cache back.
// The entry stays valid until the next lookup. A text too long for the
// index gets one message naming it and sets *tooLarge: the caller searches
// it without the index. Documents are converted as conversion says.
TIxEntry* ixLookup(TIxCache& cache, std::string_view sourceFile, const IxRecordSeparator& separator,
                   bool* tooLarge = nullptr, const ConversionOptions& conversion = {});

// Builds entry (its name set, no blocks) for sourceFile (as typed; source
// is its absolute form), with the status lines of a build; a text too long
// for the index gets its message and sets *tooLarge. False when it failed.
bool ixBuildEntry(TIxEntry& entry, std::string_view sourceFile, const LStr& source,
                  const IxRecordSeparator& separator, const IxBlockFileSource& spill,
                  bool* tooLarge, const ConversionOptions& conversion);
// Whether entry still describes sourceFile (an absolute path; typed is the
// path as the walk gave it): the same size and write time. These are the
// ones the folder walk just read when it is visiting the file on this thread.
bool ixEntryCurrent(const TIxEntry& entry, std::string_view typed, std::string_view sourceFile,
                    const ConversionOptions& conversion);
// The absolute form of sourceFile (as typed) into source, and its index file
// under indexFolder (absolute). last keeps what the folder of the previous
// call came to, so the files of one folder are resolved cheaply.
const LStr& ixResolveSource(std::string_view indexFolder, TIxCache::LastFolder& last,
                            std::string_view sourceFile, LStr& source);

// The index lookup of a search: the current entry of a source file, loading
// its folder's index file into the cache and building the entry when it is
// missing or its file changed.
#pragma once
#include <string_view>

#include "index/create_index.h"

class TIxCache;
struct TIxEntry;

// The entry of sourceFile (as typed; the index keys it by its absolute
// path) in the cache, current in size and write time, or
// null when it could not be built (the file is unreadable or the build was
// stopped). Moving to another index file first writes a dirty cache back.
// The entry stays valid until the next lookup. A text too long for the
// index gets one message naming it and sets *tooLarge: the caller searches
// it without the index. autoDetect is passed on to the builder.
TIxEntry* ixLookup(TIxCache& cache, std::string_view sourceFile, const IxRecordSeparator& separator,
                   bool* tooLarge = nullptr, bool autoDetect = true);

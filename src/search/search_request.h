// SearchRequest: an immutable snapshot of everything one search run needs,
// taken from the settings when the run starts. The worker reads only the
// request, so the front end may change its settings while a run goes on.
#pragma once
#include <vector>

#include "base/lstr.h"
#include "convert/conversion_dispatch.h"
#include "search/search_keys.h"

struct AppSettings;

// Most files a run searches at once; more only cost memory, as reading the
// files is the limit.
constexpr int32_t kMostSearchThreads = 64;

struct SearchRequest {
    LStr searchString;  // as typed
    SearchKeys keys;
    std::vector<LStr> folders;
    std::vector<LStr> masks;  // file-name masks
    bool subfolders = false;
    bool countOnly = false;   // hit counts per file instead of records
    bool sortByRate = false;  // fuzzy lines at the end, best rate first
    LStr indexFolder;
    ConversionOptions conversion;  // documents: where and whether converted texts stay
    // Records, fields and the search area.
    LStr recordSeparator;  // pattern text
    LStr fieldSeparator;   // pattern text, escapes also resolved for display
    LStr areaPattern;      // empty: the whole record
    // Display.
    LStr displaySeparator;         // escaped text before every result line
    int32_t ignoreSameRecord = 0;  // 1: per file, 2: per run
    bool alwaysFullPath = false;
    bool suppressDuplicates = false;
    LStr preReplace;  // replacement pairs, one per line
    LStr fontSpec;    // font patterns, one per line
    LStr dupReplace;  // replacement pairs for the duplicate key
    bool fieldTitles = false;
    LStr fieldTitlePrefix;
    // A defective search string is refused instead of searched as recovered.
    bool refuseDefect = false;
    // Files searched at once; 0: one per processor.
    int32_t threads = 0;
    // BOM-less files detected as UTF-8 or EUC-JP are decoded.
};

SearchKeys searchKeysOf(const AppSettings& settings);
// The request of a run over the settings' search keys; literalOnce compiles
// a regular-expression string as literal text for this run.
SearchRequest makeSearchRequest(const AppSettings& settings, bool literalOnce = false);
// The non-empty pieces of a ";"-separated list.
std::vector<LStr> splitList(std::string_view text);

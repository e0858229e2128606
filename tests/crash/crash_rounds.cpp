// The writes of the crash tests, through the same calls a save of the
// settings and an indexed search use.
#include "crash/crash_rounds.h"

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "index/index_lookup.h"
#include "index/index_separator.h"
#include "index/ix_cache.h"
#include "search/indexed_search.h"
#include "search/record_source.h"

namespace fs = std::filesystem;

AppSettings settingsVariant(int which) {
    AppSettings s;
    const char letter = which ? 'n' : 'o';
    s.schStr = LStr(std::string(100000, letter));
    s.dspPreReplace = LStr(std::string(100000, letter) + "=x");
    s.minRate = which ? 90 : 80;
    return s;
}

std::vector<std::string> roundFiles(const std::string& folder) {
    std::vector<std::string> files;
    for (const auto& e : fs::directory_iterator(folder))
        if (e.path().extension() == ".txt") files.push_back(e.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

bool indexRound(const std::string& indexFolder, const std::vector<std::string>& files, int round) {
    const auto stamp =
        fs::file_time_type(std::chrono::hours(24 * 365 * 50)) + std::chrono::seconds(round);
    for (const std::string& file : files) fs::last_write_time(file, stamp);
    const LStr separator = AppSettings().recSeparEsc;
    matchIndexSeparator(indexFolder, separator.view());
    RecordSource source(separator.view());
    auto cache = makeIndexCache(indexFolder);
    for (const std::string& file : files)
        if (!ixLookup(*cache, file, source.separator())) return false;
    return cache->writeBack();
}

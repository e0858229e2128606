// A program for the crash tests to kill: it repeats one kind of write until
// it is killed and writes one byte to stdout after each finished round.
//
//   crash_writer config PATH           saves two configurations in turn
//   crash_writer index IXDIR FOLDER    rebuilds and writes FOLDER's index file
//   crash_writer index-full IXDIR FOLDER BYTES
//                                      one index round with files limited to
//                                      BYTES (a full disk); exit 0 when it failed
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "crash/crash_rounds.h"
#include "index/index_lookup.h"
#include "index/index_separator.h"
#include "index/ix_cache.h"
#include "search/indexed_search.h"
#include "search/record_source.h"

namespace {

namespace fs = std::filesystem;

// The files of the index round: every *.txt directly in folder, sorted.
std::vector<std::string> roundFiles(const std::string& folder) {
    std::vector<std::string> files;
    for (const auto& e : fs::directory_iterator(folder))
        if (e.path().extension() == ".txt") files.push_back(e.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

// One round of index upkeep as a search run does it: every file is made
// newer (round seconds after a fixed time), so its entry is rebuilt, and the
// index file is written back. False when the write failed.
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

void roundDone() {
    if (write(1, "r", 1) != 1) std::_Exit(3);
}

[[noreturn]] void saveForever(const std::string& path) {
    for (int round = 0;; ++round) {
        AppSettings s = settingsVariant(round % 2);
        s.configPath = LStr(path);
        if (!s.save()) std::_Exit(4);
        roundDone();
    }
}

[[noreturn]] void indexForever(const std::string& ix, const std::string& folder) {
    const auto files = roundFiles(folder);
    for (int round = 1;; ++round) {
        if (!indexRound(ix, files, round)) std::_Exit(4);
        roundDone();
    }
}

int indexOnFullDisk(const std::string& ix, const std::string& folder, long bytes) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{rlim_t(bytes), rlim_t(bytes)};
    setrlimit(RLIMIT_FSIZE, &limit);
    return indexRound(ix, roundFiles(folder), 1000) ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "config" && argc == 3) saveForever(argv[2]);
    if (mode == "index" && argc == 4) indexForever(argv[2], argv[3]);
    if (mode == "index-full" && argc == 5)
        return indexOnFullDisk(argv[2], argv[3], std::atol(argv[4]));
    return 2;
}

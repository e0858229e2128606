// ixLookup: reuse an entry while its file keeps its size and write time,
// rebuild it otherwise.
#include "index/index_lookup.h"

#include <algorithm>

#include "index/ix_cache.h"
#include "index/ix_file.h"
#include "index/ix_messages.h"
#include "index/ix_paths.h"
#include "index/ix_status.h"
#include "platform/file_system.h"
#include "support/dir_walker.h"
#include "support/path_utils.h"

namespace {

void moveToIndexFile(TIxCache& cache, std::string_view sourceFile, const LStr& ixPath) {
    cache.writeBack();
    cache.clear();
    ixStatus(2, ixtext::kReading);
    loadIndexFile(cache, sourceFile, ixPath);
    ixStatus(2, ixtext::kSearching);
}

// A plain file name: the absolute form of folder/name is that of the
// folder plus the name. A dictionary body's index file depends on its name.
bool plainName(std::string_view name) {
    constexpr std::string_view kBody = "honmon.txt";
    if (name.empty() || name == "." || name == "..") return false;
    if (name.size() < kBody.size()) return true;
    const std::string_view tail = name.substr(name.size() - kBody.size());
    return !std::equal(tail.begin(), tail.end(), kBody.begin(), [](char a, char b) {
        return (a >= 'A' && a <= 'Z' ? char(a | 0x20) : a) == b;
    });
}

}  // namespace

bool ixEntryCurrent(const TIxEntry& entry, std::string_view typed, std::string_view sourceFile,
                    const ConversionOptions& conversion) {
    int64_t size = 0;
    uint64_t writeTime = 0;
    const bool walked = takeVisitedFileInfo(typed, size, writeTime);
    if (!indexedFileInfo(sourceFile, conversion, size, writeTime, walked)) return false;
    return entry.size == uint32_t(uint64_t(size)) && entry.lastWrite == writeTime;
}

const LStr& ixResolveSource(std::string_view indexFolder, TIxCache::LastFolder& last,
                            std::string_view sourceFile, LStr& source) {
    const size_t slash = sourceFile.rfind('/');
    const std::string_view typed =
        slash == std::string_view::npos ? "" : sourceFile.substr(0, slash);
    const std::string_view name = sourceFile.substr(typed.size() + (typed.empty() ? 0 : 1));
    if (!typed.empty() && plainName(name) && !last.absolute.empty() && last.typed == typed) {
        source = last.absolute;
        appendSeparator(source);
        source.append(name);
        return last.ixPath;
    }
    source = absolutePath(sourceFile);
    last.ixPath = ixIndexFileOf(indexFolder, source);
    last.typed = typed;
    last.absolute = dirPart(source, false);
    if (!plainName(name) || typed.empty()) last.absolute.clear();
    return last.ixPath;
}

TIxEntry* ixLookup(TIxCache& cache, std::string_view sourceFile, const IxRecordSeparator& separator,
                   bool* tooLarge, const ConversionOptions& conversion) {
    if (tooLarge) *tooLarge = false;
    // The status shows the path as typed; the index knows only the absolute one.
    LStr source;
    const LStr& ixPath = ixResolveSource(cache.indexFolder(), cache.lastFolder, sourceFile, source);
    if (ixPath != cache.ixPath) moveToIndexFile(cache, source, ixPath);

    const std::string_view name = source.view().substr(source.view().rfind('/') + 1);
    TIxEntry* entry = cache.find(name);
    if (!entry) {
        auto fresh = std::make_unique<TIxEntry>();
        fresh->name = name;
        entry = &cache.add(std::move(fresh));
    } else if (entry->complete() && ixEntryCurrent(*entry, sourceFile, source, conversion)) {
        return entry;
    } else {
        entry->blocks.clear();
        entry->wide.clear();
    }

    if (!ixBuildEntry(
            *entry, sourceFile, source, separator, [&cache] { return cache.spillFile(); }, tooLarge,
            conversion)) {
        cache.remove(name);
        return nullptr;
    }
    cache.dirty = true;
    return entry;
}

bool ixBuildEntry(TIxEntry& entry, std::string_view sourceFile, const LStr& source,
                  const IxRecordSeparator& separator, const IxBlockFileSource& spill,
                  bool* tooLarge, const ConversionOptions& conversion) {
    ixStatus(1, sourceFile);
    ixStatus(2, ixtext::kBuilding);
    const int failed = createIndex(entry, source, separator, spill, conversion);
    ixStatus(2, ixtext::kSearching);
    if (failed == kIndexTooLarge) {
        ixErrorLine(ixtext::kTooLargeToIndex, LStr(sourceFile).c_str());
        if (tooLarge) *tooLarge = true;
    }
    return failed == 0;
}

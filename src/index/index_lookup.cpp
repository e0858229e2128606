// ixLookup: reuse an entry while its file keeps its size and write time,
// rebuild it otherwise.
#include "index/index_lookup.h"

#include "index/ix_cache.h"
#include "index/ix_file.h"
#include "index/ix_messages.h"
#include "index/ix_paths.h"
#include "index/ix_status.h"
#include "platform/file_system.h"
#include "support/path_utils.h"

namespace {

void moveToIndexFile(TIxCache& cache, std::string_view sourceFile, const LStr& ixPath) {
    cache.writeBack();
    cache.clear();
    ixStatus(2, ixtext::kReading);
    loadIndexFile(cache, sourceFile, ixPath);
    ixStatus(2, ixtext::kSearching);
}

bool isCurrent(const TIxEntry& entry, std::string_view sourceFile,
               const ConversionOptions& conversion) {
    int64_t size = 0;
    uint64_t writeTime = 0;
    if (!indexedFileInfo(sourceFile, conversion, size, writeTime)) return false;
    return entry.size == uint32_t(uint64_t(size)) && entry.lastWrite == writeTime;
}

}  // namespace

TIxEntry* ixLookup(TIxCache& cache, std::string_view sourceFile, const IxRecordSeparator& separator,
                   bool* tooLarge, const ConversionOptions& conversion) {
    if (tooLarge) *tooLarge = false;
    // The status shows the path as typed; the index knows only the absolute one.
    const LStr source = absolutePath(sourceFile);
    LStr ixPath = ixIndexFileOf(cache.indexFolder(), source);
    if (ixPath != cache.ixPath) moveToIndexFile(cache, source, ixPath);

    LStr name = namePart(source);
    TIxEntry* entry = cache.find(name);
    if (!entry) {
        auto fresh = std::make_unique<TIxEntry>();
        fresh->name = name;
        entry = &cache.add(std::move(fresh));
    } else if (entry->complete() && isCurrent(*entry, source, conversion)) {
        return entry;
    } else {
        entry->blocks.clear();
        entry->wide.clear();
    }

    ixStatus(1, sourceFile);
    ixStatus(2, ixtext::kBuilding);
    const int failed = createIndex(
        *entry, source, separator, [&cache] { return cache.spillFile(); }, conversion);
    ixStatus(2, ixtext::kSearching);
    if (failed) {
        cache.remove(name);
        if (failed == kIndexTooLarge) {
            ixErrorLine(ixtext::kTooLargeToIndex, LStr(sourceFile).c_str());
            if (tooLarge) *tooLarge = true;
        }
        return nullptr;
    }
    cache.dirty = true;
    return entry;
}

// The shared cache's lookup: the load and the entries under the cache's
// lock, the size check and the builds outside it.
#include "index/shared_ix_cache.h"

#include "index/index_lookup.h"
#include "index/ix_file.h"
#include "index/ix_messages.h"
#include "index/ix_status.h"

SharedIxCache::SharedIxCache(std::string_view indexFolder, LStr ixPath)
    : ixPath_(std::move(ixPath)), cache_(indexFolder) {}

void SharedIxCache::ensureLoaded(std::unique_lock<std::mutex>& lock, std::string_view source,
                                 bool first) {
    if (!first) firstPassed_.wait(lock, [this] { return loaded_ || firstDone_; });
    if (!loaded_) {
        ixStatus(2, ixtext::kReading);
        loadIndexFile(cache_, source, ixPath_.view());
        ixStatus(2, ixtext::kSearching);
        loaded_ = true;
    }
    if (first && !firstDone_) {
        firstDone_ = true;
        firstPassed_.notify_all();
    }
}

void SharedIxCache::passFirst() {
    std::lock_guard lock(lock_);
    if (firstDone_) return;
    firstDone_ = true;
    firstPassed_.notify_all();
}

TIxEntry* SharedIxCache::lookup(std::string_view sourceFile, const LStr& source, bool first,
                                const IxRecordSeparator& separator, bool* tooLarge,
                                const ConversionOptions& conversion) {
    if (tooLarge) *tooLarge = false;
    const std::string_view name = source.view().substr(source.view().rfind('/') + 1);
    TIxEntry* entry = nullptr;
    {
        std::unique_lock lock(lock_);
        ensureLoaded(lock, source.view(), first);
        entry = cache_.find(name);
    }
    // No other thread looks this file up, so its entry stays as it is.
    if (entry && entry->complete() && ixEntryCurrent(*entry, sourceFile, source, conversion))
        return entry;

    auto fresh = std::make_unique<TIxEntry>();
    fresh->name = name;
    std::shared_ptr<IxBlockFile> spill;
    const bool built = ixBuildEntry(
        *fresh, sourceFile, source, separator,
        [this, &spill] {
            if (!spill) spill = takeSpill();
            return spill;
        },
        tooLarge, conversion);
    if (spill) returnSpill(std::move(spill));
    if (!built) {
        std::lock_guard lock(lock_);
        cache_.remove(name);
        return nullptr;
    }
    std::lock_guard lock(lock_);
    cache_.dirty = true;
    return &cache_.add(std::move(fresh));
}

// A build appends its blocks to the end of its spill file, so two builds
// never share one at the same time.
std::shared_ptr<IxBlockFile> SharedIxCache::takeSpill() {
    std::lock_guard lock(lock_);
    if (idleSpills_.empty()) return openSpillFile(cache_);
    std::shared_ptr<IxBlockFile> spill = std::move(idleSpills_.back());
    idleSpills_.pop_back();
    return spill;
}

void SharedIxCache::returnSpill(std::shared_ptr<IxBlockFile> spill) {
    std::lock_guard lock(lock_);
    idleSpills_.push_back(std::move(spill));
}

bool SharedIxCache::writeBack() {
    std::lock_guard lock(lock_);
    return cache_.writeBack();
}

TIxEntry* ixLookupShared(const IxFileRef& file, std::string_view sourceFile,
                         const IxRecordSeparator& separator, bool* tooLarge,
                         const ConversionOptions& conversion) {
    return file.cache->lookup(sourceFile, file.source, file.first, separator, tooLarge, conversion);
}

// IxCacheSet: the index caches of a search run on several threads. The
// walking thread asks for the cache of each file it hands on; the files of
// one index file that follow each other share one cache, and a new one is
// made when the index file changes. A cache is written back when the last
// file holding it lets it go, one index file at a time; a cache of the same
// index file made later loads only after that write.
#pragma once
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "base/lstr.h"
#include "index/ix_cache.h"
#include "index/shared_ix_cache.h"

class IxCacheSet {
public:
    // indexFolder: where index files live (empty: beside their folders).
    explicit IxCacheSet(std::string_view indexFolder);
    // Every cache made must be gone first.
    ~IxCacheSet();
    IxCacheSet(const IxCacheSet&) = delete;
    IxCacheSet& operator=(const IxCacheSet&) = delete;

    // The cache of sourceFile (as typed), for the walking thread only. Its
    // reference to the cache of the previous file goes when this one has
    // another; that may write the previous one back.
    IxFileRef cacheOf(std::string_view sourceFile);
    // Lets go of the walker's reference (the run's end).
    void dropCurrent();

private:
    void retire(SharedIxCache* cache);

    const LStr indexFolder_;
    TIxCache::LastFolder last_;
    std::shared_ptr<SharedIxCache> current_;
    std::mutex lock_;  // around live_, and held while a cache is written
    std::condition_variable retired_;
    std::map<std::string, std::weak_ptr<SharedIxCache>, std::less<>> live_;  // by index file
};

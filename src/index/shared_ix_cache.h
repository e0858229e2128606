// SharedIxCache: the cache of one index file while the threads of a search
// run look up the entries of its files at once. The walk hands each file the
// cache of its index file (IxCacheSet); the cache is loaded by the first
// lookup and written back when its last file is done with it.
#pragma once
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

#include "base/lstr.h"
#include "index/create_index.h"
#include "index/ix_cache.h"

class SharedIxCache {
public:
    SharedIxCache(std::string_view indexFolder, LStr ixPath);
    SharedIxCache(const SharedIxCache&) = delete;
    SharedIxCache& operator=(const SharedIxCache&) = delete;

    const LStr& ixPath() const { return ixPath_; }

    // ixLookup for sourceFile (as typed; source is its absolute form). The
    // entry stays valid while the cache lives: each file is looked up by
    // one thread. first: the file comes first in the walk of those of this
    // index file; it loads the cache, so what loading reports is part of its
    // output, and the others wait for it.
    TIxEntry* lookup(std::string_view sourceFile, const LStr& source, bool first,
                     const IxRecordSeparator& separator, bool* tooLarge,
                     const ConversionOptions& conversion);
    // The first file is done: the others load the cache when it did not.
    void passFirst();
    // Writes the cache back when it is dirty (its files are all done).
    bool writeBack();

private:
    void ensureLoaded(std::unique_lock<std::mutex>& lock, std::string_view source, bool first);
    // A spill file no other build appends to meanwhile, and its return.
    std::shared_ptr<IxBlockFile> takeSpill();
    void returnSpill(std::shared_ptr<IxBlockFile> spill);

    const LStr ixPath_;
    std::mutex lock_;  // around the entries, the load and the spill files
    std::condition_variable firstPassed_;
    bool loaded_ = false;
    bool firstDone_ = false;  // the first file loaded the cache or will not
    TIxCache cache_;
    std::vector<std::shared_ptr<IxBlockFile>> idleSpills_;
};

// A file to search and the cache of its index file.
struct IxFileRef {
    std::shared_ptr<SharedIxCache> cache;
    LStr source;         // the file's absolute path
    bool first = false;  // the first file of the walk with this cache
};

TIxEntry* ixLookupShared(const IxFileRef& file, std::string_view sourceFile,
                         const IxRecordSeparator& separator, bool* tooLarge = nullptr,
                         const ConversionOptions& conversion = {});

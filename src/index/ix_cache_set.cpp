// The walker's side of the shared caches, and their write-back.
#include "index/ix_cache_set.h"

#include "index/index_lookup.h"
#include "support/path_utils.h"

IxCacheSet::IxCacheSet(std::string_view indexFolder)
    : indexFolder_(indexFolder.empty() ? LStr() : absolutePath(indexFolder)) {}

IxCacheSet::~IxCacheSet() {
    dropCurrent();
}

IxFileRef IxCacheSet::cacheOf(std::string_view sourceFile) {
    IxFileRef file;
    const LStr& ixPath = ixResolveSource(indexFolder_.view(), last_, sourceFile, file.source);
    if (current_ && current_->ixPath() == ixPath) {
        file.cache = current_;
        return file;
    }
    dropCurrent();
    std::unique_lock lock(lock_);
    // A cache of this index file still in use serves on; one being written
    // back is waited for.
    for (auto it = live_.find(ixPath.view()); it != live_.end(); it = live_.find(ixPath.view())) {
        if ((current_ = it->second.lock())) break;
        retired_.wait(lock);
    }
    if (!current_) {
        current_.reset(new SharedIxCache(indexFolder_.view(), ixPath),
                       [this](SharedIxCache* cache) { retire(cache); });
        live_[std::string(ixPath.view())] = current_;
        file.first = true;
    }
    file.cache = current_;
    return file;
}

void IxCacheSet::dropCurrent() {
    current_.reset();
}

void IxCacheSet::retire(SharedIxCache* cache) {
    std::unique_ptr<SharedIxCache> owned(cache);
    std::lock_guard lock(lock_);
    owned->writeBack();
    live_.erase(std::string(owned->ixPath().view()));
    retired_.notify_all();
}

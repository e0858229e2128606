// TIxCache: a hash table of entries keyed by file name, 256 buckets chosen
// by strHash.
#include "index/ix_cache.h"

#include <algorithm>

#include "index/ix_file.h"
#include "support/path_utils.h"
#include "support/str_hash.h"

TIxCache::TIxCache(std::string_view indexFolder)
    : indexFolder_(indexFolder.empty() ? LStr() : absolutePath(indexFolder)), buckets_(kBuckets) {}

TIxCache::~TIxCache() {
    writeBack();
}

int32_t TIxCache::bucketOf(std::string_view name) {
    return int32_t(strHash(name) % uint32_t(kBuckets));
}

TIxEntry* TIxCache::find(std::string_view name) const {
    for (const auto& entry : buckets_[bucketOf(name)])
        if (entry->name.view() == name) return entry.get();
    return nullptr;
}

TIxEntry& TIxCache::add(std::unique_ptr<TIxEntry> entry) {
    auto& bucket = buckets_[bucketOf(entry->name)];
    for (auto& held : bucket) {
        if (held->name == entry->name) {
            held = std::move(entry);
            return *held;
        }
    }
    bucket.push_back(std::move(entry));
    ++count_;
    return *bucket.back();
}

bool TIxCache::remove(std::string_view name) {
    auto& bucket = buckets_[bucketOf(name)];
    auto it = std::find_if(bucket.begin(), bucket.end(),
                           [&](const auto& entry) { return entry->name.view() == name; });
    if (it == bucket.end()) return false;
    bucket.erase(it);
    --count_;
    return true;
}

void TIxCache::clear() {
    for (auto& bucket : buckets_) bucket.clear();
    count_ = 0;
    dir.clear();
    ixPath.clear();
    loadedFile.reset();
    spill_.reset();
}

std::shared_ptr<IxBlockFile> TIxCache::spillFile() {
    if (!spill_) spill_ = openSpillFile(*this);
    return spill_;
}

std::vector<LStr> TIxCache::names() const {
    std::vector<LStr> out;
    out.reserve(count_);
    forEach([&](const TIxEntry& entry) { out.push_back(entry.name); });
    return out;
}

bool TIxCache::writeBack() {
    if (!dirty) return true;
    dirty = false;
    return writeIndexFile(*this);
}

#include "support/str_set.h"

#include <algorithm>

#include "support/str_hash.h"

LStrSet::LStrSet(int32_t bucketCount) : buckets_(std::max(bucketCount, 1)) {}

const LStrSet::Bucket* LStrSet::bucketOf(std::string_view s) const {
    return buckets_[strHash(s) % buckets_.size()].get();
}

bool LStrSet::contains(std::string_view s) const {
    const Bucket* b = bucketOf(s);
    return b && std::any_of(b->begin(), b->end(), [&](const LStr& x) { return x.view() == s; });
}

bool LStrSet::add(std::string_view s) {
    if (contains(s)) return false;
    auto& slot = buckets_[strHash(s) % buckets_.size()];
    if (!slot) slot = std::make_unique<Bucket>();
    slot->emplace_back(s);
    ++count_;
    return true;
}

void LStrSet::clear() {
    for (auto& b : buckets_) b.reset();
    count_ = 0;
}

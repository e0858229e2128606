// LStrSet: a set of string copies with a fixed number of buckets chosen by
// strHash; membership is exact byte comparison.
#pragma once
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "base/lstr.h"

class LStrSet {
public:
    explicit LStrSet(int32_t bucketCount = 256);

    // Adds a copy of s; returns false when it was already there.
    bool add(std::string_view s);
    bool contains(std::string_view s) const;
    int32_t count() const { return count_; }
    int32_t bucketCount() const { return int32_t(buckets_.size()); }
    void clear();

private:
    using Bucket = std::vector<LStr>;
    const Bucket* bucketOf(std::string_view s) const;

    // Buckets are created on first use.
    std::vector<std::unique_ptr<Bucket>> buckets_;
    int32_t count_ = 0;
};

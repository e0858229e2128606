// Finding where the first of a set of byte strings begins, in one pass over
// the bytes: every place is compared against the needles' first bytes, and
// their first two bytes, sixteen places at a time; only places that pass are
// compared whole. Case and width variants of a word make sets of dozens of
// needles that share a few such pairs.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class NeedleFinder {
public:
    // Needles must not be empty.
    explicit NeedleFinder(const std::vector<std::string_view>& needles);

    bool empty() const { return needles_.empty(); }
    // The first place in [p, end) where a whole needle begins, or end.
    const char* find(const char* p, const char* end) const;

private:
    struct Pair {
        unsigned char first;
        int second;  // -1: the needle is the one byte
    };
    const char* findEach(const char* p, const char* end) const;
    bool needleAt(const char* q, const char* end) const;

    std::vector<std::string> needles_;
    std::vector<Pair> pairs_;  // distinct; empty when too many to compare at once
};

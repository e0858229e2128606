// Finding where the first of a set of byte strings begins, in one pass over
// the bytes: every place is compared against the needles' first bytes, and
// their first two bytes, 16 or 32 places at a time; only places that pass
// are compared whole. Case and width variants of a word make sets of dozens
// of needles that share a few such pairs.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "support/candidate_scan.h"

class NeedleFinder final : public CandidateScan {
public:
    // Needles must not be empty.
    explicit NeedleFinder(const std::vector<std::string_view>& needles);

    bool empty() const { return needles_.empty(); }
    // The first place in [p, end) where a whole needle begins, or end.
    const char* find(const char* p, const char* end) const override;

    // The needles' first bytes, each with the second bytes that follow it.
    struct Lead {
        unsigned char first = 0;
        bool alone = false;  // a needle is this one byte
        std::vector<unsigned char> seconds;
    };

private:
    const char* findEach(const char* p, const char* end) const;
    bool needleAt(const char* q, const char* end) const;

    std::vector<std::string> needles_;
    std::vector<Lead> leads_;  // empty when too many to compare at once
};

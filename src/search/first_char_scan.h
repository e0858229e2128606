// FirstCharScan: finds the character starts in Shift-JIS text whose character
// belongs to a set fixed up front (all characters that fold to one), without
// decoding every character on the way: the scan looks for the possible first
// bytes (or for a byte string every wanted position starts with) and checks
// character boundaries only where it finds one.
#pragma once
#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/byte_scan.h"

class FirstCharScan {
public:
    // The set of characters, as codes charAt returns (a byte, or
    // (lead << 8) | any byte after a lead byte).
    explicit FirstCharScan(const std::vector<int>& codes);
    FirstCharScan(const FirstCharScan&) = delete;
    FirstCharScan& operator=(const FirstCharScan&) = delete;

    // The first character start at or after from (taken as a character
    // start) whose character is in the set and whose bytes begin with needle
    // (when not empty); -1 when there is none.
    int32_t next(std::string_view text, int32_t from, std::string_view needle = {}) const;

    bool empty() const { return finder_->size() == 0; }

private:
    const char* findByte(const char* p, const char* end, std::string_view needle) const;

    std::bitset<65536> codes_;
    std::array<bool, 256> first_{};        // first bytes of the codes
    std::optional<ByteSetFinder> finder_;  // over first_
    std::string onlyChar_;                 // the bytes of the one double-byte character in the set
};

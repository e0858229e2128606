// Helpers of the fuzzy tests: piece lists written as "=common +inRecord
// -inString", hits in a comparable form, and a guard that holds the stop
// flag set.
#pragma once
#include <algorithm>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "search/hit.h"
#include "support/stop_flag.h"

namespace fuzzytest {

inline std::string describe(const std::vector<FuzzyPiece>& pieces) {
    std::string out;
    for (const FuzzyPiece& p : pieces) {
        if (!out.empty()) out += ' ';
        out += p.kind == FuzzyPiece::kCommon ? '=' : p.kind == FuzzyPiece::kRecordOnly ? '+' : '-';
        out += p.text.view();
    }
    return out;
}

// The reverse of describe; piece texts must not hold blanks.
inline std::vector<FuzzyPiece> pieces(std::string_view text) {
    std::vector<FuzzyPiece> out;
    while (!text.empty()) {
        const size_t end = std::min(text.find(' '), text.size());
        FuzzyPiece& p = out.emplace_back();
        p.kind = text[0] == '='   ? FuzzyPiece::kCommon
                 : text[0] == '+' ? FuzzyPiece::kRecordOnly
                                  : FuzzyPiece::kStringOnly;
        p.text = text.substr(1, end - 1);
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return out;
}

// A hit as the tests compare it: span, rate and described pieces.
struct Found {
    int offset;
    int length;
    int rate;
    std::string pieces;
    friend bool operator==(const Found&, const Found&) = default;
};

inline std::ostream& operator<<(std::ostream& os, const Found& f) {
    return os << "{" << f.offset << ", " << f.length << ", " << f.rate << ", \"" << f.pieces
              << "\"}";
}

inline std::vector<Found> found(const HitList& hits) {
    std::vector<Found> out;
    for (const Hit& h : hits) out.push_back({h.offset, h.length, h.rate, describe(h.pieces)});
    return out;
}

class StopGuard {
public:
    StopGuard() { stopFlag() = 1; }
    ~StopGuard() { stopFlag() = 0; }
    StopGuard(const StopGuard&) = delete;
    StopGuard& operator=(const StopGuard&) = delete;
};

}  // namespace fuzzytest

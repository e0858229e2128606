// Pattern test helpers: a match described as "offset:text" (or "none").
#pragma once
#include <string>
#include <string_view>

#include "pattern/parser.h"
#include "pattern/searcher.h"

inline std::string describeMatch(const LRexSearcher& s, std::string_view /*text*/, int32_t at) {
    if (at < 0) return "none";
    return std::to_string(at) + ":" + std::string(s.matchTop(), s.matchLen());
}

// First match of pattern in text.
inline std::string firstMatch(std::string_view pattern, std::string_view text, uint32_t flags = 0) {
    LRexSearcher s(pattern, flags);
    return describeMatch(s, text, s.search(text));
}

// Capture n of the first match, or "unset".
inline std::string captureOf(std::string_view pattern, std::string_view text, int n) {
    LRexSearcher s(pattern);
    if (s.search(text) < 0) return "nomatch";
    if (n >= int(s.hits().size()) || !s.hits()[n].text) return "unset";
    return std::string(s.hits()[n].text, s.hits()[n].len);
}

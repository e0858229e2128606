// SearchKeys: the keys that decide how a search string is compiled and how
// records are matched against it. Compiling, the record tests and fuzzy
// matching take these few values, never the whole settings object.
#pragma once
#include <cstdint>

enum class SearchType : int32_t {
    Normal = 1,  // literal text
    Regex = 2,   // a regular expression
    Fuzzy = 3,   // near matches, rated
};

struct SearchKeys {
    SearchType type = SearchType::Normal;
    bool ignoreCase = true;
    bool ignoreWidth = false;  // full-width and half-width forms are equal
    bool stem = false;         // English word endings are ignored
    bool words = false;        // hits only at word boundaries
    bool fieldMatch = false;   // whole fields only
    bool useIndex = false;     // signatures for the index are derived
    int32_t minRate = 75;      // fuzzy: lowest rate shown
    bool literalOnce = false;  // a regular-expression string is compiled as literal text

    bool regex() const { return type == SearchType::Regex; }
    bool fuzzy() const { return type == SearchType::Fuzzy; }
};

// Replacement-pair lists of the display settings: one "pattern=template"
// per line, applied in order to the shown record text or to the duplicate
// key. "==" in the pattern part stands for one "=". Patterns are compiled
// once when the list is parsed.
#pragma once
#include <memory>
#include <string_view>
#include <vector>

#include "base/lstr.h"
#include "pattern/searcher.h"

class ReplacementList {
public:
    // Parses the list text, appending its pairs. A line without a separating
    // "=" or a pattern with defects is reported and ends the parsing; the
    // pairs before it stay. Returns false when parsing stopped early.
    bool parse(std::string_view text);
    // Replaces every match of each pattern in turn.
    void apply(LStr& text);
    bool empty() const { return pairs_.empty(); }
    int32_t count() const { return int32_t(pairs_.size()); }
    void clear() { pairs_.clear(); }

private:
    std::vector<std::unique_ptr<LRexSearcher>> pairs_;
    LStr scratch_;
};

// Splits a line at its first "=" that is not doubled; "==" before it becomes
// "=" in the pattern. False when the line has no such "=".
bool splitReplacementLine(std::string_view line, LStr& pattern, LStr& replacement);
// The non-empty lines of a list text (lines end at CR LF or at a lone LF).
std::vector<std::string_view> listLines(std::string_view text);

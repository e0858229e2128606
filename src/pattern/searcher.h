// LRexSearcher: runs a compiled pattern over a text and records the match,
// and the search operations built on it.
//
// A search tries the root at successive start positions, one whole character
// apart, and takes the root's first answer at each. Start-byte tables (built
// once the searcher sees a text of 101 bytes or more) and a memmem scan for a
// leading literal skip positions where no match can begin. All offsets are
// relative to the text start. A search can be stopped from another thread
// through a stop flag that the matcher polls every few thousand steps; a
// stopped search reports no match. Repetitions remember, per search, the
// positions from which everything after them failed (nodes/rex_memo.h), so
// nested repetitions such as "(a|aa)*c" stay linear in the text.
#pragma once
#include <array>
#include <atomic>
#include <string_view>
#include <vector>

#include "base/lstr.h"
#include "pattern/first_bytes.h"
#include "pattern/nodes/rex.h"
#include "pattern/nodes/rex_memo.h"

// Which match a search records.
enum class SearchMode {
    Nth,       // the one at the nth start position that matches (SearchRange::nth)
    Last,      // the one at the last start position that matches
    Furthest,  // the one that ends furthest (the earliest of equals)
};

// Where a search tries to match and which match it records. Offsets are
// relative to the text start; the defaults search the whole text for the
// first match.
struct SearchRange {
    int32_t from = 0;        // first start position tried
    int32_t lastStart = -1;  // last start position tried (-1: the end)
    int32_t end = -1;        // where the text ends for the matcher (-1: its length)
    SearchMode mode = SearchMode::Nth;
    int32_t nth = 1;  // for SearchMode::Nth

    // Only the start position pos.
    static SearchRange at(int32_t pos) { return {.from = pos, .lastStart = pos}; }
};

// What a replacement writes.
enum class ReplaceOutput {
    Everything,        // the text with every match replaced
    OnlyReplacements,  // the replacement texts alone
};

// A piece of a replacement template: literal text or a group reference.
struct LRexPiece {
    bool isRef = false;
    LStr text;         // literal text (escapes decoded)
    std::string name;  // reference name ("0" is the whole match)
};

class LRexSearcher {
public:
    LRexSearcher() = default;
    enum class Text { Pattern, Literal };
    // Compiles the pattern text with the flags.
    explicit LRexSearcher(std::string_view pattern, uint32_t flags = 0);
    // Compiles the text as a pattern or as a literal.
    LRexSearcher(std::string_view text, Text kind, uint32_t flags = 0);
    // Uses a node the caller keeps owning.
    explicit LRexSearcher(LRex* node);
    // Pattern plus replacement template.
    LRexSearcher(std::string_view pattern, std::string_view replacementTemplate,
                 uint32_t flags = 0);
    LRexSearcher(const LRexSearcher&) = delete;
    LRexSearcher& operator=(const LRexSearcher&) = delete;

    void setPattern(std::string_view pattern, uint32_t flags = 0);
    void setLiteral(std::string_view text, uint32_t flags = 0);
    // One alternation of the texts as literals.
    void setLiterals(const std::vector<LStr>& texts, uint32_t flags = 0);
    void setNode(LRex* node);  // not owned
    void setTemplate(std::string_view replacementTemplate);

    LRex* rex() const { return rex_; }
    // Bytes every match starts with (exactly, at its start position), or empty.
    std::string_view prefix() const { return prefix_.view(); }

    // Returns the start offset of the recorded match or -1.
    int32_t search(std::string_view text, const SearchRange& range = {});

    const char* matchTop() const { return matchTop_; }
    int32_t matchLen() const { return matchLen_; }
    const LRexHitList& hits() const { return hits_; }
    LRexHitList takeHits() { return std::move(hits_); }

    void setStopFlag(const std::atomic<int>* flag) { control_.setFlag(flag); }
    void setStopFlag(const volatile int* flag) { control_.setFlag(flag); }
    // Gives up a search after about this many matcher steps (0: never).
    void setStepLimit(uint64_t steps) { control_.setStepLimit(steps); }
    // Searches without the failure memo when off (for comparisons).
    void setFailureMemo(bool on) { memoOn_ = on; }
    // Whether the last search ended because the stop flag was set.
    bool stopped() const { return control_.stopped(); }

    // Replaces every match in text by the template into out; returns the
    // number of replacements.
    int32_t replace(std::string_view text, LStr& out);
    int32_t replaceCount() const { return replaceCount_; }
    void setOutput(ReplaceOutput output) { output_ = output; }
    const std::vector<LRexPiece>& pieces() const { return pieces_; }

    // Whether the start-byte tables exist, and table k.
    bool tablesBuilt() const { return tablesBuilt_; }
    const LRexStartTable& startTable(int k) const { return tables_[k]; }

    // Debug text: the searcher, its last match, the tree and the tables.
    LStr dump() const;

private:
    void adopt(LRexPtr root);
    void analyse();
    void buildTables();
    const char* nextCandidate(const char* p, const char* last, const char* end) const;

    LRexPtr owned_;
    LRex* rex_ = nullptr;
    const char* matchTop_ = nullptr;
    int32_t matchLen_ = 0;
    LRexHitList hits_;
    LRexHitList recorded_;
    std::array<LRexStartTable, 3> tables_{};
    std::array<bool, 3> tableUseful_{};
    bool tablesBuilt_ = false;
    LStr prefix_;  // literal every match starts with (exact bytes), or empty
    std::vector<LRexPiece> pieces_;
    int32_t replaceCount_ = 0;
    ReplaceOutput output_ = ReplaceOutput::Everything;
    LRexStopControl control_;
    LRexMemo memo_;
    bool memoOn_ = true;
};

// The match of node in text the range asks for: a pointer to it (its length
// in *len) or null.
const char* findRex(std::string_view text, LRex* node, int32_t* len = nullptr,
                    const SearchRange& range = {});
const char* findRex(std::string_view text, std::string_view pattern, int32_t* len = nullptr,
                    const SearchRange& range = {});
// A match of node starting exactly at offset: its length, or -1; 0 when
// offset is at the end of the text. Captures go to hits when given.
int32_t anchoredMatch(std::string_view text, LRex* node, int32_t offset,
                      LRexHitList* hits = nullptr);
// Length of the first match of the pattern in text, or -1 (0 for an empty text).
int32_t matchLength(std::string_view pattern, std::string_view text);
// Number of matches of node in text; overlapping counts matches starting one
// character after the previous start.
int32_t countMatches(std::string_view text, LRex* node, bool overlapping = false);
// The pieces of text between matches of the separator pattern.
std::vector<LStr> splitByRex(std::string_view text, std::string_view separatorPattern);

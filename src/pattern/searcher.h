// LRexSearcher: runs a compiled pattern over a text and records the match,
// and the search operations built on it.
//
// A search tries the root at successive start positions, one whole character
// apart, and takes the root's first answer at each. Start-byte tables (built
// once the searcher sees a text of 101 bytes or more) and a memmem scan for a
// leading literal skip positions where no match can begin. All offsets are
// relative to the text start. A search can be stopped from another thread
// through a stop flag that the matcher polls every few thousand steps; a
// stopped search reports no match.
#pragma once
#include <array>
#include <atomic>
#include <string_view>
#include <vector>

#include "pattern/first_bytes.h"
#include "pattern/nodes/rex.h"
#include "base/lstr.h"

// A piece of a replacement template: literal text or a group reference.
struct LRexPiece {
    bool isRef = false;
    LStr text;         // literal text (escapes decoded)
    std::string name;  // reference name ("0" is the whole match)
};

class LRexSearcher {
public:
    // Search modes besides n > 0 (stop at the n-th start position that matches).
    static constexpr int kModeLast = 0;       // record the last match (-1 too)
    static constexpr int kModeFurthest = -2;  // record the match that ends furthest
    // Output mode bit: replacements output only the replacement texts.
    static constexpr int kOutputOnlyReplacements = 1;

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

    // Returns the start offset of the recorded match or -1. lastStart and
    // endOffset of -1 mean the text length.
    int32_t search(std::string_view text, int32_t lastStart = -1, int32_t endOffset = -1,
                   int mode = 1, int32_t firstStart = 0);

    const char* matchTop() const { return matchTop_; }
    int32_t matchLen() const { return matchLen_; }
    const LRexHitList& hits() const { return hits_; }
    LRexHitList takeHits() { return std::move(hits_); }

    void setStopFlag(const std::atomic<int>* flag) { control_.setFlag(flag); }
    void setStopFlag(const volatile int* flag) { control_.setFlag(flag); }
    // Gives up a search after about this many matcher steps (0: never).
    void setStepLimit(uint64_t steps) { control_.setStepLimit(steps); }
    // Whether the last search ended because the stop flag was set.
    bool stopped() const { return control_.stopped(); }

    // Replaces every match in text by the template into out; returns the
    // number of replacements.
    int32_t replace(std::string_view text, LStr& out);
    int32_t replaceCount() const { return replaceCount_; }
    void setOutputMode(int mode) { outputMode_ = mode; }
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
    int outputMode_ = 0;
    LRexStopControl control_;
};

// The match of node in text with the mode: a pointer to it (its length in
// *len) or null.
const char* findRex(std::string_view text, LRex* node, int32_t* len = nullptr, int mode = 1);
const char* findRex(std::string_view text, std::string_view pattern, int32_t* len = nullptr,
                    int mode = 1);
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

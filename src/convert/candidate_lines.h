// Decoding only the lines a search can match. A search whose every matching
// line holds one of a few byte strings passes over the other lines unread;
// in a UTF-8 file it need not decode them either. Those lines stand in the
// decoded text as one placeholder byte each, so line numbers, the records
// of the decoded lines and every match stay those of the whole decoding.
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/lstr.h"
#include "support/needle_finder.h"

class LineNeedles {
public:
    // native: Shift-JIS strings without line ends, of which every line the
    // search can match holds one. Unusable when one of them could also come
    // from an escape ("{%uXXXX}") or has too many UTF-8 spellings.
    explicit LineNeedles(const std::vector<std::string_view>& native);

    bool usable() const { return finder_ != nullptr; }
    // Finds the needles' UTF-8 spellings.
    const NeedleFinder& finder() const { return *finder_; }
    // A byte that is in no needle and ends no line.
    char placeholder() const { return placeholder_; }

private:
    std::unique_ptr<NeedleFinder> finder_;
    char placeholder_ = 'x';
};

// The Shift-JIS text of utf8 with only the lines holding a spelling of a
// needle decoded; nothing when utf8 is not valid UTF-8 (with at least one
// non-ASCII character for a text without a byte-order mark, which is only
// taken for UTF-8 then), or holds an escape, which only the general decoder reads.
// checked: the caller found utf8 valid and holding a non-ASCII character.
std::optional<LStr> decodeCandidateLines(std::string_view utf8, const LineNeedles& needles,
                                         bool unmarked, bool checked = false);

// Scans that tell where in a text of lines a match may be, so that a search
// passes over the lines before that place without cutting them into
// records. A needle scan and the character-row filter are such scans; a
// checked scan confirms a fast one's candidates line by line with an exact one.
#pragma once
#include <cstdint>

class CandidateScan {
public:
    virtual ~CandidateScan() = default;
    // A place in the first line of [p, end) that may hold a match, or end
    // when no line ended within the range holds one. p starts a character.
    virtual const char* find(const char* p, const char* end) const = 0;
};

// The candidates of `first` whose whole line `check` also finds. Both must
// outlive this scan.
class CheckedCandidateScan final : public CandidateScan {
public:
    CheckedCandidateScan(const CandidateScan& first, const CandidateScan& check)
        : first_(first), check_(check) {}
    const char* find(const char* p, const char* end) const override;

private:
    const CandidateScan& first_;
    const CandidateScan& check_;
};

// The line feeds in [p, end), as a search that passes over lines counts
// them: 32 bytes a step where the processor can.
int32_t countLineFeeds(const char* p, const char* end);
// One past the last CR or LF in [p, end), or p when there is none.
const char* afterLastLineEnd(const char* p, const char* end);

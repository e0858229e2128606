// Font markers in result text: the byte 0x01, a font number in decimal and
// one blank. A non-zero number pushes that font; 0 returns to the font in
// force before the innermost marked span. Result views (the GUI, qf's
// terminal output) read the text with FontMarkerReader.
#pragma once
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "base/lstr.h"

enum FontNumber : int {
    kFontEnd = 0,   // ends the innermost marked span
    kFontStd = 1,   // headings, search folder and search string lines
    kFontText = 2,  // record text
    kFontHit = 3,   // a hit span
    kFontIns = 4,   // fuzzy piece only in the record
    kFontDel = 5,   // fuzzy piece only in the search string
    kFontMsg = 6,   // message lines
    kFontSpc0 = 7,  // spans chosen by the display font patterns (7 to 10)
    kFontCount = 11,
};

inline constexpr char kMarkerByte = '\x01';

// Appends "\x01<font> ".
void appendMarker(LStr& out, int font);

// Follows the marker stack over text that may arrive in pieces. The stack
// keeps at most 1000 entries; past that its 10 oldest are dropped.
class FontMarkerReader {
public:
    // Calls emit(font, bytes) for each run of visible bytes; font is 0 when
    // no font is in force. A marker cut off at the end of a piece is kept
    // and completed by the next piece.
    void feed(std::string_view text, const std::function<void(int, std::string_view)>& emit);
    int currentFont() const { return stack_.empty() ? 0 : stack_.back(); }

private:
    void apply(int font);

    std::vector<int> stack_;
    LStr pending_;  // an incomplete marker from the previous piece
};

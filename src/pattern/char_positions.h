// Pattern nodes that stand for one character each, and the table of the
// characters each such position takes, shared by the filters that decide
// over a text's characters whether a pattern can match in it.
#pragma once
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

class LRex;

// Characters whose every case and width variant is one character and no
// line end: printable ASCII, kanji and hiragana.
bool plainCharacters(std::string_view text);
// Whether each character of a literal node takes exactly one character of a
// text: plain characters, or any but control characters and a cut double-byte
// one when the node does not fold widths (which joins kana and sound marks).
bool oneCharacterEach(const LRex& literal);
// A node that always takes exactly one character: a class, or a literal of
// one plain character. Nodes with an ignore pattern may take more.
bool singleCharacter(const LRex& node);

// From the character start p on, the first byte in starts that is no second
// byte of a character (or the one after such a byte), or end.
const char* nextStartAmong(const std::array<bool, 256>& starts, const char* p, const char* end);

// Per character code, the positions (bits) whose node takes it. A node at
// several positions is asked once.
struct CharPositionTable {
    explicit CharPositionTable(const std::vector<const LRex*>& positions);

    // The positions the character at p takes (p < end); *length gets its bytes.
    uint64_t at(const char* p, const char* end, int* length) const;

    std::vector<uint64_t> masks;          // per character code
    std::array<bool, 256> anyWithLead{};  // some double-byte code with this lead has a position
};

// Where in [p, end) (p a character start) the last character of a match
// begins, or end. The state of positions reached moves one character at a
// time to step(state) and the positions the character takes; a match ends
// when it meets accept. With nothing under way the scan jumps to the next
// character that starts among starts.
template <class Step>
const char* findMatch(const CharPositionTable& table, const std::array<bool, 256>& starts,
                      uint64_t accept, Step step, const char* p, const char* end) {
    uint64_t state = 0;
    while (p < end) {
        if (state == 0) {
            p = nextStartAmong(starts, p, end);
            if (p == end) return end;
        }
        int length = 0;
        state = step(state) & table.at(p, end, &length);
        if (state & accept) return p;
        p += length;
    }
    return end;
}

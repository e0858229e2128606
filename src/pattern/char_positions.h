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

// Per character code, the positions (bits) whose node takes it. A node at
// several positions is asked once.
struct CharPositionTable {
    explicit CharPositionTable(const std::vector<const LRex*>& positions);

    // The positions the character at p takes (p < end); *length gets its bytes.
    uint64_t at(const char* p, const char* end, int* length) const;

    std::vector<uint64_t> masks;          // per character code
    std::array<bool, 256> anyWithLead{};  // some double-byte code with this lead has a position
};

// Walking Shift-JIS text by whole characters: lead and trail tests, taking
// characters, ASCII case changes that leave double-byte characters alone, and
// comparisons that never fold the trail byte of a double-byte character.
#pragma once
#include <cstddef>
#include <string_view>

#include "base/ctype_table.h"
#include "base/lstr.h"

// A byte that may follow a lead byte (0x40-0x7E, 0x80-0xFC).
inline bool isTrailByte(unsigned char b) {
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}
// Letters, digits and half-width katakana (no "_"): the bytes of a word for
// text scans such as stemming.
inline bool isMbWordByte(unsigned char b) {
    return ctypeTable[b] & (kCtAlnum | kCtKana);
}
inline bool isAsciiLetter(unsigned char b) {
    return ctypeTable[b] & kCtLetter;
}

// Whether the byte at index starts a double-byte character. Decided from the
// run of lead-class bytes ending there: a byte outside the lead class always
// ends a character, so the run pairs up from its start.
bool isLeadAt(std::string_view text, size_t index);
// Whether the byte at index is the second byte of a double-byte character.
bool isTrailAt(std::string_view text, size_t index);

// Bytes of the character at pos: 2 for a lead byte with a byte after it,
// 1 otherwise, 0 at the end.
inline int charLength(std::string_view text, size_t pos) {
    if (pos >= text.size()) return 0;
    return isLeadByte(byteAt(text, pos)) && pos + 1 < text.size() ? 2 : 1;
}
// The character code at pos (byte, or (lead << 8) | trail); 0 at the end.
inline int charAt(std::string_view text, size_t pos = 0) {
    int n = charLength(text, pos);
    if (n == 0) return 0;
    if (n == 1) return byteAt(text, pos);
    return (byteAt(text, pos) << 8) | byteAt(text, pos + 1);
}
// The character code at pos; pos moves past it. 0 at the end (pos stays).
inline int nextChar(std::string_view text, size_t& pos) {
    int code = charAt(text, pos);
    pos += charLength(text, pos);
    return code;
}
// Appends a character code as one or two bytes.
inline void appendChar(LStr& out, int code) {
    if (code > 0xFF) out.append(char(code >> 8));
    out.append(char(code & 0xFF));
}

// The first or last character of s (-1 when s is empty); remove takes its
// bytes off the string.
int takeFirstChar(LStr& s, bool remove);
int takeLastChar(LStr& s, bool remove);

// ASCII letters only; both bytes of double-byte characters stay untouched.
void asciiToLower(LStr& s);
void asciiToUpper(LStr& s);
LStr asciiLowered(std::string_view s);
LStr asciiUppered(std::string_view s);

// Byte comparison in which ASCII letters differing only in case are equal,
// except where the byte of a is a trail byte. Returns the difference of the
// first differing bytes (lower-cased when both are letters), 0 when equal.
// The end of a string compares as a NUL byte.
int compareIgnoreCase(std::string_view a, std::string_view b);
// The same over at most n bytes.
int compareIgnoreCaseN(std::string_view a, std::string_view b, size_t n);
// Exact byte comparison (difference of the first differing bytes), or the
// case-ignoring one.
int compare(std::string_view a, std::string_view b, bool ignoreCase);

// Byte classes of Shift-JIS text. Every scan of the program steps by whole
// characters: a lead byte (0x81-0x9F, 0xE0-0xFC) and the byte after it form
// one character; 0xA1-0xDF are half-width katakana.
#pragma once
#include <array>
#include <cstdint>

enum CtypeBits : uint16_t {
    kCtUpper = 0x0001,       // A-Z
    kCtLower = 0x0002,       // a-z
    kCtDigit = 0x0004,       // 0-9
    kCtPunct = 0x0008,       // ASCII punctuation
    kCtUnderscore = 0x0010,  // "_" (a word character)
    kCtSpace = 0x0020,       // TAB, LF, VT, FF, CR, space
    kCtLead = 0x1000,        // Shift-JIS lead byte
    kCtKana = 0x2000,        // half-width katakana
    kCtLetter = kCtUpper | kCtLower,
    kCtAlnum = kCtLetter | kCtDigit,
    kCtWord = kCtAlnum | kCtUnderscore,
};

// The table is built in one object file, so a change to the classes
// recompiles that file alone.
extern const std::array<uint16_t, 256> ctypeTable;

inline uint16_t ctypeOf(unsigned char b) {
    return ctypeTable[b];
}
inline bool isLeadByte(unsigned char b) {
    return ctypeTable[b] & kCtLead;
}
inline bool isHalfKana(unsigned char b) {
    return ctypeTable[b] & kCtKana;
}
inline bool isLetterByte(unsigned char b) {
    return ctypeTable[b] & kCtLetter;
}
inline bool isDigitByte(unsigned char b) {
    return ctypeTable[b] & kCtDigit;
}
inline bool isWordByte(unsigned char b) {
    return ctypeTable[b] & kCtWord;
}
inline bool isSpaceByte(unsigned char b) {
    return ctypeTable[b] & kCtSpace;
}
inline bool isLeadByte(char b) {
    return isLeadByte(static_cast<unsigned char>(b));
}

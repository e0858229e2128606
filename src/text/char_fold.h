// Case and width folding of Shift-JIS characters, and their character types.
// A character is an int code: a single byte is its value, a double-byte
// character is (lead << 8) | trail (full-width "Ａ" is 0x8260). The rules are
// fixed data of the program and do not depend on the locale.
#pragma once
#include <cstdint>

#include "base/lstr.h"

// Marks for halfToFull: plain, voiced ("ﾞ") or semi-voiced ("ﾟ").
enum KanaMark : int { kMarkPlain = 0, kMarkVoiced = 1, kMarkSemiVoiced = 2 };

// Builds the folding tables; call once at program start, before any thread
// starts (lookups also build them on first use).
void initFoldingTables();

int toLowerFull(int code);
int toUpperFull(int code);
// 'J' kanji, 'T' katakana, 'H' hiragana, 'A' full-width alphanumeric,
// 'G' Greek, 'R' Cyrillic, 'a' single-byte word character, 'k' half-width
// katakana, 0 anything else.
char charType(int code);
// Half-width byte -> full-width character (with a mark: the voiced or
// semi-voiced full-width kana); the code itself when there is no entry.
int halfToFull(int code, int mark = kMarkPlain);
// Full-width character -> single byte; the code itself when there is none.
int fullToHalf(int code);
// toLowerFull applied to every character, in place.
void lowerString(LStr& text);
// Width normalisation bits: 1 ideographic space -> two spaces; 2 keep "～";
// 4 keep "＜＞＆".
void normalizeWidth(LStr& text, int options);

// The small lexical steps shared by the configuration reader and its value
// handlers: blanks, comments, tokens, line skipping and expected delimiters.
#pragma once
#include "base/lstr.h"

class LSrmBase;

namespace ini_syntax {

constexpr int kEnd = -1;

// Skips spaces, CR and LF (not TAB); returns whether a line end was among them.
bool skipBlanks(LSrmBase& in);
// Skips blanks and ";" comments; returns whether a line end was passed.
bool skipBlanksAndComments(LSrmBase& in);
// Reads up to the next CR or LF and consumes one line end.
void skipLine(LSrmBase& in);
// The bytes up to "(", ")", ",", CR, LF or the end.
LStr readToken(LSrmBase& in);
// Reads one byte that must be `expected`; otherwise reports
// "'%c' required instead of '%c'" and returns false. A line end or the end of
// the stream in its place is left unread, so the next line stays intact.
bool expect(LSrmBase& in, char expected);
// Reports "'%c' required instead of '%c'" without reading anything.
void reportRequired(char expected, int found);
// A byte as it is shown inside '%c' in a message: printable ASCII as it
// stands, anything else as "?".
char shownByte(int c);

}  // namespace ini_syntax

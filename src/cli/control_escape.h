// Escapes for bytes that would act on a terminal instead of showing: qf
// writes control characters of names and records as "\xNN" (the form of
// GNU ls -b and ripgrep), so a file name holding ESC cannot reprogram the
// terminal and one holding a line feed cannot forge an output line. TAB is
// left alone. The text is Shift-JIS, in and out; a control byte is never
// the second byte of a character, so a lead byte before one stands alone.
#pragma once
#include <string_view>

#include "base/lstr.h"

// Whether b would act on a terminal: a C0 control other than TAB, or DEL.
bool actsOnTerminal(unsigned char b);
// "\xNN", upper-case hex.
void appendHexEscape(LStr& out, unsigned char b);

// Names and the program's own text: every control byte but TAB, and each
// byte of a name that was not UTF-8 (carried as "{%uDCxx}"), as "\xNN".
void appendEscapedName(LStr& out, std::string_view sjis);

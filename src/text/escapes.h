// Backslash escapes in texts typed by users (separators, patterns,
// replacements), and the printable form that shows such texts back.
#pragma once
#include <string_view>

#include "base/lstr.h"

// Decodes the escape whose letter starts `afterBackslash`, appending its bytes
// to out; returns the characters consumed (0: no escape, or a bad one).
int decodeEscape(std::string_view afterBackslash, LStr& out);
// Decodes every escape in place; returns whether any was decoded.
bool unescape(LStr& text);
// The text with control characters written as escapes.
void printable(std::string_view in, LStr& out);

// A fast way from valid UTF-8 to the program's Shift-JIS: a table of every
// UTF-16 unit's Shift-JIS bytes, made once from the general converter, so the
// result is byte for byte the one mbToWide and wideToMb give together.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "base/lstr.h"

// Appends UTF-8 text as Shift-JIS to out. False (out unchanged) for text the
// table cannot take: text that is not valid UTF-8, and text holding the start
// of an escape ("{%u"), which the general converter reads as the unit it names.
// multibyte, when given, tells whether text held any non-ASCII character.
bool utf8ToNative(std::string_view text, LStr& out, bool* multibyte = nullptr);

// Every UTF-8 text that utf8ToNative turns into the Shift-JIS text native
// character by character (several characters may share one Shift-JIS form),
// escapes aside; empty when there are more than limit of them.
std::vector<std::string> utf8Spellings(std::string_view native, size_t limit);

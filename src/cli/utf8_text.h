// The conversions between the terminal's UTF-8 and the program's Shift-JIS
// that qf makes at its edges: arguments on the way in, text on the way out.
#pragma once
#include <string>
#include <string_view>

#include "base/lstr.h"

// Shift-JIS (with {%uXXXX} escapes) to UTF-8.
std::string sjisToUtf8(std::string_view sjis);
// UTF-8 to Shift-JIS (characters CP932 cannot hold become {%uXXXX}).
LStr utf8ToSjis(std::string_view utf8);

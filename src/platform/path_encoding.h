// Conversion of paths between the program's Shift-JIS and the file system's
// UTF-8. A character that CP932 cannot hold travels as "{%uXXXX}" (UTF-16
// units, upper-case hex) and converts back on the way in, so every file stays
// reachable; a byte that is not valid UTF-8 travels as "{%uDCxx}" (a lone
// low surrogate carrying the byte) and is restored the same way.
#pragma once
#include <string>
#include <string_view>

#include "base/lstr.h"

// Shift-JIS path -> UTF-8 bytes for a system call.
std::string toSystemPath(std::string_view sjisPath);
// UTF-8 name from the system -> Shift-JIS. A character that CP932 would fold
// into another one ("¥" into a backslash) travels as an escape as well.
LStr fromSystemPath(std::string_view utf8Name);
// The same into an existing string, reusing its buffer.
void fromSystemPath(std::string_view utf8Name, LStr& out);

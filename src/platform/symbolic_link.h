// Reading a symbolic link's own text, for code that must act on a link's
// target by name (writing a new file beside it) rather than through the link.
#pragma once
#include <string_view>

#include "base/lstr.h"

// The target text of the link at path (Shift-JIS, relative or absolute as
// the link holds it); false when path is no link.
bool fsReadLink(std::string_view path, LStr& target);

// How one "key=value" line of configuration-file syntax reads back, so that
// a front end can tell the user when a value typed on its command line does
// not mean what it says ("!" starts an escape, a number was expected).
#pragma once
#include <optional>
#include <string_view>

#include "base/lstr.h"

// The value the key holds after reading only this line, written back in
// the file's form with its "!" escapes undone: for a text key the text
// itself. Nothing when the line names no key.
std::optional<LStr> valueAsRead(std::string_view line);

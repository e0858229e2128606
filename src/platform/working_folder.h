// The process's working folder, which relative paths are taken against.
#pragma once
#include "base/lstr.h"

// The working folder as a Shift-JIS path without a trailing "/" (the root
// stays "/"); false when the system cannot tell (it was removed, or its
// path is not reachable).
bool fsWorkingFolder(LStr& out);

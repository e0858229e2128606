// File-name masks with the wildcard rules users know from the Windows file
// dialogs: "*" matches any run of characters, "?" exactly one character (a
// double-byte Shift-JIS character is one), ASCII letters match without
// regard to case, and two forms ignore a missing extension:
//   - a mask ending in ".*" also matches the name without that part, so
//     "*.*" matches every name and "readme.*" matches "readme";
//   - a mask ending in "." matches only names without a dot ("*." selects
//     the names that have no extension).
#pragma once
#include <string_view>

bool matchesWildcard(std::string_view mask, std::string_view name);

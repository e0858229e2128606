// Status texts of the index code (reading, building, deleting, progress).
// The index layer sits below the search run and does not know the status
// bar: its texts go to the status sink of the run context installed on the
// calling thread, the run that asked for the index work. Without a context
// or a status sink, they go nowhere.
#pragma once
#include <string_view>

// part is 1 to 4 (current file, activity, percentage or count, running
// count); text is Shift-JIS.
void ixStatus(int part, std::string_view text);
void ixStatusF(int part, const char* format, ...) __attribute__((format(printf, 2, 3)));

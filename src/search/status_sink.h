// Status texts of a running search: part 1 the current file, 2 the current
// activity ("検索中"), 3 a percentage or count, 4 the running hit count. They
// go to the status sink of the run context installed on the calling thread
// (the GUI's status bar, qf's progress line); without one, nowhere.
#pragma once
#include <string_view>

#include "support/run_context.h"

void setStatus(int part, std::string_view text);
void setStatusF(int part, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Status texts of the index code (reading, building, deleting, progress).
// The index layer sits below the search run, so it does not know the status
// bar: whoever runs index work connects a hook (the search run forwards to
// its status sink). Without a hook, status texts go nowhere.
#pragma once
#include <string_view>

// part is 1 to 4 (current file, activity, percentage or count, running
// count); text is Shift-JIS. Called from the worker thread.
using IxStatusHook = void (*)(int part, std::string_view text);

// Installs the hook (null removes it) and returns the previous one.
IxStatusHook setIxStatusHook(IxStatusHook hook);
void ixStatus(int part, std::string_view text);
void ixStatusF(int part, const char* format, ...) __attribute__((format(printf, 2, 3)));

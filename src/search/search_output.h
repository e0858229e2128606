// Output of a search: everything the run shows goes to the message sink as
// plain text (message number 0) with font markers, so the GUI's result view,
// qf --raw and qf's terminal output all receive the same bytes.
#pragma once
#include <string_view>

#include "base/lstr.h"

// Appends text to the result view as it is.
void outputText(std::string_view text);
// printf-style output; the format is always the program's own text.
void outputFormatted(const char* format, ...) __attribute__((format(printf, 1, 2)));
// A message line: marker 6, the message, marker 0 and a line break.
void outputMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The same for a message that is already text.
void outputMessageText(std::string_view message);
// The message line in the form outputMessageText writes.
LStr messageLine(std::string_view message);

// qf's two standard streams. Writing to stdout ends at its first failure:
// the failure is kept for the exit status and the running search is asked
// to stop, since nothing it finds can be shown any more. A failure on
// stderr is ignored, as there is nowhere left to say so.
#pragma once
#include <string_view>

#include "platform/terminal.h"

// Output to a file or pipe is written in blocks; writing to stderr, asking
// for the outcome or flushOut writes what is held first.
void writeOut(std::string_view bytes);
void writeErr(std::string_view bytes);
void flushOut();

// Written while every write to stdout succeeded, else the first failure
// (held output is written first).
WriteOutcome outputOutcome();
// The system's error number of that failure.
int outputError();

// The process's standard streams and its signals, as qf needs them: whether
// a stream is a terminal, writing whole byte runs with the outcome, Ctrl-C
// turned into a stop request and a closed pipe seen as a write outcome.
#pragma once
#include <atomic>
#include <string_view>

enum class StdStream { Out, Err };

bool isTerminal(StdStream stream);

// Outcome of writing to a standard stream.
enum class WriteOutcome {
    Written,     // every byte was written
    ReaderGone,  // the reading end of a pipe was closed (EPIPE)
    Failed,      // any other error (a full disk, a closed descriptor)
};
// Writes every byte; on failure the system's error number stays readable
// through lastSystemError().
WriteOutcome writeStandard(StdStream stream, std::string_view bytes);

// Descriptors 0 to 2 that were closed at the start get /dev/null opened
// read-only, so that no file opened later takes their place: a write to a
// stdout that was closed then fails (EBADF) instead of landing in that file.
void reserveStandardStreams();
// SIGPIPE is ignored from now on: a closed pipe shows as ReaderGone.
void ignoreBrokenPipe();
// Ends the process by SIGPIPE, as a program that did not ignore it would
// end when its reader went away.
[[noreturn]] void endByBrokenPipe();

// From now on the first SIGINT sets *flag to 1 instead of ending the
// process; a second one ends it at once. SIGPIPE is ignored, so a closed
// pipe shows as ReaderGone on the next write.
void interruptSetsFlag(std::atomic<int>* flag);

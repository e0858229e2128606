// Child processes of the end-to-end tests beyond a plain qf run (made in
// qf_runner.cpp): qf with a standard output that fails as a Unix tool's may,
// or with Ctrl-C in the middle of a search, and any other program.
#pragma once
#include <string>
#include <vector>

#include "common/qf_runner.h"

enum class QfStdout {
    Pipe,          // read to the end
    FullDisk,      // /dev/full: every write fails with ENOSPC
    Closed,        // descriptor 1 is not open
    ReaderLeaves,  // the reader closes the pipe after the first bytes
    Interrupted,   // Ctrl-C 200 ms after the first bytes, while nobody reads
                   // (qf then waits on the full pipe); then read to the end
};

// Runs qf, stdin empty and stderr captured. The result's out holds what the
// reader saw; exitCode is 128 + the signal number when qf ended by a signal.
QfResult runQfWith(const std::vector<std::string>& args, QfStdout how);

// Runs a program found on PATH with the arguments (no shell), stdin empty;
// for programs with short output.
QfResult runProgram(const std::vector<std::string>& argv);

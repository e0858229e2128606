// Runs another program to its end or to a time limit. The program gets no
// terminal input or output and runs in a process group of its own, so that
// whatever it starts ends with it when it is killed.
#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

enum class ProgramEnd {
    Exited,      // code holds the exit status
    Crashed,     // code holds the signal that ended it
    TimedOut,    // killed at the time limit
    Stopped,     // killed because stop() said so
    NotStarted,  // it could not be started
};

struct ProgramOutcome {
    ProgramEnd end = ProgramEnd::NotStarted;
    int code = 0;
};

// argv[0] is the program (a path, or a name looked up on PATH); every
// argument is in the system's encoding. stop is asked every few
// milliseconds while the program runs.
ProgramOutcome runProgram(const std::vector<std::string>& argv, int timeLimitMs,
                          const std::function<bool()>& stop);

// The full path of the executable file name on PATH; empty when none.
std::string findProgramOnPath(std::string_view name);

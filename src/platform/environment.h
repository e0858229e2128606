// Process environment and standard streams.
#pragma once
#include <optional>
#include <string>
#include <string_view>

// Value of an environment variable, or nothing when it is unset.
std::optional<std::string> environmentVariable(const char* name);
// Writes bytes to standard error (unbuffered, whole).
void writeStandardError(std::string_view bytes);
// Ends the process at once with the given exit code.
[[noreturn]] void exitProcess(int code);
// Sleeps the calling thread.
void sleepMilliseconds(int ms);
// Number of processors the process may run on; at least 1.
int processorCount();

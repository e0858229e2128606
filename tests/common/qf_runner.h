// Runs the qf binary for end-to-end tests and captures its output bytes.
#pragma once
#include <string>
#include <vector>

struct QfResult {
    int exitCode = -1;
    std::string out;  // stdout bytes
    std::string err;  // stderr bytes
};

// Path of the qf binary under test (QF_BIN, else the build folder's qf).
std::string qfBinary();

// Runs qf with the given arguments (no shell), an empty standard input and
// the extra environment entries ("NAME=value") added to the current one, in
// workingFolder when one is given (else in the test's own).
QfResult runQf(const std::vector<std::string>& args, const std::vector<std::string>& env = {},
               const std::string& workingFolder = {});

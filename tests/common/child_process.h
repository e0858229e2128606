// Code a test runs in a forked child: where signals or an alarm may end it, or to
// run as a user whom file permissions bind even when the tests run as root
// (as CI does). Test code only: the child may call POSIX directly.
#pragma once
#include <functional>
#include <string>

// Who the child runs as: the test's own user, or the unprivileged user
// 65534 when the test runs as root (the test's user otherwise). Folders the
// unprivileged child is to reach must be open to others (a TempDir is not).
enum class ChildUser { Same, Unprivileged };

struct ChildOutcome {
    int exitCode = -1;   // 0 when body returned; 128 + the signal that ended the child
    std::string output;  // what body returned (up to the child's end)
};

// Runs body in a forked child and hands back its result.
ChildOutcome runInChild(const std::function<std::string()>& body, ChildUser user = ChildUser::Same);
